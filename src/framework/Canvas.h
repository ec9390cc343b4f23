#pragma once
#include "framework/Picture.h"
#include <QCursor>
#include <QString>
#include <QWidget>
#include <functional>

class Graphics;
class QKeyEvent;

// A control that its owner draws and that reports the mouse and the keyboard.
//
// The owner binds the handler slots it needs; an unbound slot does nothing. Coordinates
// are relative to the canvas. Every paint gets one Graphics whose settings persist through
// that paint; the Backdrop picture, when set, is drawn at 0, 0 before Paint.
//
// Mouse: MouseDown returns true to take the press, and then receives MouseDrag while the
// mouse moves with the button held and MouseUp at the release; a press it does not take
// (false, or no handler) goes on to the parent. MouseMove reports moves with no button
// held; MouseEnter and MouseExit the mouse entering and leaving.
// Wheel: MouseWheel(x, y, deltaX, deltaY) in notches (one notch of a wheel = 1), positive
// deltaY when the wheel turns towards the user (scrolling down), positive deltaX to the
// right; smaller steps (touchpads) are added up until they make a notch, and an event that
// makes no notch gives no call. When a MouseWheel handler is bound, the canvas keeps the
// wheel event whatever the handler returns (so the window does not handle it a second
// time); without one, the event goes on to the parent.
// Keys: KeyDown returns true when it handled the key; otherwise the key goes on to the
// parent (the window's Event_KeyDown).
class Canvas : public QWidget
{
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);
    ~Canvas() override;

    std::function<void(Graphics&)> Paint;
    std::function<bool(int x, int y)> MouseDown;
    std::function<void(int x, int y)> MouseDrag;
    std::function<void(int x, int y)> MouseUp;
    std::function<void(int x, int y)> MouseMove;
    std::function<void()> MouseEnter;
    std::function<void()> MouseExit;
    std::function<bool(int x, int y, int deltaX, int deltaY)> MouseWheel;
    std::function<bool(QKeyEvent* event)> KeyDown;

    PicturePtr Backdrop() const { return m_backdrop; }
    void SetBackdrop(const PicturePtr& picture);

    // The help tag shown when the mouse rests over the canvas ("" for none).
    QString HelpTag() const { return toolTip(); }
    void SetHelpTag(const QString& text) { setToolTip(text); }

    QCursor MouseCursor() const { return cursor(); }
    void SetMouseCursor(const QCursor& cursor) { setCursor(cursor); }

    // Whether the canvas takes the keyboard focus when clicked (off by default).
    bool AcceptFocus() const;
    void SetAcceptFocus(bool on);

    // Whether the canvas fills itself with its background colour before painting (off:
    // what lies under it shows through where it draws nothing).
    bool EraseBackground() const { return m_eraseBackground; }
    void SetEraseBackground(bool on);

    // Repaint at the next update / at once. The argument is kept for the callers' sake:
    // what the canvas does not draw always shows what lies beneath it.
    void Invalidate(bool eraseBackground = true);
    void Refresh(bool eraseBackground = true);
    // Moves the canvas's current image (and its child controls) by dx, dy pixels; the
    // uncovered strip is then painted through Paint.
    void Scroll(int dx, int dy);

    // True while a press that MouseDown took is held.
    bool IsTracking() const { return m_tracking; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    PicturePtr m_backdrop;
    bool m_tracking = false;
    bool m_eraseBackground = false;
    int m_wheelRestX = 0;
    int m_wheelRestY = 0;
};
