// The mini calendar window: painting the month.
#include "calendar_window/calCanvas.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "tray/TrayWindow.h"

QString TrayWindow::Heading(const Date& month)
{
    // "Sunday, December 6, 2026": the month's name and the year are words 2 and 4.
    const QString longDate = month.LongDate();
    return NthField(longDate, QStringLiteral(" "), 2) + QLatin1Char(' ') + NthField(longDate, QStringLiteral(" "), 4);
}

QVector<TrayWindow::DayCell> TrayWindow::MonthGrid(const Date& month, const Date& today)
{
    Date first = month;
    first.SetDay(1);
    // The walker starts on the day before the Sunday of the week that holds the 1st.
    Date d = first;
    d.SetDay(1 - first.DayOfWeek());
    QVector<DayCell> cells;
    cells.reserve(42);
    for (int i = 0; i < 42; ++i) {
        d.SetDay(d.Day() + 1);
        DayCell cell;
        if (d.Month() == first.Month() && d.Year() == first.Year())
            cell.text = NthField(d.ShortDate(), QStringLiteral("/"), 2);
        cell.bold = d.Day() == today.Day() && d.Month() == today.Month() && d.Year() == today.Year();
        if (cell.text.size() == 1)
            cell.text.prepend(QLatin1Char(' '));
        cells.append(cell);
    }
    return cells;
}

void TrayWindow::Calendar_Paint(Graphics& g)
{
    const int rowH = Calendar->DefaultRowHeight;
    const int colW = Calendar->ColumnsWidth;

    // Heading: the month's name and year, centred, its baseline on the last pixel row of
    // the second band.
    g.SetForeColor(CustomizationModule::monthNamesColor);
    g.SetTextSize(10);
    g.SetBold(true);
    const QString heading = Heading(trayDate);
    g.DrawString(heading, ToInt((Calendar->width() - g.StringWidth(heading)) / 2), 2 * rowH - 1);

    // Weekday letters on the line between the third and fourth bands.
    g.SetForeColor(CustomizationModule::dayHeaderColor);
    const QString letters = QStringLiteral("S,M,T,W,T,F,S");
    for (int i = 0; i < 7; ++i) {
        g.SetTextSize(10);
        const QString letter = NthField(letters, QStringLiteral(","), i + 1);
        const int lw = ToInt(g.StringWidth(letter));
        g.DrawString(letter, ToInt(i * colW + (colW / 2.0 - lw / 2.0)), 3 * rowH);
    }

    // Six week rows in bands 3 to 8.
    g.SetForeColor(CustomizationModule::daysColor);
    trayDate.SetDay(1);
    g.SetBold(false);
    const QVector<DayCell> cells = MonthGrid(trayDate, Date());
    for (int row = 3; row <= 8; ++row) {
        for (int col = 0; col < 7; ++col) {
            const DayCell& cell = cells[(row - 3) * 7 + col];
            g.SetBold(cell.bold);
            const int tw = ToInt(g.StringWidth(cell.text));
            const int th = g.StringHeight(cell.text, 99);
            g.DrawString(cell.text, ToInt(col * colW + (colW / 2.0 - tw / 2.0)), ToInt(row * rowH + (rowH / 2.0 + th / 2.0)));
        }
    }
}
