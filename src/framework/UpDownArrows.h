#pragma once
#include <QWidget>
#include <functional>

// A small pair of arrow buttons, one above the other (13 x 23 pixels by default). A press
// on the upper half raises Up, on the lower half Down; a held button does not repeat. It
// takes no keyboard focus.
class UpDownArrows : public QWidget
{
    Q_OBJECT
public:
    explicit UpDownArrows(QWidget* parent = nullptr);

    std::function<void()> Up;
    std::function<void()> Down;

    // 0 nothing pressed, 1 the up arrow, 2 the down arrow (while the mouse is held).
    int PressedPart() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_pressed = 0;
};
