// The week grid: where a click points the selected date, which clicks open the event
// dialog, and what the cells paint.
#include "GlanceFixture.h"
#include "PixelProbe.h"
#include "framework/TextFunctions.h"

using namespace WidgetEvents;

namespace {
class GlanceGrid : public GlanceFixture {};
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

TEST_F(GlanceGrid, AClickOnAnotherDayRepaintsTheOldAndTheNewDaysColumns)
{
    // The screen is read, not painted afresh: the click itself has to ask for both columns
    // (the clicked cell alone is repainted anyway, for its blank). Row 0 is clear of the
    // clicked cells.
    CalendarWindow* w = openWeek();   // Wednesday 18 June: column 4
    calList* grid = w->GlanceList;
    auto shade = [&](const QImage& image, int column) {
        const QRect cell = grid->CellRect(0, column);
        return image.pixelColor(cell.left() + 5, cell.top() + 4);
    };
    const QColor selected(200, 200, 200), plain(220, 220, 220);
    ASSERT_EQ(shade(Pixels::Shown(grid), 4), selected);
    // Thursday 10:00, then Wednesday's day note: while the dialog runs and after it closed.
    struct Step { int row, column, before; };
    for (const Step& s : {Step{4, 5, 4}, Step{26, 4, 5}}) {
        QImage inside;
        EXPECT_TRUE(clickCell(w, s.row, s.column, [&](GlanceInputWindow*) { inside = Pixels::Shown(grid); }));
        for (const QImage& image : {inside, Pixels::Shown(grid)}) {
            EXPECT_EQ(shade(image, s.column), selected) << s.row << "," << s.column;
            EXPECT_EQ(shade(image, s.before), plain) << s.row << "," << s.column;
        }
    }
}

TEST_F(GlanceGrid, PaintsHourBandsTheSelectedDayTheDayRowsAndTheCellLines)
{
    PlainPictures pictures;
    CalendarWindow* w = openWeek();
    calList* grid = w->GlanceList;
    const QImage image = Pixels::Render(grid, QColor(255, 0, 255));
    auto at = [&](int row, int column, int x, int y) {
        const QRect cell = grid->CellRect(row, column);
        return image.pixelColor(cell.left() + (x < 0 ? cell.width() + x : x), cell.top() + (y < 0 ? cell.height() + y : y));
    };
    auto grey = [](int v) { return QColor(v, v, v); };
    EXPECT_EQ(grid->CellRect(0, 0).width(), 60);
    for (int row = 0; row < 28; ++row) {
        // Rows by hours: light, then darker; the selected Wednesday darker still; the two
        // day rows all alike.
        const int band = row > 25 ? 188 : (row / 2) % 2 == 1 ? 210 : 220;
        EXPECT_EQ(at(row, 1, 5, 4), grey(band)) << row;
        EXPECT_EQ(at(row, 4, 5, 4), grey(row > 25 ? 188 : 200)) << row;
        // Each day cell's bottom line (darker under the half hours) and its right edge.
        EXPECT_EQ(at(row, 2, 5, -1), grey(row % 2 == 0 ? 200 : 170)) << row;
        EXPECT_EQ(at(row, 2, -1, 4), grey(180)) << row;
        // The time column: its picture's halves behind, a line at its right edge on the
        // slots, an hour line under every odd row.
        if (row < 26) {
            EXPECT_EQ(at(row, 0, 2, 2), PlainPictures::Colour(193)) << row;
            EXPECT_EQ(at(row, 0, -1, 4), grey(200)) << row;
            EXPECT_EQ(at(row, 0, 2, -1), row % 2 == 1 ? grey(140) : PlainPictures::Colour(193)) << row;
        }
    }
    EXPECT_EQ(at(26, 3, 5, 1), grey(160));     // the line over the day notes
    EXPECT_EQ(at(26, 0, 5, 1), grey(160));
    EXPECT_EQ(at(27, 0, 5, -1), grey(140));    // and under the holidays' caption

    // Hour labels on the full hours only, right-aligned 4 pixels from the column's edge on
    // the row's last pixel line; the captions of the two day rows.
    const QFont font = Graphics::MakeFont("Arial", 12);
    QFont italic = font;
    italic.setItalic(true);
    struct Label { int row; QString text; QFont font; int baseline; QColor under; };
    const int h = grid->RowHeight();
    const Label labels[] = {
        {0, Date(2025, 1, 1, 8, 0, 0).ShortTime(), font, h - 1, PlainPictures::Colour(193)},
        {4, Date(2025, 1, 1, 10, 0, 0).ShortTime(), font, h - 1, PlainPictures::Colour(193)},
        {26, "Day Note", font, QFontMetrics(font).height() - 2, grey(188)},
        {27, "Holiday", italic, QFontMetrics(italic).height() - 3, grey(188)},
    };
    for (const Label& l : labels) {
        const QRect cell = grid->CellRect(l.row, 0);
        const int x = ToInt(60 - QFontMetricsF(l.font).horizontalAdvance(l.text) - 4);
        const QRect expected = Pixels::TextBox(l.text, l.font, x, l.baseline).translated(cell.topLeft());
        const QRect ink = Pixels::Ink(image, cell, Qt::black, l.under);
        EXPECT_TRUE(Pixels::Near(ink, expected)) << l.text.toStdString() << ": " << ink << " expected " << expected;
    }
    EXPECT_EQ(Pixels::Ink(image, grid->CellRect(1, 0), Qt::black, PlainPictures::Colour(193)), QRect());
}

TEST_F(GlanceGrid, PaintsEventBlocksWithTheirTitlesDayNotesAndHolidays)
{
    auto& store = App().eventDict;
    store.SetValue("2025-06-16 09:00:00", "2025-06-16 10:30:00//Dentist");   // Monday, rows 2 to 4
    store.SetValue("2025-06-17 08:30:00", "2025-06-17 09:00:00//Call");      // Tuesday, row 1
    store.SetValue("2025-06-19 00:00:01", "2025-06-19 00:00:01//Pay rent");
    store.SetValue("2025-06-20 00:00:00", "2025-06-20 00:00:00//Fair Day");
    CalendarWindow* w = openWeek();
    calList* grid = w->GlanceList;
    grid->SetCellTag(6, 7, "2025-06-21 11:00:00|4");      // an event gone from the store
    const QImage image = Pixels::Render(grid, QColor(255, 0, 255));
    const QColor head = CM::glanceEventHeaderColor, body = CM::glanceEventColor, edge(100, 100, 100);
    auto at = [&](int row, int column, int x, int y) {
        const QRect cell = grid->CellRect(row, column);
        return image.pixelColor(cell.left() + (x < 0 ? cell.width() + x : x), cell.top() + (y < 0 ? cell.height() + y : y));
    };
    const int w2 = grid->CellRect(2, 2).width();
    const int mid = w2 / 2;
    // First cell: rounded top, squared bottom (edges at x 0 and w - 2 from y 8 down).
    EXPECT_EQ(at(2, 2, 0, 0), QColor(210, 210, 210));
    EXPECT_EQ(at(2, 2, mid, 0), edge);
    EXPECT_EQ(at(2, 2, 0, -2), edge);
    EXPECT_EQ(at(2, 2, -2, -2), edge);
    EXPECT_EQ(at(2, 2, -1, -2), QColor(180, 180, 180));
    EXPECT_EQ(at(2, 2, 3, -1), head);
    // Middle cell: straight sides, body colour through.
    EXPECT_EQ(at(3, 2, 0, 0), edge);
    EXPECT_EQ(at(3, 2, -2, -1), edge);
    EXPECT_EQ(at(3, 2, mid, 0), body);
    EXPECT_EQ(at(3, 2, mid, -1), body);
    // Last cell: squared top, rounded bottom.
    EXPECT_EQ(at(4, 2, 0, 0), edge);
    EXPECT_EQ(at(4, 2, mid, 3), body);
    EXPECT_EQ(at(4, 2, mid, -1), edge);
    EXPECT_EQ(at(4, 2, 0, -1), QColor(200, 200, 200));     // the cell's own bottom line shows at the corner
    // A one-slot event: rounded all round.
    for (QPoint corner : {QPoint(0, 0), QPoint(-3, 0)})
        EXPECT_EQ(at(1, 3, corner.x(), corner.y()), QColor(220, 220, 220)) << corner.x() << "," << corner.y();
    for (QPoint corner : {QPoint(0, -1), QPoint(-3, -1)})
        EXPECT_EQ(at(1, 3, corner.x(), corner.y()), QColor(170, 170, 170)) << corner.x() << "," << corner.y();
    EXPECT_EQ(at(1, 3, mid, 0), edge);
    EXPECT_EQ(at(1, 3, mid, -1), edge);

    // Titles: timed events in Arial 10 on their first cell, centred, baseline 12; day notes
    // dark blue and holidays black italic, in the grid's font.
    const QFont small = Graphics::MakeFont("Arial", 10), font = Graphics::MakeFont("Arial", 12);
    QFont italic = font;
    italic.setItalic(true);
    struct Title { int row, column; QString text; QFont font; int baseline; QColor colour, under; };
    const Title titles[] = {
        {2, 2, "Dentist", small, 12, QColor(30, 30, 30), head},
        {1, 3, "Call", small, 12, QColor(30, 30, 30), head},
        {26, 5, "Pay rent", font, 12, QColor(0, 0, 160), QColor(188, 188, 188)},
        {27, 6, "Fair Day", italic, QFontMetrics(italic).height() - 3, Qt::black, QColor(188, 188, 188)},
    };
    for (const Title& t : titles) {
        const QRect cell = grid->CellRect(t.row, t.column);
        const int x = ToInt(cell.width() / 2.0 - QFontMetricsF(t.font).horizontalAdvance(t.text) / 2);
        const QRect expected = Pixels::TextBox(t.text, t.font, x, t.baseline).translated(cell.topLeft());
        const QRect ink = Pixels::Ink(image, cell, t.colour, t.under);
        EXPECT_TRUE(Pixels::Near(ink, expected)) << t.text.toStdString() << ": " << ink << " expected " << expected;
    }
    for (int row : {3, 4})
        EXPECT_EQ(Pixels::Ink(image, grid->CellRect(row, 2), QColor(30, 30, 30), body), QRect()) << row;
    // The block whose event is gone: drawn, without a title, and no message.
    EXPECT_EQ(at(6, 7, mid, -1), edge);
    EXPECT_EQ(Pixels::Ink(image, grid->CellRect(6, 7), QColor(30, 30, 30), head), QRect());
    EXPECT_TRUE(log.messages.isEmpty());
}
