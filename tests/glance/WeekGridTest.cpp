// The week grid: where a click points the selected date, which clicks open the event
// dialog, and what the cells paint.
#include "GlanceFixture.h"

using namespace WidgetEvents;

namespace {
class GlanceGrid : public GlanceFixture
{
protected:
    // Whether the cell's rectangle in image holds a pixel of text: red and green below 100
    // (black, dark grey or dark blue).
    static bool hasDarkPixel(const QImage& image, const QRect& cell)
    {
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() < 100 && c.green() < 100)
                    return true;
            }
        return false;
    }
};
} // namespace

TEST_F(GlanceGrid, OpensWhereTheGridStartsAndFillsTheCalendarArea)
{
    CalendarWindow* w = openWeek();
    const int availH = area().height();
    EXPECT_EQ(w->GlanceHeader->y(), int(availH * 0.082));
    EXPECT_EQ(w->GlanceList->y(), int(availH * 0.082 + 60));
    EXPECT_EQ(w->GlanceList->height(), int(availH * 0.62 - 60));
    EXPECT_EQ(w->GlanceList->ListCount(), 28);
    EXPECT_EQ(w->GlanceList->RowHeight(), w->GlanceList->height() / 28);
    // The day columns stand under the header's day columns (the header starts a pixel
    // further left).
    for (int c = 1; c <= 7; ++c)
        EXPECT_NEAR(w->GlanceList->ColumnLeft(c), w->GlanceHeader->ColumnLeft(c) - 1, 1) << c;
}

TEST_F(GlanceGrid, AClickPointsTheSelectedDateAtTheSlotTheEventOrTheDayNote)
{
    App().eventDict.SetValue("2025-06-16 10:00:00", "2025-06-16 12:00:00//Planning");
    struct Case { Date selected; int row; int column; const char* expected; };
    const Case cases[] = {
        {Date(2025, 6, 18, 12, 0, 0), 3, 4, "2025-06-18 09:30:00"},    // free slot
        {Date(2025, 6, 18, 12, 0, 0), 25, 4, "2025-06-18 20:30:00"},   // last slot
        {Date(2025, 6, 18, 12, 0, 0), 0, 1, "2025-06-15 08:00:00"},    // Sunday
        {Date(2025, 6, 21, 12, 0, 0), 0, 1, "2025-06-15 08:00:00"},    // from a Saturday
        {Date(2025, 6, 15, 12, 0, 0), 0, 7, "2025-06-21 08:00:00"},    // from a Sunday
        {Date(2025, 7, 2, 12, 0, 0), 2, 1, "2025-06-29 09:00:00"},     // across the month's end
        {Date(2025, 12, 31, 12, 0, 0), 2, 7, "2026-01-03 09:00:00"},   // across the year's end
        {Date(2025, 6, 18, 12, 0, 0), 4, 2, "2025-06-16 10:00:00"},    // the event's first cell
        {Date(2025, 6, 18, 12, 0, 0), 6, 2, "2025-06-16 10:00:00"},    // a middle cell
        {Date(2025, 6, 18, 12, 0, 0), 7, 2, "2025-06-16 10:00:00"},    // its last cell
        {Date(2025, 6, 18, 12, 0, 0), 26, 5, "2025-06-19 00:00:01"},   // day-note row
    };
    for (const Case& c : cases) {
        CalendarWindow* w = openWeek(c.selected);
        QString seenStart, seenText;
        EXPECT_TRUE(clickCell(w, c.row, c.column, [&](GlanceInputWindow*) {
            seenStart = App().selectedDate.SQLDateTime();
            seenText = w->GlanceList->Cell(c.row, c.column);
        })) << c.expected;
        EXPECT_EQ(seenStart, QString::fromLatin1(c.expected));
        EXPECT_EQ(App().selectedDate.SQLDateTime(), QString::fromLatin1(c.expected));
        // A free slot shows a blank only while its dialog is open.
        const bool free = w->GlanceList->CellTag(c.row, c.column).isEmpty() && c.row < 26;
        EXPECT_EQ(seenText, free ? QStringLiteral(" ") : QString()) << c.expected;
        EXPECT_TRUE(w->GlanceList->Cell(c.row, c.column).isEmpty());
    }
}

TEST_F(GlanceGrid, TheTimeColumnTheHolidayRowAndPointsOutsideTheDaysOpenNothing)
{
    CalendarWindow* w = openWeek();
    calList* grid = w->GlanceList;
    const QString before = App().selectedDate.SQLDateTime();
    const QRect holiday = grid->CellRect(27, 3);
    const QPoint points[] = {
        centre(grid, 3, 0),                                  // time column
        holiday.center(),                                    // holiday row
        {holiday.center().x(), 28 * grid->RowHeight() + 1},  // below the last row
        {-3, centre(grid, 3, 2).y()},                        // left of the grid
        {grid->width() + 4, centre(grid, 3, 2).y()},         // right of the grid
    };
    for (const QPoint& p : points) {
        EXPECT_FALSE(pressGrid(w, p)) << p.x() << "," << p.y();
        EXPECT_EQ(App().selectedDate.SQLDateTime(), before);
    }
    // The last pixel of the Saturday column is still Saturday: columns come from the
    // painted edges.
    EXPECT_TRUE(pressGrid(w, {grid->width() - 1, centre(grid, 0, 7).y()}));
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-06-21 08:00:00");
    EXPECT_TRUE(pressGrid(w, {grid->ColumnLeft(3), centre(grid, 0, 3).y()}));
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-06-17 08:00:00");
}

