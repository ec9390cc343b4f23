// Painting of the year view: the year (digits or picture), month names, weekday letters,
// day numbers, event underlines, special-event marks and today's red circle. The canvas
// draws no background: the window's pictures show between the texts.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/calCanvas.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <vector>

namespace {
// A font of the year view: name, pixel size, bold.
struct YearFont {
    QString name;
    int size;
    bool bold;
};

YearFont digitsFont() { return {QStringLiteral("Tahoma"), 64, false}; }
YearFont dayFont(const calCanvas& canvas) { return {QStringLiteral("Arial"), canvas.TextSize, false}; }
YearFont weekdayFont(const calCanvas& canvas) { return {canvas.TextFont, canvas.TextSize, true}; }
YearFont monthFont(const calCanvas& canvas, int screenHeight)
{
    return {canvas.TextFont, canvas.TextSize + (screenHeight > 960 ? 3 : 2), CustomizationModule::monthNamesBold};
}

void useFont(Graphics& g, const YearFont& font)
{
    g.SetTextStyle(font.name, font.size, font.bold);
}

// The grey checkered mark behind the number of a day with a special event: a 15 x 15
// checkerboard of 3-pixel squares and a frame one pixel outside it.
void drawSpecialMark(Graphics& g, int px, int py)
{
    g.SetForeColor(QColor(200, 200, 200));
    for (int k = 0; k <= 4; ++k) {
        const int first = (k % 2 == 0) ? 0 : 3;
        for (int x = first; x <= 12; x += 6)
            g.FillRect(px + x, py + 3 * k, 3, 3);
    }
    g.DrawRect(px - 1, py - 1, 17, 17);
}

void drawYearDigits(Graphics& g, const calCanvas& canvas, int year, int cw)
{
    g.SetForeColor(CustomizationModule::yearColor);
    useFont(g, digitsFont());
    const int dw = ToInt(g.StringWidth(QStringLiteral("0")));
    const int dh = g.StringHeight(QStringLiteral("0"), 99);
    const int dx = ToInt((canvas.MarginWidth + cw) / 2.0 - dw / 2.0);
    const int dy = ToInt(canvas.height() / 2.0 - (4.0 * dh) / 2.0);
    const QString digits = Str(year);
    for (int i = 1; i <= 4; ++i)
        g.DrawString(Mid(digits, i, 1), dx, dy + i * dh);
}
} // namespace

void CalendarWindow::PrepareFonts()
{
    Calendar_SetTextFont();
    const calCanvas& canvas = *Calendar;
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    std::vector<YearFont> fonts = {dayFont(canvas), weekdayFont(canvas), monthFont(canvas, screenHeight)};
    if (!CustomizationModule::hideYear)
        fonts.push_back(digitsFont());
    const PicturePtr scratch = Picture::New(1, 1);
    Graphics& g = scratch->Graphics();
    auto load = [&g] { QFontMetrics(g.CurrentFont()).height(); };   // loads the font's engine
    for (const YearFont& font : fonts) {
        useFont(g, font);
        load();
    }
    UseLogoFont(g);
    load();
    UseHomeLabelFont(g);
    load();
}

void CalendarWindow::Calendar_Paint(Graphics& g)
{
    const calCanvas& canvas = *Calendar;
    const int cw = canvas.ColumnsWidth;
    const int rh = canvas.DefaultRowHeight;
    const int year = App().selectedDate.Year();
    const int band = year - CustomizationModule::calendarStartYear;
    const QString today = App().currentDate.ShortDate();
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();

    g.SetBold(false);
    if (!CustomizationModule::hideYear) {
        drawYearDigits(g, canvas, year, cw);
    } else {
        const int i = year - CustomizationModule::yearImageStartYear;
        if (i >= 0 && i < yearImageScaled.size() && yearImageScaled[i])
            g.DrawPicture(yearImageScaled[i], yearImageScaled_x, yearImageScaled_y);
    }
    // A year outside the three calendar years has no band of cells.
    if (band < 0 || band > 2)
        return;

    for (int r = 1; r <= 27; ++r) {
        for (int c = 1; c <= 31; ++c) {
            const QString s = canvas.CellTag(band * 27 + r, c);
            const int x = canvas.MarginWidth + c * cw;
            const int y = canvas.MarginHeight + r * rh;
            if (s.contains(QLatin1Char('/'))) {
                // A day: underlined when it has events, marked when one of them is special.
                const QString date = NthField(s, QStringLiteral("//"), 1);
                QString d = NthField(date, QStringLiteral("/"), 2);
                if (d.length() == 1)
                    d = QLatin1Char(' ') + d;
                g.SetForeColor(CustomizationModule::daysColor);
                useFont(g, dayFont(canvas));
                bool underline = false;
                if (s.contains(QStringLiteral("//"))) {
                    if (InStr(s, QStringLiteral("Special")) == 0) {
                        underline = true;
                    } else {
                        const int px = x + ToInt(cw / 2.0 - 7);
                        const int py = y - g.StringHeight(QStringLiteral("3"), 999) + 2;
                        drawSpecialMark(g, px, py);
                        g.SetForeColor(CustomizationModule::daysColor);
                    }
                }
                g.SetUnderline(underline);
                g.DrawString(d, x, y);
                g.SetUnderline(false);
                if (date == today) {
                    g.SetForeColor(QColor(255, 0, 0));
                    g.DrawOval(x - 1, y - g.StringHeight(d, 99), rh, rh);
                }
            } else if (s.length() == 1) {
                // A weekday letter, in the month names' font.
                g.SetForeColor(CustomizationModule::dayHeaderColor);
                useFont(g, weekdayFont(canvas));
                g.DrawString(s, x + 2, y);
            } else {
                // A month name (empty cells take this branch and draw nothing).
                QString t = s;
                if (CustomizationModule::monthNamesUppercase)
                    t = t.toUpper();
                if (CustomizationModule::monthNamesAbbreviated)
                    t = Left(t, 3);
                g.SetForeColor(CustomizationModule::monthNamesColor);
                useFont(g, monthFont(canvas, screenHeight));
                if (t.isEmpty())
                    continue;
                if (CustomizationModule::monthNamesLeftJ) {
                    g.DrawString(t, x, y);
                } else {
                    const int w = ToInt(g.StringWidth(t));
                    g.DrawString(t, ToInt((x + 2) + (7.0 * cw) / 2.0 - w / 2.0 - g.StringWidth(QStringLiteral("W")) / 2.0), y);
                }
            }
        }
    }
}
