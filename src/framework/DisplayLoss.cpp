#include "framework/DisplayLoss.h"
#include "framework/Application.h"
#include <QGuiApplication>
#include <atomic>
#include <csignal>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <xcb/xcb.h>

// Xlib's handler of a broken connection, as <X11/Xlib.h> declares it: that header's names
// (Window, None, Bool) would clash with the framework's and Qt's.
extern "C" {
struct _XDisplay;
using XIOErrorHandler = int (*)(_XDisplay*);
XIOErrorHandler XSetIOErrorHandler(XIOErrorHandler handler);
}

namespace {
QtMessageHandler g_previous = nullptr;
std::atomic<bool> g_makingApplication{false};
// The end for a gone display has begun: what its save says is said.
std::atomic<bool> g_ending{false};
pthread_t g_mainThread;
// The connection that tells whether the display is gone: main's own until Qt has its own.
std::atomic<int> g_ownConnectionFd{-1};
std::atomic<xcb_connection_t*> g_qtConnection{nullptr};
// The display's loss in one line, made before any crash handler may need it.
QByteArray g_goneLine;
constexpr int Crashes[] = {SIGSEGV, SIGBUS, SIGABRT};
// What each of them did before (a sanitizer's report, or the default core), by number.
struct sigaction g_before[NSIG];

[[noreturn]] void endForGoneDisplay(bool save)
{
    g_ending = true;
    Application::EndAtOnce(1, g_goneLine, save);
}

// Whether the display is gone, in a signal handler: Qt's connection met its end, or the
// server closed main's own connection, on which nothing else ever comes.
bool displayGone()
{
    if (xcb_connection_t* connection = g_qtConnection)
        return xcb_connection_has_error(connection);
    const int fd = g_ownConnectionFd;
    pollfd watched = {fd, POLLIN, 0};
    if (fd < 0 || ::poll(&watched, 1, 0) <= 0)
        return false;
    char byte = 0;
    return (watched.revents & (POLLHUP | POLLERR)) || ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg && g_makingApplication)
        Application::EndAtOnce(1, DisplayLoss::UnreachableLine(), false);
    // Qt's own words when the connection broke (the event loop's check and its Xlib handler):
    // saved only on the main thread, whose data this is.
    if (type == QtWarningMsg && text.startsWith(QLatin1String("The X11 connection broke")))
        endForGoneDisplay(pthread_equal(pthread_self(), g_mainThread));
    // Where the display goes away as Qt connects, sets up its screens and keymap or makes the
    // first windows, Qt warns of each thing that failed ("could not connect to display", its
    // platform plugin, the keymap, a window's icon) before the end that follows says it in one
    // line: once the display is gone, until that end begins, what is said is left out.
    if (!g_ending && displayGone())
        return;
    g_previous(type, context, text);
}

// Until Qt sets its own once its display is open: the connection broke while it was opened.
int onXlibConnectionBroken(_XDisplay*) { endForGoneDisplay(false); }

// A crash where the display is gone is the toolkit's, reading what never came: the program
// ends as for any loss of the display (nothing is saved: no data can be trusted now). Any
// other crash meets what was there before (a sanitizer's report, or the default core) as
// the handler returns: the fault comes again, and abort raises its signal again.
void onCrash(int sig)
{
    if (displayGone())
        Application::EndNow(1, g_goneLine);
    sigaction(sig, &g_before[sig], nullptr);
}
} // namespace

void DisplayLoss::Watch(xcb_connection_t* ownConnection)
{
    g_mainThread = pthread_self();
    g_goneLine = "lumora-calendar: the X display \"" + qgetenv("DISPLAY") + "\" went away, so the calendar ends\n";
    g_ownConnectionFd = xcb_get_file_descriptor(ownConnection);
    g_previous = qInstallMessageHandler(onMessage);
    XSetIOErrorHandler(onXlibConnectionBroken);
    struct sigaction action = {};
    action.sa_handler = onCrash;
    sigemptyset(&action.sa_mask);
    for (const int sig : Crashes)
        sigaction(sig, &action, &g_before[sig]);
}

void DisplayLoss::MakingApplication() { g_makingApplication = true; }

void DisplayLoss::ApplicationMade()
{
    g_makingApplication = false;
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        g_qtConnection = x11->connection();
    g_ownConnectionFd = -1;
}

QByteArray DisplayLoss::UnreachableLine()
{
    return "lumora-calendar: needs an X11 display (an X server, or XWayland in a Wayland session), and none "
           "answers at DISPLAY=\"" + qgetenv("DISPLAY") + "\"\n";
}

QByteArray DisplayLoss::GoneLine() { return g_goneLine; }
