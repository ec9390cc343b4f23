#include "framework/UpDownArrows.h"
#include "framework/Graphics.h"
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

UpDownArrows::UpDownArrows(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(13, 23);
}

void UpDownArrows::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Graphics g(&painter, width(), height());
    const int w = width(), h = height();
    const int half = h / 2;
    const QColor face(236, 236, 236), pressed(190, 190, 190), edge(120, 120, 120);

    g.SetForeColor(m_pressed == 1 ? pressed : face);
    g.FillRect(0, 0, w, half);
    g.SetForeColor(m_pressed == 2 ? pressed : face);
    g.FillRect(0, half, w, h - half);
    g.SetForeColor(edge);
    g.DrawRect(0, 0, w, h);
    g.DrawLine(1, half, w - 2, half);

    // Triangles about half the button's width, centred in each half.
    const int side = std::max(3, (w - 4) | 1);
    const int tw = std::min(side, w - 4), th = std::max(2, tw / 2 + 1);
    const int left = (w - tw) / 2;
    g.SetForeColor(QColor(60, 60, 60));
    g.DrawTriangleArrow(Graphics::Arrow::Up, QRect(left, (half - th) / 2, tw, th));
    g.DrawTriangleArrow(Graphics::Arrow::Down, QRect(left, half + (h - half - th) / 2 + 1, tw, th));
}

void UpDownArrows::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool upper = event->position().y() < height() / 2;
    m_pressed = upper ? 1 : 2;
    update();
    QPointer<UpDownArrows> self(this);
    const auto handler = upper ? Up : Down;
    if (handler)
        handler();
    if (!self)
        return;
}

void UpDownArrows::mouseReleaseEvent(QMouseEvent*)
{
    m_pressed = 0;
    update();
}
