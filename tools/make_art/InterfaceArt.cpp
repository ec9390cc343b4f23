#include "InterfaceArt.h"

#include "ArtKit.h"
#include "Palette.h"
#include "SceneArt.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>

namespace interface_art {

namespace {

QString name(const QString& dir, int resource)
{
    return dir + "/" + QString::number(resource) + ".png";
}

// ---- home button: 76 x 22 pill; "Home" is drawn on it by the calendar -----

constexpr int kHomeW = 76;
constexpr int kHomeH = 22;

struct Face {
    QColor border, top, bottom, shine;
};

QImage homeFace(const Face& f)
{
    QImage img = art::layer(kHomeW, kHomeH);
    QPainter p(&img);
    art::setupPainter(p);
    p.setPen(Qt::NoPen);
    QPainterPath outer;
    outer.addRoundedRect(QRectF(0, 0, kHomeW, kHomeH), kHomeH / 2.0, kHomeH / 2.0);
    p.setBrush(f.border);
    p.drawPath(outer);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(1, 1, kHomeW - 2, kHomeH - 2), kHomeH / 2.0 - 1,
                         kHomeH / 2.0 - 1);
    p.setBrush(art::vgrad(1, kHomeH - 1, {{0, f.top}, {1, f.bottom}}));
    p.drawPath(inner);
    // Soft shine over the upper half.
    QPainterPath shine;
    shine.addRoundedRect(QRectF(3, 1.5, kHomeW - 6, kHomeH / 2.0 - 1), 8, 6);
    p.setBrush(art::vgrad(1.5, kHomeH / 2.0, {{0, f.shine}, {1, art::withAlpha(f.shine, 0)}}));
    p.drawPath(shine);
    return img;
}

void makeHomeButton(const QString& dir)
{
    const Face normal{QColor(92, 136, 160), QColor(250, 252, 253), QColor(204, 223, 232),
                      QColor(255, 255, 255, 120)};
    const Face over{QColor(14, 98, 108), QColor(70, 182, 188), QColor(24, 126, 138),
                    QColor(255, 255, 255, 70)};
    const Face down{QColor(8, 62, 76), QColor(16, 86, 102), QColor(34, 124, 136),
                    QColor(255, 255, 255, 0)};
    const art::Masked n = art::splitMask(homeFace(normal), false);
    art::save(n.picture, name(dir, 168));
    art::save(n.mask, name(dir, 169));
    art::save(art::splitMask(homeFace(over), false).picture, name(dir, 170));
    art::save(art::splitMask(homeFace(down), false).picture, name(dir, 171));
}

// ---- strips of 5-pixel state slices: normal, hover, pressed --------------

struct Slice {
    QColor top, bottom;
};

QImage stateStrip(int h, const Slice (&s)[3], int gradientRows)
{
    QImage img = art::solid(15, h, Qt::black);
    QPainter p(&img);
    for (int i = 0; i < 3; ++i) {
        const QRectF r(i * 5, 0, 5, h);
        p.fillRect(r, s[i].bottom);
        p.fillRect(QRectF(i * 5, 0, 5, gradientRows),
                   art::vgrad(0, gradientRows, {{0, s[i].top}, {1, s[i].bottom}}));
        p.fillRect(QRectF(i * 5, 0, 5, 1), art::mix(s[i].top, Qt::white, 0.35));
    }
    return img;
}

void makeStrips(const QString& dir)
{
    // Link row: tall enough for any row height the bottom area gives it.
    const Slice link[3] = {{QColor(104, 156, 170), QColor(70, 122, 138)},
                           {QColor(70, 170, 176), QColor(38, 132, 142)},
                           {QColor(40, 88, 104), QColor(60, 114, 130)}};
    art::save(stateStrip(64, link, 34), name(dir, 172));
    const Slice menu[3] = {{QColor(42, 88, 126), QColor(20, 52, 86)},
                           {QColor(48, 146, 156), QColor(26, 106, 118)},
                           {QColor(16, 42, 70), QColor(32, 72, 106)}};
    art::save(stateStrip(15, menu, 15), name(dir, 173));
}

// ---- menu toggle: two 14 x 14 frames, at x 0 and x 16 --------------------

void drawToggleFrame(QPainter& p, double x, bool up, const QColor& top,
                     const QColor& bottom)
{
    p.save();
    p.translate(x, 0);
    p.setPen(Qt::NoPen);
    QPainterPath sq;
    sq.addRoundedRect(QRectF(0, 0, 14, 14), 3.5, 3.5);
    p.setBrush(art::vgrad(0, 14, {{0, top}, {1, bottom}}));
    p.drawPath(sq);
    QPen pen(QColor(232, 240, 246), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath chevron;
    if (up) {
        chevron.moveTo(3.8, 8.6);
        chevron.lineTo(7, 5.4);
        chevron.lineTo(10.2, 8.6);
    } else {
        chevron.moveTo(3.8, 5.4);
        chevron.lineTo(7, 8.6);
        chevron.lineTo(10.2, 5.4);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
    p.restore();
}

QImage toggleFrames(const QColor& top, const QColor& bottom)
{
    QImage img = art::layer(30, 14);
    QPainter p(&img);
    art::setupPainter(p);
    drawToggleFrame(p, 0, false, top, bottom);
    drawToggleFrame(p, 16, true, top, bottom);
    return img;
}

void makeMenuToggle(const QString& dir)
{
    // Backdrop of the strip: one small tab at its left; white is clear.
    QImage strip = art::layer(97, 15);
    {
        QPainter p(&strip);
        art::setupPainter(p);
        p.translate(1, 0.5);
        drawToggleFrame(p, 0, false, QColor(40, 86, 124), QColor(20, 52, 86));
    }
    art::save(art::flatten(strip, [](int, int) { return palette::navy; }, true),
              name(dir, 175));

    const art::Masked rest = art::splitMask(toggleFrames(QColor(40, 86, 124),
                                                         QColor(20, 52, 86)), false);
    art::save(rest.picture, name(dir, 178));
    art::save(art::splitMask(toggleFrames(QColor(52, 158, 166), QColor(26, 110, 122)),
                             false).picture,
              name(dir, 179));
    art::save(rest.mask, name(dir, 180));
}

// ---- About window logo: 284 x 93 on white --------------------------------
// The window lays a white patch over (169, 47)-(265, 71) and the web link
// label over the band y 73..93, so the logo keeps clear of both.

void makeAboutLogo(const QString& dir)
{
    QImage img = art::solid(284, 93, Qt::white);
    QPainter p(&img);
    art::setupPainter(p);
    scene::drawEmblem(p, QPointF(64, 36), 30);

    p.setPen(palette::teal);
    p.setFont(art::font(palette::sans2, 10, true, false, 3.2));
    p.drawText(QPointF(108, 14), "DESKTOP");
    p.setPen(palette::deepBlue);
    p.setFont(art::font(palette::sans, 40, true));
    p.drawText(QPointF(105, 46), "Lumora");
    p.fillRect(QRectF(108, 53, 54, 2), palette::teal);
    p.fillRect(QRectF(108, 53, 54, 2), art::hgrad(108, 162, {{0, palette::teal},
                                                             {1, palette::tealLight}}));
    p.setPen(palette::slate);
    p.setFont(art::font(palette::sans, 10, false, true));
    p.drawText(QPointF(108, 67), "calendars");
    art::save(img, name(dir, 181));
}

// ---- countdown tile: 118 x 130, a tear-off page; texts centre on x 54 ----

void makeCountdown(const QString& dir)
{
    const QRectF card(4, 5, 100, 95);
    QImage img = art::layer(118, 130);
    {
        QPainter p(&img);
        art::setupPainter(p);
        p.setPen(Qt::NoPen);

        // Soft shadow.
        for (int i = 6; i >= 1; --i) {
            p.setBrush(QColor(20, 40, 64, 9));
            p.drawRoundedRect(card.adjusted(2 - i * 0.5, 3 - i * 0.5, 2 + i * 0.5,
                                            5 + i * 0.5), 8 + i * 0.5, 8 + i * 0.5);
        }
        // The page under the top page.
        p.setBrush(QColor(224, 231, 238));
        p.setPen(QPen(QColor(188, 200, 212), 1));
        p.drawRoundedRect(card.adjusted(3, 4, -3, 3.5), 6, 6);

        // Top page.
        QPainterPath page;
        page.addRoundedRect(card, 7, 7);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(188, 202, 216));
        p.drawPath(page);
        QPainterPath inner;
        inner.addRoundedRect(card.adjusted(1, 1, -1, -1), 6, 6);
        p.setBrush(art::vgrad(card.top(), card.bottom(),
                              {{0, QColor(250, 251, 252)}, {1, QColor(236, 241, 246)}}));
        p.drawPath(inner);

        // Header band.
        p.save();
        p.setClipPath(inner);
        p.fillRect(QRectF(card.left(), card.top(), card.width(), 16),
                   art::vgrad(card.top(), card.top() + 16,
                              {{0, QColor(40, 150, 158)}, {1, QColor(22, 108, 122)}}));
        p.fillRect(QRectF(card.left(), card.top() + 16, card.width(), 1),
                   QColor(16, 84, 96));
        p.restore();
        p.setPen(QColor(232, 246, 248));
        p.setFont(art::font(palette::sans2, 8, true, false, 1.6));
        art::drawCentred(p, "COUNTDOWN", 54 + 0.8, card.top() + 12);

        // Binder rings.
        for (double cx : {28.0, 80.0}) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(12, 70, 80));
            p.drawEllipse(QPointF(cx, card.top() + 4), 2.2, 2.2);
            p.setPen(QPen(QColor(104, 120, 136), 2.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(cx, card.top() - 4), QPointF(cx, card.top() + 4));
            p.setPen(QPen(QColor(200, 210, 220), 0.9, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(cx - 0.5, card.top() - 3.5), QPointF(cx - 0.5, card.top() + 2));
        }
    }
    const art::Masked m = art::splitMask(img, true);
    art::save(m.picture, name(dir, 185));
    art::save(m.mask, name(dir, 186));
}

// ---- tray icon base: 32 x 32, opaque; the day number goes on y 12..24 ----

void makeTrayIcon(const QString& dir)
{
    QImage img = art::solid(32, 32, QColor(246, 248, 250));
    QPainter p(&img);
    art::setupPainter(p);
    p.fillRect(QRectF(0, 0, 32, 32), art::vgrad(0, 32, {{0, QColor(250, 251, 252)},
                                                        {1, QColor(226, 234, 241)}}));
    p.fillRect(QRectF(0, 0, 32, 9), art::vgrad(0, 9, {{0, QColor(40, 150, 158)},
                                                      {1, QColor(20, 100, 116)}}));
    p.fillRect(QRectF(0, 9, 32, 1), QColor(14, 76, 90));
    p.setPen(Qt::NoPen);
    for (double cx : {9.5, 22.5}) {
        p.setBrush(QColor(226, 240, 242));
        p.drawEllipse(QPointF(cx, 4.5), 1.7, 1.7);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(104, 126, 146), 1));
    p.drawRect(QRectF(0.5, 0.5, 31, 31));
    art::save(img, name(dir, 188));
}

// ---- week at a glance: header bands, time column, return arrow -----------

QImage glanceHeader1()
{
    QImage img = art::solid(32, 60, Qt::black);
    QPainter p(&img);
    p.fillRect(QRectF(0, 0, 32, 60), art::vgrad(0, 60, {{0, QColor(46, 94, 138)},
                                                        {0.55, QColor(30, 68, 106)},
                                                        {1, QColor(22, 54, 88)}}));
    p.fillRect(QRectF(0, 0, 32, 1), QColor(84, 128, 166));
    return img;
}

QImage glanceHeader2()
{
    QImage img = art::solid(32, 22, Qt::black);
    QPainter p(&img);
    p.fillRect(QRectF(0, 0, 32, 22), art::vgrad(0, 22, {{0, QColor(34, 128, 140)},
                                                        {1, QColor(20, 94, 108)}}));
    p.fillRect(QRectF(0, 0, 32, 1), QColor(84, 170, 176));
    p.fillRect(QRectF(0, 21, 32, 1), QColor(14, 72, 84));
    return img;
}

// The grid draws the upper half into even rows and reads the lower half at
// the row's own height for odd rows, so each half covers rows up to 60 high.
QImage timeBackground()
{
    QImage img = art::solid(60, 120, Qt::black);
    QPainter p(&img);
    p.fillRect(QRectF(0, 0, 60, 120), art::hgrad(0, 60, {{0, QColor(208, 220, 231)},
                                                        {1, QColor(233, 239, 245)}}));
    return img;
}

QImage returnArrow(bool hover)
{
    QImage img = art::layer(20, 20);
    QPainter p(&img);
    art::setupPainter(p);
    const QPointF c(10, 10);
    if (hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(art::vgrad(1, 19, {{0, QColor(60, 184, 188)}, {1, QColor(24, 130, 140)}}));
        p.drawEllipse(c, 9.2, 9.2);
    } else {
        p.setPen(QPen(QColor(128, 168, 200), 1.3));
        p.setBrush(QColor(255, 255, 255, 18));
        p.drawEllipse(c, 8.6, 8.6);
    }
    const QColor ink = hover ? QColor(250, 252, 253) : QColor(228, 238, 246);
    QPen pen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(5.8, 10), QPointF(14.4, 10));
    QPainterPath head;
    head.moveTo(9.6, 6.0);
    head.lineTo(5.6, 10);
    head.lineTo(9.6, 14.0);
    p.drawPath(head);
    return img;
}

