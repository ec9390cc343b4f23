#pragma once
#include <QPixmap>
#include <QWidget>
#include <optional>

class QPainter;
class Window;

// What the calendar window shows while it slides. A window manager may keep a window on the
// screen (many do), so the window never leaves the work area: a picture of it, taken as the
// slide starts, is laid over its controls and drawn moved up by the distance the window has
// slid. The rows below the picture must not be seen. Where a compositing manager shows the
// window (every Wayland session's XWayland, composited X11 desktops), the window has an
// alpha channel and those rows are transparent: each step is then one picture that is right
// on its own, whenever the compositor takes it. On an X server without one, the window's
// shape cuts them away (CutsWithShape). The picture lives as long as the curtain, which the
// slide deletes when it ends.
class SlideCurtain : public QWidget
{
public:
    // Takes the picture of window as it stands (the curtain itself not in it) and covers
    // the window, above its other children. Hidden until the first SetOffset. wholeSteps:
    // every step is drawn whole (see SetOffset).
    SlideCurtain(Window* window, bool wholeSteps);
    // Draws the picture dy pixels lower than the window's own place (dy <= 0 while the
    // window is slid up) and shows the curtain. Without wholeSteps, rows the curtain showed
    // already are moved in place (QWidget::scroll), so a step paints only the rows that it
    // brings in. A compositor must not be given that: the X server moves the rows and takes
    // the new ones in separate requests, and a compositor that takes the window's picture
    // between them shows the new rows' place still holding the last step's (a busy machine
    // showed it several times a slide). A whole step reaches the X server as one picture of
    // the whole window (see showWholeWindow).
    void SetOffset(int dy);

    // Asks for window's native window to have an alpha channel when a compositor runs, so
    // that a slide can show transparent rows; call before the native window is made. The
    // window stays opaque wherever it paints (its own paint fills the palette's colour).
    static void PrepareWindow(QWidget* window);
    // Whether the rows below the picture must be cut away with the window's shape: no
    // compositor shows the window's transparency now.
    static bool CutsWithShape(const QWidget* window);
    // Whether a compositor runs, for tests on a platform that has no display to ask (the
    // offscreen one): true or false stands for the display's answer, nothing asks it again.
    static void AssumeCompositor(std::optional<bool> runs);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Clicks and the wheel on a window in mid-slide are dropped: the controls they would
    // reach are only pictured.
    bool event(QEvent* event) override;

private:
    // Paints band (the rows a step changed) into the window's store at once and hands the X
    // server the whole window in one request, so that a compositor is told of damage to all
    // of it. mutter (GNOME on X11) redraws only the part of the screen that a window's damage
    // bounds: sliding up, it drew the desktop under rows just turned transparent wrong (a
    // shade off, or the calendar's last rows left standing at the screen's bottom for the
    // whole slide); sliding down on a busy machine, it redrew the last step's part from the
    // new picture and showed the new rows' place still empty. A window-wide damage makes it
    // redraw all of the window from its newest picture. Only the band is painted, so a step
    // costs what it did. False where the window has no native window, or has not been
    // painted since it was shown (the step is then painted as usual; see
    // Window::StoreReady).
    bool showWholeWindow(const QRect& band);
    void paintRows(QPainter& painter, const QRegion& region) const;
    int pictureHeight() const { return int(m_picture.deviceIndependentSize().height()); }

    Window* const m_window;   // the window the curtain covers, its parent
    QPixmap m_picture;
    bool m_wholeSteps;
    int m_offset = 0;
};
