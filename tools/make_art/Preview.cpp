#include "Preview.h"

#include "ArtKit.h"

#include <QDate>
#include <QFile>
#include <QFontMetricsF>
#include <QMap>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace preview {

namespace {

QMap<QString, QString> readSpec(const QString& path)
{
    QMap<QString, QString> m;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return m;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            m[line.left(eq)] = line.mid(eq + 1);
    }
    return m;
}

QColor colour(const QString& v)
{
    const QStringList f = v.split(',');
    return f.size() == 3 ? QColor(f[0].toInt(), f[1].toInt(), f[2].toInt()) : QColor(Qt::black);
}

bool on(const QString& v) { return v.compare("True", Qt::CaseInsensitive) == 0; }

QString family(const QString& name)
{
    if (name == "Arial") return "Liberation Sans";
    if (name == "Tahoma") return "DejaVu Sans";
    if (name == "Impact") return "DejaVu Sans Condensed";
    return name;
}

QFont pf(const QString& name, int size, bool bold = false, bool italic = false)
{
    return art::font(family(name), size, bold, italic);
}

// A picture drawn through its mask (black opaque, white clear).
QImage masked(const QImage& pic, const QImage& mask)
{
    QImage out = pic.convertToFormat(QImage::Format_ARGB32);
    const QImage m = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            const int a = x < m.width() && y < m.height() ? 255 - qGray(m.pixel(x, y)) : 255;
            out.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), a));
        }
    return out;
}

QImage whiteClear(const QImage& pic)
{
    QImage out = pic.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((out.pixel(x, y) & 0xffffff) == 0xffffff)
                out.setPixel(x, y, 0);
    return out;
}

QImage countdownTile(const QString& ifc, int days, const QString& title)
{
    const QImage pic = whiteClear(QImage(ifc + "/185.png"));
    QImage comp(pic.size(), QImage::Format_ARGB32_Premultiplied);
    comp.fill(Qt::white);
    QPainter p(&comp);
    art::setupPainter(p);
    p.drawImage(0, 0, pic);
    const int w = pic.width();
    auto put = [&](const QString& s, int y) {
        const double tw = QFontMetricsF(p.font()).horizontalAdvance(s);
        p.drawText(QPointF(int(w / 2.0 - tw / 2 - 5), y), s);
    };
    p.setPen(QColor(50, 50, 50));
    p.setFont(pf("Impact", 18, true));
    put(QString::number(days), 44);
    p.setPen(QColor(120, 120, 120));
    p.setFont(pf("Arial", 12));
    put("days until", 60);
    p.setPen(QColor(40, 40, 40));
    p.setFont(pf("Arial", 12, true));
    if (QFontMetricsF(p.font()).horizontalAdvance(title) < 80) {
        put(title, 80);
    } else {
        put(title.section(' ', 0, 0), 76);
        put(title.section(' ', 1), 88);
    }
    p.end();
    return masked(comp, QImage(ifc + "/186.png"));
}

QImage homeButton(const QString& ifc, int resource, const QColor& label)
{
    QImage pic = QImage(ifc + QString("/%1.png").arg(resource)).convertToFormat(QImage::Format_RGB32);
    QImage mask = QImage(ifc + "/169.png").convertToFormat(QImage::Format_RGB32);
    for (QImage* img : {&mask, &pic}) {
        QPainter p(img);
        art::setupPainter(p);
        p.setFont(pf("Tahoma", 13, true));
        p.setPen(img == &mask ? QColor(Qt::black) : label);
        const double w = QFontMetricsF(p.font()).horizontalAdvance("Home");
        p.drawText(QPointF(int(pic.width() / 2.0 - int(w) / 2.0), 15), "Home");
    }
    return masked(pic, mask);
}