TEST_F(GlanceGrid, ASecondClickWhileTheDialogRunsOpensNoSecondDialog)
{
    CalendarWindow* w = openWeek();
    int dialogs = 0;
    QString startInside;
    EXPECT_TRUE(clickCell(w, 2, 3, [&](GlanceInputWindow*) {
        press(w->GlanceList, centre(w->GlanceList, 10, 6));
        release(w->GlanceList, centre(w->GlanceList, 10, 6));
        for (Window* window : Window::AllWindows())
            dialogs += qobject_cast<GlanceInputWindow*>(window) ? 1 : 0;
        startInside = App().selectedDate.SQLDateTime();
    }));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(startInside, "2025-06-17 09:00:00");
    EXPECT_TRUE(w->GlanceList->Cell(10, 6).isEmpty());
}

TEST_F(GlanceGrid, PaintsBandsTheSelectedDayAndTheDayRows)
{
    CalendarWindow* w = openWeek();
    calList* grid = w->GlanceList;
    const QImage image = render(grid);
    struct Case { int row; int column; int grey; };
    const Case cases[] = {
        {0, 2, 220}, {1, 2, 220}, {2, 2, 210}, {3, 2, 210}, {4, 2, 220},   // hour bands
        {0, 4, 200}, {25, 4, 200},                                          // Wednesday, selected
        {26, 4, 188}, {27, 4, 188}, {26, 1, 188}, {27, 7, 188},             // day rows
    };
    for (const Case& c : cases) {
        const QRect cell = grid->CellRect(c.row, c.column);
        EXPECT_EQ(image.pixelColor(cell.left() + 5, cell.top() + 3), QColor(c.grey, c.grey, c.grey))
            << c.row << "," << c.column;
    }
    // Hour labels on the even rows of the time column only.
    EXPECT_TRUE(hasDarkPixel(image, grid->CellRect(0, 0)));
    EXPECT_FALSE(hasDarkPixel(image, grid->CellRect(1, 0)));
}

TEST_F(GlanceGrid, PaintsEventBlocksDayNotesAndLongHolidayTitles)
{
    auto& store = App().eventDict;
    store.SetValue("2025-06-16 09:00:00", "2025-06-16 10:30:00//Dentist");
    store.SetValue("2025-06-19 00:00:01", "2025-06-19 00:00:01//Pay rent");
    store.SetValue("2025-06-20 00:00:00",
                   "2025-06-20 00:00:00//A holiday with a title far wider than one day column of the grid");
    CalendarWindow* w = openWeek();
    calList* grid = w->GlanceList;
    const QImage image = render(grid);
    auto inside = [&](int row, int column) {
        const QRect cell = grid->CellRect(row, column);
        return image.pixelColor(cell.left() + 4, cell.bottom() - 1);
    };
    EXPECT_EQ(inside(2, 2), CM::glanceEventHeaderColor);
    EXPECT_EQ(inside(3, 2), CM::glanceEventColor);
    EXPECT_EQ(image.pixelColor(grid->CellRect(4, 2).center()), CM::glanceEventColor);
    EXPECT_EQ(inside(5, 2), QColor(220, 220, 220));   // after the event: the band again
    EXPECT_TRUE(hasDarkPixel(image, grid->CellRect(2, 2)));    // its title
    EXPECT_FALSE(hasDarkPixel(image, grid->CellRect(3, 2)));
    EXPECT_TRUE(hasDarkPixel(image, grid->CellRect(26, 5)));   // the note's title
    EXPECT_TRUE(hasDarkPixel(image, grid->CellRect(27, 6)));   // the holiday, cut by the cell
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(GlanceGrid, ATagWhoseEventIsGoneDrawsTheBlockWithoutTitleAndNoMessage)
{
    CalendarWindow* w = openWeek();
    calList* grid = w->GlanceList;
    grid->SetCellTag(3, 3, "2025-06-17 09:30:00|4");
    grid->SetCellTag(4, 3, "not a date|9");
    const QImage image = render(grid);
    const QRect cell = grid->CellRect(3, 3);
    EXPECT_EQ(image.pixelColor(cell.left() + 4, cell.bottom() - 1), CM::glanceEventHeaderColor);
    EXPECT_FALSE(hasDarkPixel(image, cell));
    EXPECT_TRUE(log.messages.isEmpty());
}
