// The "Standard" edition: a deep blue title band, a light calendar with a
// panel of links and a dusk landscape at the right, and a dusk landscape
// along the bottom.
#include "ArtKit.h"
#include "Editions.h"
#include "Palette.h"
#include "SceneArt.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVector>

#include <cmath>

namespace standard_edition {

namespace {

using editions::Band;

constexpr int kTitleHeight = 84;    // pixels of both background pictures

// On screen the calendar band is about 2.6 : 1 on wide screens and 1.95 : 1
// on the others.
const Band kWide{1920, 1200, 1.63, kTitleHeight, 0.66};
const Band kStandard{1600, 1200, 1.46, kTitleHeight, 0.70};
constexpr double kYearStretch = 1.55;

const QColor kBandColor = palette::navy;

// Year picture: a strip in the left margin, in pixels of the stored pictures.
constexpr int kYearX = 14;
constexpr int kYearY = 360;
constexpr int kYearW = 86;
constexpr int kYearH = 480;

const char* const kLinkLabels[5] = {"Lumora Calendar home", "Holidays and observances",
                                    "Tips and shortcuts", "Help and support",
                                    "Share with a friend"};
const char* const kLinkUrls[5] = {
    "https://www.example.com/lumora", "https://www.example.com/lumora/holidays",
    "https://www.example.com/lumora/tips", "https://www.example.com/lumora/help",
    "https://www.example.com/lumora/share"};

void paintBase(QPainter& p, int width, int height)
{
    p.fillRect(QRectF(0, 0, width, height),
               art::vgrad(0, height, {{0.0, QColor(233, 241, 247)},
                                      {0.10, QColor(242, 246, 250)},
                                      {0.55, QColor(247, 249, 251)},
                                      {1.0, QColor(232, 239, 245)}}));
}

void drawLinkIcon(QPainter& p, int index, QPointF c, double r)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(art::vgrad(c.y() - r, c.y() + r, {{0, QColor(48, 160, 166)},
                                                 {1, QColor(22, 112, 124)}}));
    p.drawEllipse(c, r, r);
    const QColor ink(244, 250, 251);
    QPen pen(ink, r * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (index) {
    case 0: {  // home
        QPainterPath house;
        house.moveTo(c.x() - r * 0.45, c.y() + r * 0.42);
        house.lineTo(c.x() - r * 0.45, c.y() - r * 0.05);
        house.lineTo(c.x(), c.y() - r * 0.48);
        house.lineTo(c.x() + r * 0.45, c.y() - r * 0.05);
        house.lineTo(c.x() + r * 0.45, c.y() + r * 0.42);
        house.closeSubpath();
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(house);
        break;
    }
    case 1:  // holidays
        scene::drawSparkle(p, c, r * 0.58, ink);
        break;
    case 2:
    case 3: {  // tips, help
        p.setPen(ink);
        p.setFont(art::font(palette::sans, int(r * 1.25), true));
        art::drawCentred(p, index == 2 ? "i" : "?", c.x(), c.y() + r * 0.44);
        break;
    }
    default: {  // share: an arrow out of a box corner
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(c.x() - r * 0.36, c.y() + r * 0.36),
                   QPointF(c.x() + r * 0.36, c.y() - r * 0.36));
        QPainterPath head;
        head.moveTo(c.x() - r * 0.05, c.y() - r * 0.40);
        head.lineTo(c.x() + r * 0.40, c.y() - r * 0.40);
        head.lineTo(c.x() + r * 0.40, c.y() + r * 0.05);
        p.drawPath(head);
        break;
    }
    }
    p.restore();
}

// The background of one screen shape. Returns the picture and fills the
// link rows' rectangles in designed coordinates.
QImage background(const Band& band, QVector<QRectF>& links)
{
    const int w = band.width;
    QImage img = art::solid(w, band.height, Qt::white);
    QPainter p(&img);
    art::setupPainter(p);
    paintBase(p, w, band.height);
    p.scale(1.0, band.stretch);
    const double hd = band.designHeight();

    // Light glow behind the panel.
    QRadialGradient glow(QPointF(w * 0.87, hd * 0.34), w * 0.34);
    glow.setColorAt(0, QColor(190, 226, 232, 120));
    glow.setColorAt(0.6, QColor(210, 232, 240, 40));
    glow.setColorAt(1, QColor(210, 232, 240, 0));
    p.fillRect(QRectF(w * 0.5, 0, w * 0.5, hd), glow);

    const double x0 = std::round(w * 0.675);
    const double x1 = std::round(w * 0.945);
    const double cw = x1 - x0;
    const double pad = 14;
    const double y0 = std::round(hd * 0.055);
    const QRectF illus(x0 + pad, y0 + pad, cw - 2 * pad, std::round(hd * 0.38));
    const double headingTop = illus.bottom() + 22;
    const double linksTop = headingTop + 66;
    const double rowH = 44;
    const QRectF card(x0, y0, cw, linksTop + 5 * rowH + 10 - y0);

    // Card with a soft shadow.
    p.setPen(Qt::NoPen);
    for (int i = 8; i >= 1; --i) {
        p.setBrush(QColor(20, 48, 80, 5));
        p.drawRoundedRect(card.adjusted(-i * 0.6, -i * 0.3, i * 0.6, i * 1.0), 16 + i * 0.5,
                          16 + i * 0.5);
    }
    p.setBrush(QColor(251, 252, 253, 232));
    p.setPen(QPen(QColor(196, 212, 226), 1.2));
    p.drawRoundedRect(card, 16, 16);

    // Dusk landscape at the top of the card.
    QPainterPath clip;
    clip.addRoundedRect(illus, 11, 11);
    p.save();
    p.setClipPath(clip);
    scene::drawNightLandscape(p, illus, w == kWide.width ? 5 : 11);
    p.restore();
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(illus.adjusted(0.5, 0.5, -0.5, -0.5), 11, 11);

    // Heading with the emblem.
    scene::drawEmblem(p, QPointF(x0 + pad + 22, headingTop + 22), 22);
    p.setPen(palette::deepBlue);
    p.setFont(art::font(palette::sans, 25, true));
    p.drawText(QPointF(x0 + pad + 56, headingTop + 21), "Lumora Calendar");
    p.setPen(palette::slate);
    p.setFont(art::font(palette::sans, 15, false, true));
    p.drawText(QPointF(x0 + pad + 57, headingTop + 41), "Plan calmly, day by day.");

    // Link rows.
    links.clear();
    for (int i = 0; i < 5; ++i) {
        const double top = linksTop + i * rowH;
        const double mid = top + rowH / 2;
        p.fillRect(QRectF(x0 + pad, top, cw - 2 * pad, 1), QColor(216, 227, 236));
        drawLinkIcon(p, i, QPointF(x0 + pad + 15, mid), 13);
        p.setPen(QColor(28, 58, 94));
        p.setFont(art::font(palette::sans, 18));
        p.drawText(QPointF(x0 + pad + 40, mid + 6), kLinkLabels[i]);
        scene::drawChevronRight(p, QPointF(x1 - pad - 8, mid), 11, QColor(130, 156, 180), 2.0);
        links.append(QRectF(x0 + 6, top + 2, cw - 12, rowH - 4));
    }
    return img;
}

QImage yearPicture(int year)
{
    QImage img = art::solid(kYearW, kYearH, Qt::white);
    QPainter p(&img);
    art::setupPainter(p);
    p.save();
    p.translate(-kYearX, -kYearY);
    paintBase(p, kWide.width, kWide.height);
    p.restore();
    p.scale(1.0, kYearStretch);
    const double hd = kYearH / kYearStretch;

    QPainterPath text;
    const QFont f = art::font(palette::sans, 64, true);
    const QString s = QString::number(year);
    const double tw = QFontMetricsF(f).horizontalAdvance(s);
    text.addText(QPointF(-tw / 2, 23), f, s);
    p.translate(kYearW / 2.0 + 2, hd / 2);
    p.rotate(-90);
    p.setPen(Qt::NoPen);
    p.setBrush(art::hgrad(-tw / 2, tw / 2, {{0, QColor(40, 146, 154)},
                                            {1, QColor(70, 112, 160)}}));
    p.drawPath(text);
    // Thin lines running on from both ends of the year.
    const double len = hd / 2 - tw / 2 - 12;
    p.fillRect(QRectF(tw / 2 + 10, -1, len, 2),
               art::hgrad(tw / 2 + 10, tw / 2 + 10 + len,
                          {{0, QColor(70, 112, 160, 150)}, {1, QColor(70, 112, 160, 0)}}));
    p.fillRect(QRectF(-tw / 2 - 10 - len, -1, len, 2),
               art::hgrad(-tw / 2 - 10 - len, -tw / 2 - 10,
                          {{0, QColor(40, 146, 154, 0)}, {1, QColor(40, 146, 154, 150)}}));
    return img;
}

QImage titleBanner()
{
    const int w = 1920;
    const int h = kTitleHeight;
    QImage img = art::solid(w, h, kBandColor);
    QPainter p(&img);
    art::setupPainter(p);
    QRadialGradient lift(QPointF(w / 2.0, h * 0.9), w * 0.32);
    lift.setColorAt(0, QColor(44, 96, 140, 140));
    lift.setColorAt(1, QColor(44, 96, 140, 0));
    p.save();
    p.scale(1.0, 0.25);
    p.fillRect(QRectF(0, 0, w, h * 4), lift);
    p.restore();

    const QFont bold = art::font(palette::sans, 32, true);
    const QFont light = art::font(palette::sans, 32);
    const double a = QFontMetricsF(bold).horizontalAdvance("Lumora ");
    const double b = QFontMetricsF(light).horizontalAdvance("Calendar");
    const double r = 21;
    const double total = 2 * r + 16 + a + b;
    const double left = w / 2.0 - total / 2;
    scene::drawEmblem(p, QPointF(left + r, h / 2.0), r);
    p.setPen(QColor(236, 243, 249));
    p.setFont(bold);
    p.drawText(QPointF(left + 2 * r + 16, h / 2.0 + 11.5), "Lumora ");
    p.setPen(QColor(168, 214, 220));
    p.setFont(light);
    p.drawText(QPointF(left + 2 * r + 16 + a, h / 2.0 + 11.5), "Calendar");

    p.fillRect(QRectF(0, h - 2, w, 2),
               art::hgrad(0, w, {{0, QColor(28, 140, 148, 0)},
                                 {0.5, QColor(40, 160, 166, 220)},
                                 {1, QColor(28, 140, 148, 0)}}));
    return img;
}

QImage bottomPicture()
{
    const int w = 1920;
    const int h = 272;
    QImage img = art::solid(w, h, kBandColor);
    QPainter p(&img);
    art::setupPainter(p);
    const double skyTop = 34;
    p.fillRect(QRectF(0, skyTop, w, h - skyTop),
               art::vgrad(skyTop, h, {{0.0, kBandColor},
                                      {0.45, QColor(28, 78, 114)},
                                      {0.70, QColor(52, 128, 150)},
                                      {0.85, QColor(96, 170, 180)},
                                      {1.0, QColor(110, 180, 186)}}));
    art::Random rnd(4242);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 260; ++i) {
        const double x = rnd.next() * w;
        const double y = skyTop + 8 + rnd.next() * (h * 0.55 - skyTop);
        const double s = 0.5 + rnd.next() * 1.0;
        const double fade = std::clamp((y - skyTop) / 30.0, 0.0, 1.0);
        p.setBrush(QColor(230, 240, 248, int((60 + rnd.next() * 140) * fade)));
        p.drawEllipse(QPointF(x, y), s, s);
    }
    const QPointF m(w * 0.80, h * 0.36);
    QRadialGradient halo(m, 70);
    halo.setColorAt(0, art::withAlpha(palette::moon, 80));
    halo.setColorAt(1, art::withAlpha(palette::moon, 0));
    p.setBrush(halo);
    p.drawEllipse(m, 70, 70);
    p.setBrush(palette::moon);
    p.drawEllipse(m, 12, 12);