// The calendar window on a screen of sw x sh with a top panel of 28 pixels.
void window(const QString& res, const QString& edition, int sw, int sh, const QString& out)
{
    const QString dir = res + "/branding/" + edition;
    const QString ifc = res + "/interface";
    const auto s = readSpec(dir + "/calspc.dat");
    const int aw = sw, ah = sh - 28;
    const bool wide = double(sw) / sh > 1.5;
    const QImage bg(dir + "/" + s[wide ? "backgroundImageWide" : "backgroundImageStandard"]);
    const QImage bottom(dir + "/" + s["bottomImage"]);
    const double titlePct = s["TitleAreaHeight"].toDouble() / bg.height();
    const double calPct = s[wide ? "CalendarAreaHeightPercentWide"
                                 : "CalendarAreaHeightPercentStandard"].toDouble();
    const int titleH = int(ah * titlePct);
    const int calH = int(ah * calPct);

    QImage img(aw, ah, QImage::Format_ARGB32_Premultiplied);
    img.fill(colour(s["calendarBackgroundColor"]));
    QPainter p(&img);
    art::setupPainter(p);

    // Background stretched over the calendar band; bottom picture; borders.
    const QImage bgScaled = bg.scaled(aw, int(ah * calPct), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation);
    p.drawImage(0, titleH, bgScaled);
    const QImage botScaled = bottom.scaled(aw, int(aw * double(bottom.height()) / bottom.width()),
                                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(0, ah - botScaled.height(), botScaled);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!on(s["hideTopBorder"])) {
        p.fillRect(0, titleH, aw, 1, QColor(127, 157, 185));
        p.fillRect(0, titleH + 1, aw, 1, Qt::white);
    }
    if (!on(s["hideBottomBorder"])) {
        p.fillRect(0, titleH + calH - 2, aw, 1, QColor(127, 157, 185));
        p.fillRect(0, titleH + calH - 1, aw, 1, Qt::white);
    }
    p.setRenderHint(QPainter::Antialiasing, true);

    // Year view.
    const int W = aw, H = calH;
    const double lm = s["leftMargin_pct"].toDouble();
    const int mw = int(W * (lm == 0 ? 0.088 : lm));
    const int mh = int(H * s["topMargin_pct"].toDouble());
    const int cw = int((W - 6 * mw) / 31.0);
    const int rh = int((H - mh) / 27.0);
    const int ts = int(ah * 0.0138);
    const QDate today = QDate::currentDate();
    const int year = today.year();
    p.save();
    p.translate(0, titleH);
    if (!on(s["hideYear"])) {
        p.setPen(colour(s["yearColor"]));
        p.setFont(pf("Tahoma", 64));
        const QFontMetricsF fm(p.font());
        const int dw = int(fm.horizontalAdvance("0"));
        const int dh = int(fm.height());
        const int dx = int((mw + cw) / 2.0 - dw / 2.0);
        const int dy = int(H / 2.0 - 4 * dh / 2.0);
        const QString y = QString::number(year);
        for (int i = 1; i <= 4; ++i)
            p.drawText(QPointF(dx, dy + i * dh), y.mid(i - 1, 1));
    } else {
        const int idx = year - s["yearImageStartYear"].toInt();
        const QImage yp(dir + "/" + s[QString("yearImage%1").arg(idx)]);
        if (!yp.isNull()) {
            const double sx = double(bgScaled.width()) / bg.width();
            const double sy = double(bgScaled.height()) / bg.height();
            p.drawImage(int(s["yearImage_x"].toInt() * sx), int(s["yearImage_y"].toInt() * sy),
                        yp.scaled(int(yp.width() * sx), int(yp.height() * sy),
                                  Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
    }
    const QString monthFont = s["monthNamesFont"].isEmpty() ? "Arial" : s["monthNamesFont"];
    for (int m = 1; m <= 12; ++m) {
        const int R = ((m - 1) / 4) * 9, C = ((m - 1) % 4) * 8;
        QString name = QLocale(QLocale::English).monthName(m);
        if (on(s["monthNamesUppercase"])) name = name.toUpper();
        if (on(s["monthNamesAbbreviated"])) name = name.left(3);
        p.setPen(colour(s["monthNamesColor"]));
        p.setFont(pf(monthFont, ts + (sh > 960 ? 3 : 2), on(s["monthNamesBold"])));
        const int x = mw + (C + 1) * cw, y = mh + (R + 1) * rh;
        if (on(s["monthNamesLeftJ"])) {
            p.drawText(QPointF(x, y), name);
        } else {
            const QFontMetricsF fm(p.font());
            p.drawText(QPointF(int((x + 2) + 7.0 * cw / 2 - int(fm.horizontalAdvance(name)) / 2.0
                                   - fm.horizontalAdvance("W") / 2),
                               y),
                       name);
        }
        p.setPen(colour(s["dayHeaderColor"]));
        p.setFont(pf(monthFont, ts, true));
        const char* letters = "SMTWTFS";
        for (int n = 1; n <= 7; ++n)
            p.drawText(QPointF(mw + (C + n) * cw + 2, mh + (R + 2) * rh), QString(letters[n - 1]));
        const QDate first(year, m, 1);
        const int lead = first.dayOfWeek() % 7;  // Sunday 0
        for (int d = 1; d <= first.daysInMonth(); ++d) {
            const int pos = lead + d - 1;
            const int x2 = mw + (C + 1 + pos % 7) * cw;
            const int y2 = mh + (R + 3 + pos / 7) * rh;
            p.setFont(pf("Arial", ts));
            p.setPen(colour(s["daysColor"]));
            const QString t = d < 10 ? " " + QString::number(d) : QString::number(d);
            p.drawText(QPointF(x2, y2), t);
            if (QDate(year, m, d) == today) {
                p.setPen(QColor(255, 0, 0));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QRectF(x2 - 1, y2 - QFontMetricsF(p.font()).height(), rh, rh));
            }
        }
    }
    p.restore();

    // Floating link areas, outlined.
    const double fx = double(aw) / bg.width(), fy = double(ah) / bg.height();
    for (int i = 1; i <= 5; ++i) {
        const QStringList c = s[QString("floatingLink%1Coordinates%2").arg(i).arg(
                                    wide ? "Wide" : "Standard")].split(',');
        if (c.size() != 4) continue;
        p.setPen(QPen(QColor(255, 0, 128, 160), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(int(c[0].toInt() * fx), int(c[1].toInt() * fy), int(c[2].toInt() * fx),
                          int(c[3].toInt() * fy)));
    }

    // Title band: home button and clock.
    if (on(s["includeHomeButton"])) {
        const QImage hb = homeButton(ifc, 168, Qt::black);
        p.drawImage(30, int(ah * titlePct / 2 - hb.height() / 2.0), hb);
    }
    if (!on(s["hideTime"])) {
        p.setPen(colour(s["timeTextColor"]));
        p.setFont(pf("Arial", 12));
        const QRectF r(895 + aw - 1024, int(ah * titlePct - 20 - 2), 96, 20);
        p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter, "4:22 AM");
    }
    // Link row.
    if (on(s["includeLinkButtons"])) {
        const int top = titleH + calH;
        const int bch = ah - (top + 21);
        const int h = int(bch * 0.11023622);
        const QImage strip(ifc + "/172.png");
        p.drawImage(QRectF(-3, top, aw + 6, h), strip, QRectF(0, 0, 5, h));
    }
    // Countdown tile and the maker's line.
    p.drawImage(5, int(ah * titlePct + ah * calPct - 130 - 5),
                countdownTile(ifc, 18, "Christmas"));
    if (on(s["includeLMLogo"])) {
        p.setPen(colour(s["LMlogoColor"]));
        p.setFont(pf("Arial", 10, false, true));
        const int left = on(s["LMLogoRightJustify"]) ? aw - 251 - 25 : 30;
        const double tw = QFontMetricsF(p.font()).horizontalAdvance("Calendar by Desktop Lumora");
        p.drawText(QPointF(left + int(251 / 2.0 - tw / 2), ah - 31 + 24), "Calendar by Desktop Lumora");
    }
    p.end();
    art::save(img, out);
}

// The interface pictures in their places.
void sheet(const QString& res, const QString& out)
{
    const QString ifc = res + "/interface";
    const auto s = readSpec(res + "/branding/Standard/calspc.dat");
    QImage img(1100, 720, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(200, 204, 208));
    QPainter p(&img);
    art::setupPainter(p);

    // Glance header, 1024 wide: columns 60, 7 x day, 25, 25, 68, 25, 25.
    const int R = 60;
    const QImage h1(ifc + "/189.png"), h2(ifc + "/190.png");
    const double day = (1024 - 60 - 168) / 7.0;
    QVector<double> widths{60};
    for (int i = 0; i < 7; ++i) widths << day;
    widths << 25 << 25 << 68 << 25 << 25;
    double x = 0;
    const char* names[] = {"Sunday,", "Monday,", "Tuesday,", "Wednesday,", "Thursday,",
                           "Friday,", "Saturday,"};
    for (int c = 0; c < widths.size(); ++c) {
        const double w = widths[c];
        p.save();
        p.translate(int(x), 10);
        p.setClipRect(QRectF(0, 0, int(w), R));
        p.drawImage(QRectF(0, 0, int(w), h1.height()), h1);
        if (c == 0) p.drawImage(20, 8, whiteClear(QImage(ifc + "/194.png")));
        p.setPen(QColor(240, 240, 240));
        p.setFont(pf("Arial", 16, true));
        if (c == 4) {
            const double tw = QFontMetricsF(p.font()).horizontalAdvance("December");
            p.drawText(QPointF(int(w) - int(tw) - 10, 23), "December");
        }
        if (c == 5) p.drawText(QPointF(10, 23), "2026");
        p.drawImage(QRectF(0, R - h2.height() - 4, int(w), h2.height()), h2);
        if (c >= 1 && c <= 7) {
            p.setPen(QColor(254, 254, 254));
            p.setFont(pf("Arial", 12));
            const QString t = QString("%1 %2").arg(names[c - 1]).arg(5 + c);
            const double tw = QFontMetricsF(p.font()).horizontalAdvance(t);
            p.drawText(QPointF(int(w / 2 - int(tw) / 2), R - 10), t);
        }
        if (c >= 8) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(160, 160, 160));
            const double cx = c == 8 ? 19 : c == 9 ? 5 : c == 10 ? w / 2 : c == 11 ? 17 : 5;
            QPolygonF tri;
            const double cy = R - 13;
            if (c == 8) tri << QPointF(cx - 5, cy) << QPointF(cx + 3, cy - 5) << QPointF(cx + 3, cy + 5);
            if (c == 9) tri << QPointF(cx + 5, cy) << QPointF(cx - 3, cy - 5) << QPointF(cx - 3, cy + 5);
            if (c == 11) tri << QPointF(cx, cy - 5) << QPointF(cx - 5, cy + 3) << QPointF(cx + 5, cy + 3);
            if (c == 12) tri << QPointF(cx, cy + 5) << QPointF(cx - 5, cy - 3) << QPointF(cx + 5, cy - 3);
            if (c == 10) tri << QPointF(cx, cy - 4) << QPointF(cx + 4, cy) << QPointF(cx, cy + 4) << QPointF(cx - 4, cy);
            p.drawPolygon(tri);
        }
        p.restore();
        x += w;
    }
    // The arrow under the mouse, at the right end.
    p.drawImage(QRectF(1040, 10, 20, R), h1, QRectF(0, 0, h1.width(), R));
    p.drawImage(1040, 18, whiteClear(QImage(ifc + "/195.png")));

    // Week grid rows with the time column.
    const QImage tb(ifc + "/193.png");
    const int rowH = 20;
    for (int r = 0; r < 8; ++r) {
        const int y = 70 + r * rowH;
        for (int c = 0; c < 8; ++c) {
            const int cx = c == 0 ? 0 : int(60 + (c - 1) * day);
            const int w = c == 0 ? 60 : int(day);
            const QColor band = (r / 2) % 2 ? QColor(210, 210, 210) : QColor(220, 220, 220);
            p.fillRect(cx, y, w, rowH, band);
            if (c == 0) {
                if (r % 2 == 0) {
                    p.drawImage(QRectF(0, y, 60, rowH), tb, QRectF(0, 0, tb.width(), tb.height() / 2));
                    p.setPen(Qt::black);
                    p.setFont(pf("Arial", 12));
                    const QString t = QString("%1:00 AM").arg(8 + r / 2);
                    p.drawText(QPointF(60 - QFontMetricsF(p.font()).horizontalAdvance(t) - 4, y + rowH - 1), t);
                } else {
                    p.drawImage(QRectF(0, y, 60, rowH), tb, QRectF(0, tb.height() / 2, tb.width(), rowH));
                    p.fillRect(0, y + rowH - 1, 60, 1, QColor(140, 140, 140));
                }
                p.fillRect(59, y, 1, rowH, QColor(200, 200, 200));
            } else {
                p.fillRect(cx, y + rowH - 1, w, 1, r % 2 ? QColor(170, 170, 170) : QColor(200, 200, 200));
                p.fillRect(cx + w - 1, y, 1, rowH, QColor(180, 180, 180));
            }
        }
        if (r == 2 || r == 3) {
            const int cx = int(60 + 2 * day);
            const QColor hcol = colour(r == 2 ? s["glanceEventHeaderColor"] : s["glanceEventColor"]);
            p.setPen(QColor(100, 100, 100));
            p.setBrush(hcol);
            p.drawRoundedRect(QRectF(cx, y, int(day) - 1, rowH), 7, 7);
            p.fillRect(QRectF(cx + 1, r == 2 ? y + 8 : y, int(day) - 3, rowH - 8), hcol);
            if (r == 2) {
                p.setPen(QColor(30, 30, 30));
                p.setFont(pf("Arial", 10));
                art::drawCentred(p, "Team meeting", cx + day / 2, y + 12);
            }
        }
    }
    // To-do header and rows, 168 wide.
    const int tx = 900, ty = 90;
    p.drawImage(QRectF(tx, ty, 168, 21), h2);
    p.setPen(QColor(254, 254, 254));
    p.setFont(pf("Tahoma", 11, true));
    p.drawText(QPointF(tx + 16, ty + 14), "To Do List");
    p.setFont(pf("Tahoma", 20, true));
    p.drawText(QPointF(tx + 150, ty + 18), "+");
    const QImage dx = whiteClear(QImage(ifc + "/197.png"));
    const char* items[] = {"Buy stamps", "Call the dentist", "Water plants"};
    for (int i = 0; i < 3; ++i) {
        const int y = ty + 21 + i * 19;
        p.fillRect(tx, y, 168, 19, i == 1 ? QColor(180, 180, 180) : QColor(220, 220, 220));
        p.drawImage(tx + 148 + 4, y + 4, dx);
        p.setPen(Qt::black);
        p.setFont(pf("Arial", 10, true));
        p.drawText(QPointF(tx + 22, y + 14), items[i]);
    }

    // About window, 495 x 221.
    const int ax = 20, ay = 250;
    p.fillRect(ax, ay, 495, 221, Qt::white);
    p.setPen(QColor(45, 45, 45));
    p.setFont(pf("DejaVu Sans", 24, true, true));
    p.drawText(QRectF(ax + 7, ay + 38, 481, 51), Qt::AlignHCenter | Qt::AlignVCenter,
               "Lumora Calendar by");
    p.drawImage(ax + 105, ay + 84, QImage(ifc + "/181.png"));
    p.fillRect(ax + 274, ay + 131, 96, 24, Qt::white);
    p.setPen(QColor(0, 0, 255));
    QFont lf = pf("Arial", 10);
    lf.setUnderline(true);
    p.setFont(lf);
    p.drawText(QRectF(ax + 139, ay + 157, 217, 20), Qt::AlignHCenter | Qt::AlignTop,
               "www.example.com/lumora");
    p.setPen(QColor(51, 51, 51));
    p.setFont(pf("Arial", 9, false, true));
    p.drawText(QRectF(ax + 16, ay + 195, 462, 27), Qt::AlignHCenter | Qt::AlignTop,
               "Copyright 2026 Desktop Lumora");

    // Countdown tile on the calendar's light background and on grey.
    const QImage tile = countdownTile(ifc, 18, "Christmas");
    p.fillRect(540, 250, 140, 150, QColor(240, 245, 249));
    p.drawImage(551, 258, tile);
    p.drawImage(690, 258, countdownTile(ifc, 132, "Summer holiday trip"));

    // Tray icon with a day number, at size and enlarged.
    QImage tray(32, 32, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter t(&tray);
        art::setupPainter(t);
        t.drawImage(QRectF(0, 0, 32, 32), QImage(ifc + "/188.png"));
        t.setPen(QColor(30, 30, 30));
        t.setFont(pf("Arial", 16, true));
        const QString d = "27";
        const int w = int(QFontMetricsF(t.font()).horizontalAdvance(d));
        t.drawText(QPointF(int(16 - w / 2.0), 24), d);
    }
    p.drawImage(830, 258, tray);
    p.drawImage(QRectF(870, 258, 128, 128), tray);

    // Home button states on the title band colour.
    p.fillRect(540, 420, 300, 60, colour(s["calendarBackgroundColor"]));
    p.drawImage(550, 439, homeButton(ifc, 168, Qt::black));
    p.drawImage(640, 439, homeButton(ifc, 170, QColor(255, 255, 254)));
    p.drawImage(730, 439, homeButton(ifc, 171, QColor(255, 255, 254)));

    // Menu strip and toggles, link row states, enlarged arrows and mark.
    const QImage mb(ifc + "/173.png");
    p.drawImage(QRectF(540, 500, 300, 15), mb, QRectF(0, 0, 5, 15));
    p.setPen(Qt::white);
    p.setFont(pf("Tahoma", 10, true));
    p.drawText(QPointF(543, 511), "    File   Help           Home");
    const QImage t2 = masked(QImage(ifc + "/178.png"), QImage(ifc + "/180.png"));
    const QImage t3 = masked(QImage(ifc + "/179.png"), QImage(ifc + "/180.png"));
    p.drawImage(QRectF(860, 500, 60, 28), t2);
    p.drawImage(QRectF(930, 500, 60, 28), t3);
    p.drawImage(1000, 500, whiteClear(QImage(ifc + "/175.png")));
    const QImage lb(ifc + "/172.png");
    for (int i = 0; i < 3; ++i)
        p.drawImage(QRectF(540 + i * 110, 540, 100, 28), lb, QRectF(i * 5, 0, 5, 28));
    p.drawImage(QRectF(880, 540, 80, 80), QImage(ifc + "/194.png"));
    p.drawImage(QRectF(970, 540, 80, 80), QImage(ifc + "/195.png"));
    p.drawImage(QRectF(880, 630, 44, 44), QImage(ifc + "/197.png"));
    p.drawImage(QRectF(540, 590, 236, 260), QImage(ifc + "/185.png"));
    p.end();
    art::save(img, out);
}

}  // namespace

void makeAll(const QString& res, const QString& outDir)
{
    sheet(res, outDir + "/interface_sheet.png");
    for (const QString edition : {"Standard", "Tranquil"}) {
        window(res, edition, 1920, 1080, outDir + "/" + edition + "_1920x1080.png");
        window(res, edition, 1280, 1024, outDir + "/" + edition + "_1280x1024.png");
        window(res, edition, 1366, 768, outDir + "/" + edition + "_1366x768.png");
        window(res, edition, 1024, 768, outDir + "/" + edition + "_1024x768.png");
    }
}

}  // namespace preview
