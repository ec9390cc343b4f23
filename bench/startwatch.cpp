// Starts a program and measures how long its window takes to appear painted on the X
// screen: from just before the program is started to the first drawing into the mapped
// top-level window whose name is the one given. It then waits a moment, reads the
// program's resident memory, ends it with SIGTERM and prints "milliseconds kilobytes".
//
//   startwatch NAME SETTLE_MS TIMEOUT_S program [arguments...]
//
// The drawing is seen through the X DAMAGE extension, which the server reports for every
// change of a window's contents, so the program under test needs no help of its own.
// Exit status 0 when the window was seen, 1 when the program ended or TIMEOUT_S seconds
// passed first.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Errors for windows that vanished between an event and our request about them are normal.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

std::string windowName(Display* display, Window window)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return std::string();
    std::string result(name);
    XFree(name);
    return result;
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s NAME SETTLE_MS TIMEOUT_S program [arguments...]\n", argv[0]);
        return 2;
    }
    const std::string wanted = argv[1];
    const int settleMs = std::atoi(argv[2]);
    const int timeoutS = std::atoi(argv[3]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startwatch: the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[4], argv + 4);
        std::perror("startwatch: exec");
        _exit(127);
    }

    // Every new top-level window is watched for drawing from its creation on, so that no
    // drawing can slip in between its mapping and the start of the watch.
    std::set<Window> mapped;   // mapped top-level windows with the wanted name
    double ms = -1;
    const int fd = ConnectionNumber(display);
    while (ms < 0) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "startwatch: the program ended before its window was painted\n");
            return 1;
        }
        if (Clock::now() - start > std::chrono::seconds(timeoutS)) {
            std::fprintf(stderr, "startwatch: no painted window named \"%s\" within %d s\n", wanted.c_str(), timeoutS);
            stop(pid);
            return 1;
        }
        if (!XPending(display)) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportRawRectangles);
        } else if (event.type == MapNotify && event.xmap.event == root) {
            if (windowName(display, event.xmap.window) == wanted)
                mapped.insert(event.xmap.window);
        } else if (event.type == UnmapNotify && event.xunmap.event == root) {
            mapped.erase(event.xunmap.window);
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
            if (mapped.count(damage->drawable))
                ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long rss = residentKilobytes(pid);
    stop(pid);
    std::printf("%.1f %ld\n", ms, rss);
    XCloseDisplay(display);
    return 0;
}
