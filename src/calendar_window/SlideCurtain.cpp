#include "calendar_window/SlideCurtain.h"
#include "framework/Window.h"
#include "framework/WindowManagerHints.h"
#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

namespace {
std::optional<bool> s_assumedCompositor;

bool compositorRuns() { return s_assumedCompositor ? *s_assumedCompositor : WindowManagerHints::CompositorRuns(); }
} // namespace

SlideCurtain::SlideCurtain(Window* window, bool wholeSteps)
    : m_window(window), m_picture(window->grab()), m_wholeSteps(wholeSteps)
{
    // Made a child after the picture is taken, so that it is not in it. It paints every
    // pixel it covers, so nothing beneath it is painted while it shows, and a scroll of it
    // moves what it showed instead of painting it again.
    setParent(window);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(window->rect());
    hide();
}

void SlideCurtain::SetOffset(int dy)
{
    if (!isVisible()) {
        m_offset = dy;
        raise();
        show();   // painted whole
        return;
    }
    if (dy == m_offset)
        return;
    const int last = m_offset;
    m_offset = dy;
    if (!m_wholeSteps) {
        scroll(0, dy - last);
        return;
    }
    // One band from the top down to the lowest row that either step's picture reaches.
    const int reached = std::max(last, dy) + pictureHeight();
    const QRect band(0, 0, width(), std::min(reached, height()));
    if (!showWholeWindow(band))
        update(band);
}

bool SlideCurtain::showWholeWindow(const QRect& band)
{
    if (!m_window->StoreReady())
        return false;
    QBackingStore* store = m_window->backingStore();
    QWindow* handle = m_window->windowHandle();
    const QPoint at = mapTo(m_window, QPoint());
    store->beginPaint(band.translated(at));
    {
        QPainter painter(store->paintDevice());
        painter.translate(at);
        paintRows(painter, band);
    }
    store->endPaint();
    store->flush(m_window->rect(), handle);
    m_window->PictureHandedOver();
    return true;
}

void SlideCurtain::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintRows(painter, event->region());
}

void SlideCurtain::paintRows(QPainter& painter, const QRegion& region) const
{
    // Every row of the region is painted: the picture where it reaches, transparent below it
    // (the window's shape, where there is one, cuts those rows away). The picture may have
    // more pixels than the window (a high-density screen). It is opaque, so it is copied
    // rather than blended.
    painter.setClipRegion(region);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, m_offset, m_picture);
    const int below = m_offset + pictureHeight();
    if (below < height())
        painter.fillRect(0, below, width(), height() - below, Qt::transparent);
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

void SlideCurtain::PrepareWindow(QWidget* window)
{
    if (window->testAttribute(Qt::WA_WState_Created) || !compositorRuns())
        return;
    // An alpha channel for the window (Qt picks a 32-bit visual for a translucent window),
    // while every paint still starts from the palette's colour, as for an opaque one.
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_NoSystemBackground, false);
}

bool SlideCurtain::CutsWithShape(const QWidget* window)
{
    return !window->testAttribute(Qt::WA_TranslucentBackground) || !compositorRuns();
}

void SlideCurtain::AssumeCompositor(std::optional<bool> runs) { s_assumedCompositor = runs; }
