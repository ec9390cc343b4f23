#include "SceneArt.h"

#include "ArtKit.h"
#include "Palette.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace scene {

void drawEmblem(QPainter& p, QPointF c, double r)
{
    p.save();
    p.setPen(Qt::NoPen);

    // Teal ring.
    QPainterPath ring;
    ring.addEllipse(c, r, r);
    QPainterPath hole;
    hole.addEllipse(c, r * 0.90, r * 0.90);
    QLinearGradient ringGrad(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
    ringGrad.setColorAt(0, palette::tealLight);
    ringGrad.setColorAt(1, palette::tealDark);
    p.setBrush(ringGrad);
    p.drawPath(ring.subtracted(hole));

    // Deep blue disc.
    QRadialGradient disc(c.x() - r * 0.3, c.y() - r * 0.35, r * 1.1);
    disc.setColorAt(0, QColor(44, 96, 146));
    disc.setColorAt(1, QColor(14, 38, 68));
    p.setBrush(disc);
    p.drawEllipse(c, r * 0.80, r * 0.80);

    // Crescent.
    QPainterPath full;
    full.addEllipse(c + QPointF(-r * 0.08, r * 0.04), r * 0.52, r * 0.52);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(r * 0.16, -r * 0.12), r * 0.46, r * 0.46);
    QRadialGradient glow(c, r * 0.75);
    glow.setColorAt(0, art::withAlpha(palette::moon, 70));
    glow.setColorAt(1, art::withAlpha(palette::moon, 0));
    p.setBrush(glow);
    p.drawEllipse(c, r * 0.78, r * 0.78);
    p.setBrush(palette::moon);
    p.drawPath(full.subtracted(bite));

    drawSparkle(p, c + QPointF(r * 0.36, -r * 0.30), r * 0.16, QColor(236, 244, 248));
    drawSparkle(p, c + QPointF(r * 0.48, r * 0.22), r * 0.08, QColor(200, 226, 236));
    p.restore();
}

void drawSparkle(QPainter& p, QPointF c, double r, const QColor& col)
{
    QPainterPath star;
    const double k = r * 0.28;
    star.moveTo(c.x(), c.y() - r);
    star.quadTo(c.x() + k * 0.3, c.y() - k * 0.3, c.x() + r, c.y());
    star.quadTo(c.x() + k * 0.3, c.y() + k * 0.3, c.x(), c.y() + r);
    star.quadTo(c.x() - k * 0.3, c.y() + k * 0.3, c.x() - r, c.y());
    star.quadTo(c.x() - k * 0.3, c.y() - k * 0.3, c.x(), c.y() - r);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawPath(star);
    p.restore();
}

void drawNightLandscape(QPainter& p, const QRectF& rect, int seed)
{
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    p.translate(rect.topLeft());
    const double w = rect.width();
    const double h = rect.height();

    p.fillRect(QRectF(0, 0, w, h),
               art::vgrad(0, h, {{0.0, QColor(16, 40, 72)},
                                 {0.45, QColor(28, 78, 116)},
                                 {0.72, QColor(58, 138, 156)},
                                 {0.90, QColor(140, 200, 204)},
                                 {1.0, QColor(160, 210, 210)}}));

    // Stars in the upper sky.
    art::Random rnd(unsigned(seed) * 7919u + 17u);
    p.setPen(Qt::NoPen);
    const int stars = int(w * h / 2600);
    for (int i = 0; i < stars; ++i) {
        const double x = rnd.next() * w;
        const double y = std::pow(rnd.next(), 1.6) * h * 0.55;
        const double s = 0.5 + rnd.next() * 1.1;
        const int a = 60 + int(rnd.next() * 150 * (1.0 - y / (h * 0.6)));
        p.setBrush(QColor(236, 244, 250, std::clamp(a, 30, 220)));
        p.drawEllipse(QPointF(x, y), s, s);
    }

    // Moon with a soft halo.
    const QPointF m(w * 0.70, h * 0.30);
    const double mr = std::min(w, h) * 0.085;
    QRadialGradient halo(m, mr * 4.0);
    halo.setColorAt(0, art::withAlpha(palette::moon, 90));
    halo.setColorAt(0.35, art::withAlpha(palette::moon, 30));
    halo.setColorAt(1, art::withAlpha(palette::moon, 0));
    p.setBrush(halo);
    p.drawEllipse(m, mr * 4.0, mr * 4.0);
    p.setBrush(palette::moon);
    p.drawEllipse(m, mr, mr);
    p.setBrush(art::withAlpha(QColor(214, 206, 176), 90));
    p.drawEllipse(m + QPointF(-mr * 0.3, -mr * 0.2), mr * 0.22, mr * 0.22);
    p.drawEllipse(m + QPointF(mr * 0.35, mr * 0.3), mr * 0.15, mr * 0.15);

    // Three ranges of hills, far to near.
    struct Range { double base, amp; QColor top, bottom; };
    const Range ranges[] = {
        {0.66, 0.07, QColor(52, 122, 142), QColor(40, 104, 128)},
        {0.77, 0.06, QColor(30, 88, 112), QColor(24, 72, 98)},
        {0.88, 0.05, QColor(16, 52, 82), QColor(12, 40, 66)},
    };
    int k = 0;
    for (const Range& r : ranges) {
        p.setBrush(art::vgrad(h * (r.base - r.amp), h,
                              {{0, r.top}, {1, r.bottom}}));
        p.drawPath(art::hillPath(w, h * r.base, h * r.amp, seed + 3 * k++, h + 2));
    }
    p.restore();
}

void drawChevronRight(QPainter& p, QPointF c, double s, const QColor& col, double width)
{
    p.save();
    QPen pen(col, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(c.x() - s * 0.25, c.y() - s * 0.5);
    path.lineTo(c.x() + s * 0.25, c.y());
    path.lineTo(c.x() - s * 0.25, c.y() + s * 0.5);
    p.drawPath(path);
    p.restore();
}

}  // namespace scene
