#pragma once
#include <QByteArray>

struct xcb_connection_t;

// The X display is the session: when it goes away, or cannot be reached after all while the
// toolkit connects, the program ends with one line on standard error and status 1, what the
// user typed written first and the single-instance lock's file removed
// (Application::EndAtOnce), never by a signal of its own making. The toolkit ends such a
// program its own ways, each caught here where it starts:
// - Qt ends a program whose X connection broke with exit() after its warning "The X11
//   connection broke": on the main thread from the event loop, where the calendar's data is
//   whole between two events, so it is saved then;
// - Qt cannot connect while the application object is made: qFatal(), which aborts;
// - Xlib's default handler calls exit() when the connection breaks while Qt opens it;
// - Qt reads the empty reply of a server that is gone as a reply (QXcbScreen's set-up while
//   the application object is made): a crash, which ends here when the connection is gone.
// - a write to the socket of a server that is gone raises SIGPIPE, which is ignored from the
//   first connection on (DisplayConnection::Open): the write fails, and Qt's check above then
//   sees the broken connection.
// exit() would run the global destructors under the workers that still decode pictures or
// read the events file, and a program ended that way crashed.
class DisplayLoss
{
public:
    // Takes over the toolkit's messages (the others go on to the handler before; once the
    // display is gone they are left out: its one line says it all), Xlib's handler of a broken
    // connection and the crashes. From main, before the application object is made, with
    // main's own connection to the display, which stays open until ApplicationMade.
    static void Watch(xcb_connection_t* ownConnection);
    // Around the making of the application object: a fatal error of the toolkit meanwhile is
    // a display that cannot be reached; afterwards Qt's connection tells whether the display
    // went away.
    static void MakingApplication();
    static void ApplicationMade();
    // The line for a display that does not answer (main says it where none answers at all).
    static QByteArray UnreachableLine();
    // The line for a display that went away, from Watch on (main says it where the display
    // goes away while the session bus is asked).
    static QByteArray GoneLine();
};
