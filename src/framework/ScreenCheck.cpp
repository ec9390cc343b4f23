#include "framework/ScreenCheck.h"
#include <algorithm>
#include <cmath>

void ScreenCheck::Restart()
{
    m_next = FirstDelay;
    m_waited = 0;
    m_unseen = 0;
}

bool ScreenCheck::HandOver()
{
    if (m_unseen >= UnseenHandOvers)
        return false;
    ++m_unseen;
    return true;
}

void ScreenCheck::ScreenChanged() { m_unseen = 0; }

int ScreenCheck::Next()
{
    if (m_waited >= GiveUpAfter)
        return -1;
    const int delay = m_next;
    m_waited += delay;
    m_next = std::min(2 * m_next, MaxDelay);
    return delay;
}

QRegion ScreenCheck::Compared(const QRect& window, const QRect& screen, const QVector<QRect>& above, int margin)
{
    QRegion region(window & screen);
    for (const QRect& r : above)
        region -= r.adjusted(-margin, -margin, margin, margin);
    return region.translated(-window.topLeft());
}

QRect ScreenCheck::DevicePixels(const QRect& part, qreal ratio)
{
    const QPoint from(int(std::floor(part.left() * ratio)), int(std::floor(part.top() * ratio)));
    const QPoint to(int(std::ceil((part.right() + 1) * ratio)), int(std::ceil((part.bottom() + 1) * ratio)));
    return QRect(from, to - QPoint(1, 1));
}

bool ScreenCheck::Agree(const QImage& own, const QImage& screen, const QPoint& screenAt, const QRegion& where)
{
    if (own.depth() != 32 || screen.depth() != 32)
        return false;
    const QRect seen = screen.rect().translated(screenAt);
    for (const QRect& r : where) {
        if (!own.rect().contains(r) || !seen.contains(r))
            return false;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto* mine = reinterpret_cast<const QRgb*>(own.constScanLine(y));
            const auto* shown = reinterpret_cast<const QRgb*>(screen.constScanLine(y - screenAt.y()));
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb pixel = mine[x];
                if (qAlpha(pixel) == 255 && ((pixel ^ shown[x - screenAt.x()]) & 0xFFFFFFu) != 0)
                    return false;
            }
        }
    }
    return true;
}
