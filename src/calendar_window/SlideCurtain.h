#pragma once
#include <QPixmap>
#include <QWidget>

// What the calendar window shows while it slides. A window manager may keep a window on the
// screen (many do), so the window never leaves the work area: a picture of it, taken as the
// slide starts, is laid over its controls and drawn moved up by the distance the window has
// slid, while the window's shape keeps only the rows that reach into the work area. The
// picture lives as long as the curtain, which the slide deletes when it ends.
class SlideCurtain : public QWidget
{
public:
    // Takes the picture of window as it stands (the curtain itself not in it) and covers
    // the window, above its other children. Hidden until the first SetOffset.
    explicit SlideCurtain(QWidget* window);
    // Draws the picture dy pixels lower than the window's own place (dy <= 0 while the
    // window is slid up) and shows the curtain.
    void SetOffset(int dy);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Clicks and the wheel on a window in mid-slide are dropped: the controls they would
    // reach are only pictured.
    bool event(QEvent* event) override;

private:
    QPixmap m_picture;
    int m_offset = 0;
};
