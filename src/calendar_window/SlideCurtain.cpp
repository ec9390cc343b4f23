#include "calendar_window/SlideCurtain.h"
#include <QPaintEvent>
#include <QPainter>

SlideCurtain::SlideCurtain(QWidget* window) : m_picture(window->grab())
{
    // Made a child after the picture is taken, so that it is not in it. It paints every
    // pixel it covers, so nothing beneath it is painted while it shows.
    setParent(window);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(window->rect());
    hide();
}

void SlideCurtain::SetOffset(int dy)
{
    if (dy == m_offset && isVisible())
        return;
    m_offset = dy;
    if (!isVisible()) {
        raise();
        show();
    }
    update();
}

void SlideCurtain::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect rows = event->rect();
    // Only the rows the window's shape leaves are seen; below the picture (a slide never
    // moves it down) there is nothing to draw.
    painter.drawPixmap(rows, m_picture, rows.translated(0, -m_offset));
}

bool SlideCurtain::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}
