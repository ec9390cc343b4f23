#include "framework/Canvas.h"
#include "framework/Graphics.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <cmath>

namespace {

QPoint localPoint(const QPointF& p)
{
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

} // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

Canvas::~Canvas() = default;

void Canvas::SetBackdrop(const PicturePtr& picture)
{
    m_backdrop = picture;
    update();
}

bool Canvas::AcceptFocus() const
{
    return focusPolicy() != Qt::NoFocus;
}

void Canvas::SetAcceptFocus(bool on)
{
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void Canvas::SetEraseBackground(bool on)
{
    m_eraseBackground = on;
    update();
}

void Canvas::Invalidate(bool)
{
    update();
}

void Canvas::Refresh(bool)
{
    repaint();
}

void Canvas::Scroll(int dx, int dy)
{
    scroll(dx, dy);
}

void Canvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_eraseBackground)
        painter.fillRect(rect(), palette().window());
    if (m_backdrop)
        painter.drawImage(QPoint(0, 0), m_backdrop->Composited());
    if (Paint) {
        Graphics g(&painter, width(), height());
        const auto handler = Paint; // the handler may rebind the slot
        handler(g);
    }
}

void Canvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_tracking) {
        event->ignore();
        return;
    }
    if (AcceptFocus())
        setFocus(Qt::MouseFocusReason);
    const QPoint p = localPoint(event->position());
    QPointer<Canvas> self(this);
    const auto handler = MouseDown;
    const bool taken = handler && handler(p.x(), p.y());
    if (!self)
        return;
    // A canvas that its own handler hid gets no release: it takes no press then.
    if (taken && !isHidden()) {
        m_tracking = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void Canvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = localPoint(event->position());
    if (m_tracking) {
        if (const auto handler = MouseDrag)
            handler(p.x(), p.y());
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        if (const auto handler = MouseMove)
            handler(p.x(), p.y());
        return;
    }
    event->ignore();
}

void Canvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_tracking = false;
    const QPoint p = localPoint(event->position());
    if (const auto handler = MouseUp)
        handler(p.x(), p.y());
}

void Canvas::hideEvent(QHideEvent* event)
{
    // A hidden control receives no mouse events: a press it held ends here.
    m_tracking = false;
    QWidget::hideEvent(event);
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void Canvas::wheelEvent(QWheelEvent* event)
{
    if (!MouseWheel) {
        event->ignore();
        return;
    }
    event->accept();
    // Qt counts eighths of a degree, 120 to a notch, positive away from the user.
    m_wheelRestX += -event->angleDelta().x();
    m_wheelRestY += -event->angleDelta().y();
    const int notchesX = m_wheelRestX / 120;
    const int notchesY = m_wheelRestY / 120;
    m_wheelRestX -= notchesX * 120;
    m_wheelRestY -= notchesY * 120;
    if (notchesX == 0 && notchesY == 0)
        return;
    const QPoint p = localPoint(event->position());
    const auto handler = MouseWheel;
    handler(p.x(), p.y(), notchesX, notchesY);
}

void Canvas::keyPressEvent(QKeyEvent* event)
{
    const auto handler = KeyDown;
    if (handler && handler(event))
        event->accept();
    else
        event->ignore();
}

void Canvas::enterEvent(QEnterEvent*)
{
    if (const auto handler = MouseEnter)
        handler();
}

void Canvas::leaveEvent(QEvent*)
{
    if (const auto handler = MouseExit)
        handler();
}