    struct Range { double base, amp; QColor top, bottom; int seed; };
    const Range ranges[] = {
        {0.66, 0.08, QColor(48, 118, 140), QColor(38, 100, 124), 2},
        {0.78, 0.07, QColor(28, 84, 110), QColor(22, 70, 96), 7},
        {0.90, 0.05, QColor(16, 50, 78), QColor(12, 36, 62), 13},
    };
    for (const Range& r : ranges) {
        p.setBrush(art::vgrad(h * (r.base - r.amp), h, {{0, r.top}, {1, r.bottom}}));
        p.drawPath(art::hillPath(w, h * r.base, h * r.amp, r.seed, h + 2));
    }
    return img;
}

}  // namespace

void make(const QString& brandingDir, int firstYear)
{
    const QString dir = brandingDir + "/Standard";
    QVector<QRectF> wideLinks, standardLinks;
    art::save(background(kWide, wideLinks), dir + "/background_wide.jpg", 94);
    art::save(background(kStandard, standardLinks), dir + "/background_standard.jpg", 94);
    art::save(titleBanner(), dir + "/title.png");
    art::save(art::opaqueMask(1920, kTitleHeight), dir + "/title_mask.png");
    art::save(bottomPicture(), dir + "/bottom.png");
    for (int i = 0; i < 3; ++i)
        art::save(yearPicture(firstYear + i),
                  dir + QString("/year_%1.png").arg(firstYear + i));

    using editions::flag;
    using editions::rgb;
    editions::Values v;
    v["installerFileName"] = "LumoraCalendarSetup";
    v["applicationName"] = "Lumora Calendar";
    v["otherCopyright"] = "Standard edition artwork by the Lumora Calendar team.";
    v["vendorURL"] = "https://www.example.com/lumora";
    v["homeButtonLink"] = "https://www.example.com/lumora";
    for (int i = 0; i < 5; ++i) {
        v[QString("floatingLink%1").arg(i + 1)] = kLinkUrls[i];
        v[QString("floatingLink%1CoordinatesWide").arg(i + 1)] =
            editions::linkCoordinates(kWide, wideLinks[i]);
        v[QString("floatingLink%1CoordinatesStandard").arg(i + 1)] =
            editions::linkCoordinates(kStandard, standardLinks[i]);
    }
    v["customAboutWindow"] = flag(false);
    v["calendarStartYear"] = "0";
    v["yearImageStartYear"] = QString::number(firstYear);
    v["topLogoImage"] = "title.png";
    v["topLogoImageMask"] = "title_mask.png";
    v["backgroundImageWide"] = "background_wide.jpg";
    v["backgroundImageStandard"] = "background_standard.jpg";
    v["bottomImage"] = "bottom.png";
    for (int i = 0; i < 3; ++i)
        v[QString("yearImage%1").arg(i)] = QString("year_%1.png").arg(firstYear + i);
    v["yearImage_x"] = QString::number(kYearX);
    v["yearImage_y"] = QString::number(kYearY);
    v["TitleAreaHeight"] = QString::number(kTitleHeight);
    v["CalendarAreaHeightPercentWide"] = QString::number(kWide.calendarPct);
    v["CalendarAreaHeightPercentStandard"] = QString::number(kStandard.calendarPct);
    v["leftMargin_pct"] = "0.08";
    v["topMargin_pct"] = "0.012";
    v["tabColor"] = rgb(QColor(32, 150, 156));
    v["calendarBackgroundColor"] = rgb(kBandColor);
    v["timeTextColor"] = rgb(QColor(214, 228, 240));
    v["menuColor"] = rgb(QColor(190, 208, 224));
    v["yearColor"] = rgb(QColor(112, 146, 182));
    v["yearDividerColor"] = rgb(QColor(190, 205, 220));
    v["monthNamesColor"] = rgb(palette::deepBlue);
    v["monthNamesFont"] = "Arial";
    v["dayHeaderColor"] = rgb(QColor(26, 128, 136));
    v["daysColor"] = rgb(QColor(40, 52, 66));
    v["LMlogoColor"] = rgb(QColor(176, 206, 222));
    v["glanceEventHeaderColor"] = rgb(QColor(118, 190, 204));
    v["glanceEventColor"] = rgb(QColor(178, 220, 228));
    v["includeHomeButton"] = flag(true);
    v["hideTime"] = flag(false);
    v["rightJustify"] = flag(false);
    v["hideYear"] = flag(false);
    v["hideTopBorder"] = flag(false);
    v["hideBottomBorder"] = flag(false);
    v["monthNamesBold"] = flag(true);
    v["monthNamesLeftJ"] = flag(false);
    v["monthNamesUppercase"] = flag(false);
    v["monthNamesAbbreviated"] = flag(false);
    v["hideMonthDividers"] = flag(false);
    v["includeClickhere"] = flag(false);
    v["includeLMLogo"] = flag(true);
    v["LMLogoRightJustify"] = flag(false);
    v["displayImage_centered"] = flag(true);
    v["displayImage_bottomJustify"] = flag(false);
    v["bottomImage_keepWidth"] = flag(true);
    v["bottomImage_allowStretch"] = flag(false);
    v["scrollImage"] = flag(false);
    v["includeLinkButtons"] = flag(false);
    editions::writeSpec(dir + "/calspc.dat", v);
}

}  // namespace standard_edition
