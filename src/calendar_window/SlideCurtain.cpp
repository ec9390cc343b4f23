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
    // Only the rows the window's shape leaves are seen, and only the rows to paint are
    // drawn; the picture may have more pixels than the window (a high-density screen).
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, m_offset, m_picture);
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
