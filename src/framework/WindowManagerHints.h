#pragma once
#include <Qt>

class QPoint;
class QWidget;

// What a window manager reads from a top-level window to frame it, written straight to the X
// server. Qt lists the Motif functions of a window from its title-bar button flags, but a
// window without any button flag (an undecorated window, a dialog without a close box) gets
// "every function", minimise and maximise included, and a fixed-size window still gets
// "resize". Both calls do nothing off X11 (the offscreen tests) or before the window has a
// native window.
class WindowManagerHints
{
public:
    // The native window's property through which Qt maps a window with a user time of 0: a
    // window shown so takes no keyboard from the program the user is in.
    static constexpr char ShowWithoutActivating[] = "_q_showWithoutActivating";

    // The title-bar buttons the window asked for (close, minimise, maximise button flags):
    // none on a frameless window, whose flags Qt fills with every button of a plain window.
    // Both the hints written here and the guard that undoes a window manager's minimise
    // read them; they do not depend on the platform.
    static Qt::WindowFlags FrameButtons(const QWidget* window);

    // Writes the window's Motif hints from its flags and size limits: moving; resizing only
    // when its minimum and maximum sizes differ; minimising, maximising (only when
    // resizable) and closing only with the matching button flag; a title bar and border
    // unless it is frameless. Qt writes its own list whenever it makes the native window:
    // call this after that and before the window is mapped, where window managers read it.
    static void WriteFrameFunctions(QWidget* window);

    // Writes window's WM_TRANSIENT_FOR as owner's native window. Qt writes it only when the
    // window is mapped; a window manager also reads a change while it is mapped, so a window
    // can follow an owner that was mapped anew (as a new X window, or after it was withdrawn,
    // which makes a window manager forget its transients) without being unmapped itself.
    static void WriteTransientFor(QWidget* window, QWidget* owner);

    // Whether the window stands on the screen: mapped, with the window manager's frame around
    // it, and not iconic. Read from the X server, which Qt's own state may lag behind or miss
    // (Qt reports a state only when it differs from the one it reported last). Off X11, or
    // before the window has a native window, the widget's own state answers.
    static bool IsShown(QWidget* window);
    // Whether the window is viewable on the X server, it and its frame mapped, minimised or not
    // (a window manager may keep a minimised window mapped: mutter does). Off X11, or before
    // the window has a native window, whether the widget is visible.
    static bool IsViewable(QWidget* window);
    // Whether a compositing manager runs on the display's screen (someone owns its
    // _NET_WM_CM_S selection). False off X11.
    static bool CompositorRuns();
    // Whether the X server is XWayland (a Wayland session's). Asked of the server once a run;
    // false off X11.
    static bool OnXWayland();
    // Maps the window again, the way back from a minimise that a client has: a window manager
    // restores the window, also when it dropped an earlier request. Does nothing off X11.
    static void MapAgain(QWidget* window);
    // Asks for the window's top-left corner at place (in Qt's coordinates) with a move alone,
    // its size left out of the request. False, and nothing done, off X11 or before the window
    // has a native window.
    static bool Move(QWidget* window, const QPoint& place);
    // Whether a window manager may give the window the keyboard (WM_HINTS' input field), for
    // a window mapped without it: some window managers (fluxbox) give every new window the
    // keyboard whatever its user time says. Does nothing off X11.
    static void WriteTakesKeyboard(QWidget* window, bool takes);
    // From now on, a mark that a window manager puts on a window of this program as asking for
    // attention is asked away as it comes (kwin marks a window mapped with a user time of 0,
    // metacity and mutter one that opens behind the window that has the keyboard): the
    // program asks for none. Once per run is enough; does nothing off X11.
    static void DropAttentionMarks();
    // Whether a window of another program has the keyboard: the window the window manager
    // names in the root's _NET_ACTIVE_WINDOW, or, where the root has no such property (no
    // window manager, or one that does not say), the X server's input focus. False where no
    // program's window has it (a server's start without a window manager, a desktop clicked),
    // where the program's own window has it, and off X11. On XWayland no window named at all
    // counts as another program's, a native Wayland one: ask only while the program has lost
    // the keyboard (or never had it). One or two round trips to the server.
    static bool AnotherProgramActive();
    // Adds "skip the task bar" and "skip the pager" to the window's _NET_WM_STATE, so that no
    // task list shows it. A window manager reads the state when the window is mapped (and
    // drops it when the window is withdrawn): call this before each map. Qt keeps states it
    // finds there when it writes its own.
    static void WriteSkipTaskList(QWidget* window);
};
