// The "Tranquil" edition: a smaller, light edition in pale greys and teal,
// with ripples at the right of the calendar, misty hills along the bottom,
// year pictures instead of year digits and the link-button row.
#include "ArtKit.h"
#include "Editions.h"
#include "Palette.h"
#include "SceneArt.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace tranquil_edition {

namespace {

using editions::Band;

constexpr int kTitleHeight = 54;

const Band kWide{1440, 900, 1.5625, kTitleHeight, 0.70};    // band about 2.5 : 1
const Band kStandard{1200, 900, 1.42, kTitleHeight, 0.72};  // band about 1.9 : 1

const QColor kBandColor(234, 239, 241);

constexpr int kYearX = 10;
constexpr int kYearY = 200;
constexpr int kYearW = 76;
constexpr int kYearH = 400;
constexpr double kYearStretch = 1.53;

const char* const kLinkUrl = "https://www.example.com/lumora";
const char* const kLinkLabel = "www.example.com/lumora";

void paintBase(QPainter& p, int width, int height)
{
    p.fillRect(QRectF(0, 0, width, height),
               art::vgrad(0, height, {{0.0, QColor(243, 246, 247)},
                                      {0.5, QColor(248, 250, 250)},
                                      {1.0, QColor(235, 241, 241)}}));
}

QImage background(const Band& band, QRectF& link)
{
    const int w = band.width;
    QImage img = art::solid(w, band.height, Qt::white);
    QPainter p(&img);
    art::setupPainter(p);
    paintBase(p, w, band.height);
    p.scale(1.0, band.stretch);
    const double hd = band.designHeight();

    // Pale sun.
    const QPointF sun(w * 0.78, hd * 0.22);
    const double sr = w * 0.045;
    QRadialGradient halo(sun, sr * 3.2);
    halo.setColorAt(0, QColor(214, 236, 234, 150));
    halo.setColorAt(1, QColor(214, 236, 234, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(sun, sr * 3.2, sr * 3.2);
    p.setBrush(art::vgrad(sun.y() - sr, sun.y() + sr, {{0, QColor(226, 242, 240)},
                                                       {1, QColor(200, 228, 226)}}));
    p.drawEllipse(sun, sr, sr);
    // Thin bands across the lower half, as of a sun setting over water.
    QPainterPath disc;
    disc.addEllipse(sun, sr + 0.5, sr + 0.5);
    p.save();
    p.setClipPath(disc);
    for (int i = 0; i < 4; ++i) {
        const double y = sun.y() + sr * (0.18 + i * 0.22);
        const double t = sr * (0.05 + i * 0.035);
        p.fillRect(QRectF(sun.x() - sr - 2, y, 2 * sr + 4, t), QColor(244, 248, 248));
    }
    p.restore();

    // Ripples spreading from the lower right corner.
    const QPointF origin(w * 1.02, hd * 0.99);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 9; ++i) {
        const double r = w * (0.06 + i * 0.032);
        const int alpha = 78 - i * 6;
        p.setPen(QPen(QColor(40, 140, 146, alpha), 1.5));
        p.drawEllipse(origin, r, r);
    }

    // The edition's web address, a floating link.
    const QFont f = art::font(palette::sans, 15);
    const double tw = QFontMetricsF(f).horizontalAdvance(kLinkLabel);
    const double right = w * 0.965;
    const double base = hd * 0.935;
    scene::drawEmblem(p, QPointF(right - tw - 16, base - 5), 9);
    p.setPen(QColor(44, 100, 112));
    p.setFont(f);
    p.drawText(QPointF(right - tw, base), kLinkLabel);
    link = QRectF(right - tw - 30, base - 20, tw + 34, 28);
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

    QFont f = art::font(palette::sans2, 52);
    f.setWeight(QFont::Light);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    const QString s = QString::number(year);
    const double tw = QFontMetricsF(f).horizontalAdvance(s);
    QPainterPath text;
    text.addText(QPointF(-tw / 2, 19), f, s);
    p.translate(kYearW / 2.0 + 2, hd / 2);
    p.rotate(-90);
    p.setPen(Qt::NoPen);
    p.setBrush(art::hgrad(-tw / 2, tw / 2, {{0, QColor(36, 118, 128)},
                                            {1, QColor(104, 150, 162)}}));
    p.drawPath(text);
    p.setBrush(QColor(40, 140, 146, 150));
    p.drawEllipse(QPointF(tw / 2 + 14, 0), 2.6, 2.6);
    p.drawEllipse(QPointF(-tw / 2 - 12, 0), 2.6, 2.6);
    return img;
}

QImage titleBanner()
{
    const int w = 1440;
    const int h = kTitleHeight;
    QImage img = art::solid(w, h, kBandColor);
    QPainter p(&img);
    art::setupPainter(p);
    const QFont f = art::font(palette::sans2, 14, true, false, 4.5);
    const QString s = "LUMORA CALENDAR";
    const double tw = QFontMetricsF(f).horizontalAdvance(s);
    const double r = 11;
    const double left = w / 2.0 - (2 * r + 12 + tw) / 2;
    scene::drawEmblem(p, QPointF(left + r, h / 2.0), r);
    p.setPen(QColor(44, 100, 112));
    p.setFont(f);
    p.drawText(QPointF(left + 2 * r + 12, h / 2.0 + 5), s);
    p.fillRect(QRectF(0, h - 1, w, 1),
               art::hgrad(0, w, {{0, QColor(160, 196, 200, 0)},
                                 {0.5, QColor(120, 176, 182, 200)},
                                 {1, QColor(160, 196, 200, 0)}}));
    return img;
}

QImage bottomPicture()
{
    const int w = 1600;
    const int h = 200;
    QImage img = art::solid(w, h, kBandColor);
    QPainter p(&img);
    art::setupPainter(p);
    p.fillRect(QRectF(0, 24, w, h - 24),
               art::vgrad(24, h, {{0, kBandColor}, {1, QColor(242, 246, 246)}}));
    p.setPen(Qt::NoPen);
    struct Range { double base, amp; QColor top, bottom; int seed; };
    const Range ranges[] = {
        {0.40, 0.12, QColor(220, 230, 231), QColor(228, 236, 237), 3},
        {0.56, 0.10, QColor(198, 216, 218), QColor(210, 224, 225), 8},
        {0.72, 0.08, QColor(168, 193, 197), QColor(182, 203, 206), 12},
        {0.87, 0.05, QColor(138, 168, 174), QColor(148, 176, 182), 17},
    };
    for (const Range& r : ranges) {
        p.setBrush(art::vgrad(h * (r.base - r.amp), h, {{0, r.top}, {1, r.bottom}}));
        p.drawPath(art::hillPath(w, h * r.base, h * r.amp, r.seed, h + 2));
        // Mist settling in front of each range.
        p.fillRect(QRectF(0, h * (r.base + r.amp * 0.2), w, h * 0.12),
                   art::vgrad(h * (r.base + r.amp * 0.2), h * (r.base + r.amp * 0.2 + 0.12),
                              {{0, QColor(240, 245, 245, 0)},
                               {0.5, QColor(240, 245, 245, 70)},
                               {1, QColor(240, 245, 245, 0)}}));
    }
    return img;
}

}  // namespace

void make(const QString& brandingDir, int firstYear)
{
    const QString dir = brandingDir + "/Tranquil";
    QRectF wideLink, standardLink;
    art::save(background(kWide, wideLink), dir + "/background_wide.jpg", 94);
    art::save(background(kStandard, standardLink), dir + "/background_standard.jpg", 94);
    art::save(titleBanner(), dir + "/title.png");
    art::save(art::opaqueMask(1440, kTitleHeight), dir + "/title_mask.png");
    art::save(bottomPicture(), dir + "/bottom.png");
    for (int i = 0; i < 3; ++i)
        art::save(yearPicture(firstYear + i),
                  dir + QString("/year_%1.png").arg(firstYear + i));

    using editions::flag;
    using editions::rgb;
    editions::Values v;
    v["installerFileName"] = "LumoraCalendarTranquilSetup";
    v["applicationName"] = "Lumora Calendar Tranquil";
    v["otherCopyright"] = "";
    v["vendorURL"] = "https://www.example.com/lumora/tranquil";
    v["homeButtonLink"] = "https://www.example.com/lumora/tranquil";
    v["floatingLink1"] = kLinkUrl;
    v["floatingLink1CoordinatesWide"] = editions::linkCoordinates(kWide, wideLink);
    v["floatingLink1CoordinatesStandard"] = editions::linkCoordinates(kStandard, standardLink);
    for (int i = 2; i <= 5; ++i) {
        v[QString("floatingLink%1").arg(i)] = "";
        v[QString("floatingLink%1CoordinatesWide").arg(i)] = "0,0,0,0";
        v[QString("floatingLink%1CoordinatesStandard").arg(i)] = "0,0,0,0";
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
    v["topMargin_pct"] = "0.015";
    v["tabColor"] = rgb(QColor(64, 128, 136));
    v["calendarBackgroundColor"] = rgb(kBandColor);
    v["timeTextColor"] = rgb(QColor(64, 84, 96));
    v["menuColor"] = rgb(QColor(120, 136, 146));
    v["yearColor"] = rgb(QColor(150, 172, 182));
    v["yearDividerColor"] = rgb(QColor(206, 216, 220));
    v["monthNamesColor"] = rgb(QColor(36, 100, 112));
    v["monthNamesFont"] = "Tahoma";
    v["dayHeaderColor"] = rgb(QColor(128, 146, 156));
    v["daysColor"] = rgb(QColor(52, 62, 70));
    v["LMlogoColor"] = rgb(QColor(44, 66, 74));
    v["glanceEventHeaderColor"] = rgb(QColor(148, 204, 196));
    v["glanceEventColor"] = rgb(QColor(198, 230, 224));
    v["includeHomeButton"] = flag(false);
    v["hideTime"] = flag(false);
    v["rightJustify"] = flag(false);
    v["hideYear"] = flag(true);
    v["hideTopBorder"] = flag(false);
    v["hideBottomBorder"] = flag(true);
    v["monthNamesBold"] = flag(true);
    v["monthNamesLeftJ"] = flag(true);
    v["monthNamesUppercase"] = flag(true);
    v["monthNamesAbbreviated"] = flag(true);
    v["hideMonthDividers"] = flag(false);
    v["includeClickhere"] = flag(false);
    v["includeLMLogo"] = flag(true);
    v["LMLogoRightJustify"] = flag(true);
    v["displayImage_centered"] = flag(true);
    v["displayImage_bottomJustify"] = flag(false);
    v["bottomImage_keepWidth"] = flag(true);
    v["bottomImage_allowStretch"] = flag(false);
    v["scrollImage"] = flag(false);
    v["includeLinkButtons"] = flag(true);
    editions::writeSpec(dir + "/calspc.dat", v);
}

}  // namespace tranquil_edition
