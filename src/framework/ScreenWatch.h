#pragma once
#include "framework/ScreenCheck.h"
#include <QObject>
#include <QRegion>
#include <QTimer>
#include <optional>

class Window;

// Keeps what a compositor on X11 shows of a window equal to the window's own picture. mutter
// (GNOME on X11) learns of a window's damage once (it asks the X server for the damage's
// bounding box, which a whole window's damage never grows), copies the window's picture on
// one of its connections to the server, and clears the damage on another, whose request
// reaches the server after that copy: a change drawn in between is cleared unseen, and the
// screen keeps the picture from before it for good (a slide's last steps, a year paged twice
// at rest). After each change of the window's picture the screen's pixels over the parts that
// changed (the root window's: under a compositor on X11 they are what it shows) are compared
// with the window's backing store, leaving out what the windows stacked above it cover, and
// while the two differ and the screen stood still since the last check (a compositor still
// drawing is left to it: a hand-over would give it all of the window to take again) the whole
// window is handed over again (Window::HandOverWhole), which mutter takes as new damage to
// all of it. The checks come at ScreenCheck's intervals; none runs once the two agree or the
// checks are given up, nor while the window is hidden, and one that finds its picture in
// motion (a slide) only waits for the next. Hand-overs that the screen never takes stop after
// a few (ScreenCheck::HandOver). A part that changed under another window is compared once
// that window has gone: the program's own windows tell when they hide, another program's is
// looked for at each check until the checks are given up. Reads with Qt's own connection to
// the X server. Made only for a window that a compositor on X11 shows (see
// Window::setVisible), as its child.
class ScreenWatch : public QObject
{
public:
    explicit ScreenWatch(Window* window);
    // The window's whole picture changed (an expose, a slide's step): the checks start anew.
    void Changed();

protected:
    // The program's paints (of the window's widgets: the parts that changed), the window's
    // exposes, and the hiding of the program's other windows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed(const QRegion& part);
    void check();
    // Whether the screen shows the window's picture over the parts that changed and are not
    // covered, which are then no longer compared; nothing where that cannot be read now, or
    // where the screen differs and changed since the last check.
    std::optional<bool> shown();

    Window* const m_window;
    QTimer m_timer;
    ScreenCheck m_checks;
    QRegion m_changed;   // in the store's pixels: changed since the screen last showed them
    bool m_askCompositor = true;   // whether a compositor runs is asked at a change's first check
    size_t m_lastSeen = 0;   // a checksum of what the screen showed at the last check, where it differed
};
