// Starts a program and measures how long its window takes to appear painted on the X
// screen: from just before the program is started to the first drawing into the mapped
// top-level window whose name is the one given. It then waits a moment, reads the
// program's resident memory, ends it with SIGTERM and prints "milliseconds kilobytes".
//
//   startwatch [--rebuild] NAME SETTLE_MS TIMEOUT_S program [arguments...]
//
// With --rebuild it also times a rebuild of the window: after the memory is read it
// presses and releases the space key (XTest) in the painted window, then measures from the
// press to the first drawing into a new mapped top-level window of that name (the rebuild
// closes the old window and makes another) and to the end of the new window's slide down:
// when the window, which stays on the screen and is shaped to the part of it slid into
// view, loses its shape, or when a window that slides by moving (an earlier build of the
// program) reaches the top of the screen (y = 0, the work area's top on a screen without
// panels or window manager). It prints "ms kB shown_ms done_ms", a "-" for a step
// not seen within TIMEOUT_S seconds of the press.
//
// The drawing is seen through the X DAMAGE extension, which the server reports for every
// change of a window's contents, so the program under test needs no help of its own.
// Exit status 0 when every step was seen, 1 when the program ended or TIMEOUT_S seconds
// passed first.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
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

double msSince(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Milliseconds with one decimal, or "-" for a step never seen (negative).
std::string msText(double ms)
{
    if (ms < 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", ms);
    return text;
}

// What the X server told us about the top-level windows of the wanted name.
struct Watch {
    Display* display = nullptr;
    int damageEvent = 0;
    int shapeEvent = -1;
    std::string wanted;
    std::set<Window> mapped;   // mapped top-level windows with the wanted name
    std::set<Window> shaped;   // top-level windows with a bounding shape now
    // Called with the window for each drawing into one of them, each move of an unshaped
    // one and each loss of a shape.
    std::function<void(Window)> drawn;
    std::function<void(Window, int y)> moved;
    std::function<void(Window)> unshaped;

    void handle(const XEvent& event)
    {
        const Window root = DefaultRootWindow(display);
        // Every new top-level window is watched for drawing from its creation on, so that
        // no drawing can slip in between its mapping and the start of the watch.
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportRawRectangles);
            if (shapeEvent >= 0)
                XShapeSelectInput(display, event.xcreatewindow.window, ShapeNotifyMask);
        } else if (event.type == MapNotify && event.xmap.event == root) {
            if (windowName(display, event.xmap.window) == wanted)
                mapped.insert(event.xmap.window);
        } else if (event.type == UnmapNotify && event.xunmap.event == root) {
            mapped.erase(event.xunmap.window);
        } else if (event.type == ConfigureNotify && event.xconfigure.event == root) {
            if (mapped.count(event.xconfigure.window) && !shaped.count(event.xconfigure.window) && moved)
                moved(event.xconfigure.window, event.xconfigure.y);
        } else if (shapeEvent >= 0 && event.type == shapeEvent + ShapeNotify) {
            const auto* shape = reinterpret_cast<const XShapeEvent*>(&event);
            if (shape->kind != ShapeBounding) {
            } else if (shape->shaped) {
                shaped.insert(shape->window);
            } else if (shaped.erase(shape->window) && mapped.count(shape->window) && unshaped) {
                unshaped(shape->window);
            }
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto* damage = reinterpret_cast<const XDamageNotifyEvent*>(&event);
            if (mapped.count(damage->drawable) && drawn)
                drawn(damage->drawable);
        }
    }

    // Handles events until done() holds (true), the program ends or the deadline passes.
    bool waitFor(pid_t pid, Clock::time_point deadline, const std::function<bool()>& done)
    {
        const int fd = ConnectionNumber(display);
        while (!done()) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "startwatch: the program ended\n");
                return false;
            }
            if (Clock::now() > deadline)
                return false;
            if (!XPending(display)) {
                pollfd p{fd, POLLIN, 0};
                poll(&p, 1, 50);
                continue;
            }
            XEvent event;
            XNextEvent(display, &event);
            handle(event);
        }
        return true;
    }
};