void makeGlance(const QString& dir)
{
    const QImage h1 = glanceHeader1();
    art::save(h1, name(dir, 189));
    art::save(glanceHeader2(), name(dir, 190));
    art::save(timeBackground(), name(dir, 193));
    // The arrow stands at (20, 8) over the first header band.
    const art::BackgroundAt under = [&h1](int, int y) { return h1.pixelColor(0, y + 8); };
    art::save(art::flatten(returnArrow(false), under, true), name(dir, 194));
    art::save(art::flatten(returnArrow(true), under, true), name(dir, 195));
}

// ---- to-do delete mark: 11 x 11 at (4, 4) of a grey cell ---------------

void makeDeleteMark(const QString& dir)
{
    QImage img = art::layer(11, 11);
    {
        QPainter p(&img);
        art::setupPainter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(art::vgrad(0, 11, {{0, QColor(206, 104, 100)}, {1, QColor(166, 64, 64)}}));
        p.drawEllipse(QPointF(5.5, 5.5), 5.3, 5.3);
        QPen pen(QColor(252, 242, 240), 1.5, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(3.6, 3.6), QPointF(7.4, 7.4));
        p.drawLine(QPointF(7.4, 3.6), QPointF(3.6, 7.4));
    }
    art::save(art::flatten(img, [](int, int) { return QColor(220, 220, 220); }, true),
              name(dir, 197));
}

}  // namespace

void makeAll(const QString& dir)
{
    makeHomeButton(dir);
    makeStrips(dir);
    makeMenuToggle(dir);
    makeAboutLogo(dir);
    makeCountdown(dir);
    makeTrayIcon(dir);
    makeGlance(dir);
    makeDeleteMark(dir);
}

}  // namespace interface_art
