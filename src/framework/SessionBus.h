#pragma once
#include <QByteArray>

// The session bus is asked before the toolkit asks it. Qt's D-Bus module connects in a thread
// of its own while the asking thread waits (the accessibility bridge asks when the event loop
// starts, on the main thread), and libdbus gives the bus's authentication and registration no
// time limit: a bus that accepts connections and never answers (a wedged bus daemon), or
// answers and then falls silent at any step, would keep the calendar from showing for good. Without any bus address libdbus launches a bus through the
// X display (dbus-launch, then a dbus-daemon) that serves only this program, outlives it until
// the display ends, and keeps it waiting for the launcher when the display goes away
// meanwhile.
//
// Probe asks the bus that libdbus would use, the first of the address's unix sockets (path= or
// abstract=) that takes the connection, or $XDG_RUNTIME_DIR/bus without an address, all that Qt's
// first call waits on: the authentication as libdbus makes it (AUTH EXTERNAL, then
// NEGOTIATE_UNIX_FD), BEGIN, and the reply to the bus's Hello, a few local round trips. Where
// any of them does not come within AnswerMs in all, it says so in one line on standard error;
// there, and where no bus address and no $XDG_RUNTIME_DIR/bus exist, the toolkit is handed an
// address that fails at once. The program then runs without a session bus: the tray icon goes
// to an X tray (XEmbed), accessibility stays off, nothing is launched. An address whose bus
// cannot be asked this way (tcp:, unixexec:, autolaunch: given on purpose) is left to libdbus
// as before: the session buses that desktops start listen on unix sockets. So is a bus that
// answers otherwise than a bus daemon does (a connection closed, an authentication refused):
// libdbus then fails at once or goes on its own way.
class SessionBus
{
public:
    // What the asking found. NoBus: nothing to connect to (no socket took the connection, an
    // address that libdbus refuses, or no address and no $XDG_RUNTIME_DIR/bus). CannotTell: an
    // address of another kind came first. QuitAsked: a quit signal came while the bus was being
    // asked. DisplayGone: the X display went away meanwhile.
    enum class Answer { Answers, Silent, NoBus, CannotTell, QuitAsked, DisplayGone };

    // From main, before the application object exists and before any thread that reads the
    // environment starts. A quit signal meanwhile ends the wait at once (QuitSignals' pipe):
    // the program, about to end, then starts without the bus, for it must not wait on it.
    // displayFd is main's own connection to the X display: false where the display went away
    // meanwhile (the wait ends at once), and the program is to end.
    static bool Probe(int displayFd);
    // Once the application object exists: where Probe handed the toolkit its failing address,
    // has the toolkit make its session connection now (it fails at once, and Qt keeps that
    // connection for every later use) and puts the environment back as it was, for the
    // programs the calendar starts (a browser for a link).
    static void RestoreEnvironment();

    // The asking itself: address as in DBUS_SESSION_BUS_ADDRESS (empty: none), runtimeDir as
    // in XDG_RUNTIME_DIR, a limit in milliseconds, a descriptor that becomes readable when a
    // quit is asked and the display's connection, whose end ends the asking (-1: none).
    static Answer Ask(const QByteArray& address, const QByteArray& runtimeDir, int limitMs, int quitFd,
                      int displayFd);

    static constexpr int AnswerMs = 2000;
};