// Presses and releases the space key where the window takes it. A bare X server starts
// with the focus following the pointer, which lies in the middle of the screen and so
// over a full-screen window; the window is given the focus only when keys would go
// elsewhere (a focus set to another window, or the pointer outside this one).
void pressSpace(Display* display, Window window)
{
    Window focus = None, rootUnder = None, childUnder = None;
    int revert = 0, rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    XGetInputFocus(display, &focus, &revert);
    const bool followsPointer = focus == PointerRoot
        && XQueryPointer(display, DefaultRootWindow(display), &rootUnder, &childUnder,
                         &rootX, &rootY, &x, &y, &buttons)
        && childUnder == window;
    if (focus != window && !followsPointer)
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    const KeyCode space = XKeysymToKeycode(display, XK_space);
    XTestFakeKeyEvent(display, space, True, CurrentTime);
    XTestFakeKeyEvent(display, space, False, CurrentTime);
    XFlush(display);
}

} // namespace

int main(int argc, char** argv)
{
    const bool rebuild = argc > 1 && std::strcmp(argv[1], "--rebuild") == 0;
    if (rebuild) {
        --argc;
        ++argv;
    }
    if (argc < 5) {
        std::fprintf(stderr, "usage: startwatch [--rebuild] NAME SETTLE_MS TIMEOUT_S program [arguments...]\n");
        return 2;
    }
    Watch watch;
    watch.wanted = argv[1];
    const int settleMs = std::atoi(argv[2]);
    const int timeoutS = std::atoi(argv[3]);
    watch.display = XOpenDisplay(nullptr);
    Display* display = watch.display;
    if (!display) {
        std::fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    int damageError = 0, xtest[4];
    if (!XDamageQueryExtension(display, &watch.damageEvent, &damageError)) {
        std::fprintf(stderr, "startwatch: the X server has no DAMAGE extension\n");
        return 2;
    }
    int shapeError = 0;
    if (!XShapeQueryExtension(display, &watch.shapeEvent, &shapeError))
        watch.shapeEvent = -1;   // no window can be shaped then
    if (rebuild && !XTestQueryExtension(display, &xtest[0], &xtest[1], &xtest[2], &xtest[3])) {
        std::fprintf(stderr, "startwatch: the X server has no XTEST extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[4], argv + 4);
        std::perror("startwatch: exec");
        _exit(127);
    }

    Window first = None;
    double ms = -1;
    watch.drawn = [&](Window window) {
        if (first == None) {
            first = window;
            ms = msSince(start);
        }
    };
    if (!watch.waitFor(pid, start + std::chrono::seconds(timeoutS), [&] { return first != None; })) {
        std::fprintf(stderr, "startwatch: no painted window named \"%s\" within %d s\n", watch.wanted.c_str(), timeoutS);
        stop(pid);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long rss = residentKilobytes(pid);
    if (!rebuild) {
        stop(pid);
        std::printf("%.1f %ld\n", ms, rss);
        XCloseDisplay(display);
        return 0;
    }

    // The events queued while settling (the start-up's own slide and drawing) are old news.
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        watch.handle(event);
    }
    // Only a window mapped after the key is the rebuilt one: the old window keeps drawing
    // while it slides up, and so may other windows of the name.
    const std::set<Window> before = watch.mapped;
    Window fresh = None;
    double shownMs = -1, doneMs = -1;
    const Clock::time_point press = Clock::now();
    watch.drawn = [&](Window window) {
        if (!before.count(window) && fresh == None) {
            fresh = window;
            shownMs = msSince(press);
        }
    };
    watch.moved = [&](Window window, int y) {
        if (!before.count(window) && doneMs < 0 && y >= 0 && (fresh == None || window == fresh))
            doneMs = msSince(press);
    };
    watch.unshaped = [&](Window window) {
        if (!before.count(window) && doneMs < 0 && (fresh == None || window == fresh))
            doneMs = msSince(press);
    };
    pressSpace(display, first);
    const bool seen = watch.waitFor(pid, press + std::chrono::seconds(timeoutS),
                                     [&] { return shownMs >= 0 && doneMs >= 0; });
    if (!seen)
        std::fprintf(stderr, "startwatch: no rebuilt window named \"%s\" %s within %d s of the key\n",
                     watch.wanted.c_str(), shownMs < 0 ? "painted" : "at the top", timeoutS);
    stop(pid);
    std::printf("%.1f %ld %s %s\n", ms, rss, msText(shownMs).c_str(), msText(doneMs).c_str());
    XCloseDisplay(display);
    return seen ? 0 : 1;
}
