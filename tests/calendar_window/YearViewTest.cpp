#include "CalendarWindowFixture.h"
#include "RandomStore.h"
#include "data/YearDayTag.h"
#include "calendar_window/calCanvas.h"
#include "framework/TextFunctions.h"
#include "framework/UpDownArrows.h"
#include "framework/WidgetEvents.h"

using namespace WidgetEvents;

namespace {
class YearView : public CalendarWindowFixture
{
protected:
    // The centre of the cell (table row, column) of the year shown, in the canvas.
    static QPoint cellCentre(const calCanvas* c, int row, int column)
    {
        const int relative = row % 27;
        return {c->MarginWidth + column * c->ColumnsWidth + c->ColumnsWidth / 2,
                c->MarginHeight + (relative - 1) * c->DefaultRowHeight + c->DefaultRowHeight / 2};
    }
};
} // namespace

TEST_F(YearView, CalDateCellNamesTheDaysCellRowFirst)
{
    struct Case { Date day; int start; const char* ref; };
    const Case cases[] = {
        {Date(2025, 1, 1), 2025, "3,4"},       // a Wednesday in the first week row
        {Date(2022, 1, 1), 2022, "3,7"},       // 1 January on a Saturday
        {Date(2025, 4, 30, 23, 59, 0), 2025, "7,28"},  // April: column base 24, time ignored
        {Date(2027, 12, 25), 2025, "78,31"},   // the third year's last month row
        {Date(2024, 12, 31), 2025, "-2,27"},   // the year before: a negative row
        {Date(2028, 1, 1), 2025, "84,7"},      // the year after: past the table
    };
    for (const Case& c : cases) {
        CM::calendarStartYear = c.start;
        EXPECT_EQ(CalendarWindow::CalDateCell(c.day), QString::fromLatin1(c.ref)) << c.day.SQLDate().toStdString();
    }
}

TEST_F(YearView, EveryDayOfTheThreeYearsStandsInTheCellCalDateCellNames)
{
    CalendarWindow* w = open();
    const calCanvas* c = w->Calendar;
    int days = 0;
    for (Date d(2025, 1, 1); d.Year() <= 2027; d.SetDay(d.Day() + 1), ++days) {
        int row = 0, column = 0;
        ASSERT_TRUE(CalendarWindow::CalDateCell(d, row, column));
        ASSERT_EQ(c->CellTag(row, column), d.ShortDate()) << d.SQLDate().toStdString();
    }
    EXPECT_EQ(days, 365 * 3);
    // Month names, weekday letters, spacer row and column of the first block of 2026.
    EXPECT_EQ(c->CellTag(27 + 1, 1), "January");
    EXPECT_EQ(c->CellTag(27 + 9 + 1, 8 + 1), "June");
    EXPECT_EQ(c->CellTag(27 + 2, 1), "S");
    EXPECT_EQ(c->CellTag(27 + 2, 4), "W");
    for (int col = 0; col < 33; ++col)
        EXPECT_TRUE(c->CellTag(27, col).isEmpty());
    for (int row = 0; row < 82; ++row)
        EXPECT_TRUE(c->CellTag(row, 32).isEmpty());
    EXPECT_GE(c->ColumnsWidth, 1);
    EXPECT_GE(c->DefaultRowHeight, 1);
}

TEST_F(YearView, EventsAppendRunsAndADamagedEntrySkipsOnlyItself)
{
    auto& store = App().eventDict;
    store.SetValue("1999-xx-01 00:00:00", "1999-01-01 00:00:00//Broken");           // bad key, no year of the view
    store.SetValue("2026-xx-01 00:00:00", "2026-01-01 00:00:00//Broken");           // bad key in the view's years
    store.SetValue("2025-03-10 00:00:00", "2025-03-10 00:00:00//Holiday A");
    store.SetValue("2025-03-10 09:00:00", "2025-03-10 09:30:00//Meeting");
    store.SetValue("2025-03-11 10:00:00", "2025-03-11 09:00:00//Backwards");        // ends before it starts
    store.SetValue("2025-03-12 00:00:00", "2025-03-12 00:00:00//Fair//Special");
    store.SetValue("2025-03-13 08:00:00", "not a date//Bad end");                    // bad end
    store.SetValue("2024-05-05 00:00:00", "2024-05-05 00:00:00//Too early");
    store.SetValue("2028-01-05 00:00:00", "2028-01-05 00:00:00//Too late");
    store.SetValue("2027-12-31 00:00:01", "2027-12-31 00:00:01//Last note");
    CalendarWindow* w = open();
    auto tag = [&](const Date& d) {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(d, row, column);
        return w->Calendar->CellTag(row, column);
    };
    EXPECT_EQ(tag(Date(2025, 3, 10)), "3/10/2025//Holiday A////Meeting//");
    EXPECT_EQ(tag(Date(2025, 3, 11)), "3/11/2025");
    EXPECT_EQ(tag(Date(2025, 3, 12)), "3/12/2025//Fair//Special");
    EXPECT_EQ(tag(Date(2025, 3, 13)), "3/13/2025");
    EXPECT_EQ(tag(Date(2027, 12, 31)), "12/31/2027//Last note//");
    EXPECT_EQ(log.messages, QStringList({"An error occurred while loading events - an incorrectly formated event "
                                         "was encountered and will be skipped."}));
}

TEST_F(YearView, PagingStaysWithinTheThreeYearsAndOnlyInTheYearView)
{
    CalendarWindow* w = open();
    App().selectedDate = Date(2025, 6, 15);
    struct Step { int key; int year; };
    const Step steps[] = {{Qt::Key_PageDown, 2026}, {Qt::Key_PageDown, 2027}, {Qt::Key_PageDown, 2027},
                          {Qt::Key_PageUp, 2026},   {Qt::Key_PageUp, 2025},   {Qt::Key_PageUp, 2025}};
    for (const Step& s : steps) {
        key(w, s.key);
        EXPECT_EQ(App().selectedDate.Year(), s.year);
    }
    w->CalendarScrollButton->Down();
    EXPECT_EQ(App().selectedDate.Year(), 2026);
    w->CalendarScrollButton->Up();
    EXPECT_EQ(App().selectedDate.Year(), 2025);

    // Under the week at a glance nothing pages.
    w->Calendar->setVisible(false);
    key(w, Qt::Key_PageDown);
    wheel(w, {5, 5}, {0, -120});
    EXPECT_EQ(App().selectedDate.Year(), 2025);
    EXPECT_EQ(App().selectedDate.Month(), 6);
    w->Calendar->setVisible(true);

    // A year past the three steps back one at a time and never forward.
    App().selectedDate = Date(2030, 2, 2);
    w->PageNextYear();
    EXPECT_EQ(App().selectedDate.Year(), 2030);
    w->PagePreviousYear();
    EXPECT_EQ(App().selectedDate.Year(), 2029);
}

TEST_F(YearView, OneWheelNotchPagesOneYear)
{
    CalendarWindow* w = open();
    calCanvas* c = w->Calendar;
    struct Case { QVector<QPoint> deltas; int year; };
    const Case cases[] = {
        {{{0, -120}}, 2026},                 // towards the user: next year, once
        {{{0, 120}}, 2025},                  // away: previous year
        {{{0, 0}}, 2025},                    // no movement: nothing
        {{{0, -60}}, 2025},                  // half a notch: nothing yet...
        {{{0, -60}}, 2026},                  // ...the second half makes one
        {{{120, 0}}, 2025},                  // to the left: previous year
    };
    App().selectedDate = Date(2025, 6, 15);
    for (const Case& step : cases) {
        for (const QPoint& d : step.deltas)
            EXPECT_TRUE(wheel(c, {40, 40}, d));   // the year view keeps the event
        EXPECT_EQ(App().selectedDate.Year(), step.year);
    }
    // Outside the year view the window pages too, one year a notch.
    wheel(w, {3, 3}, {0, -120});
    EXPECT_EQ(App().selectedDate.Year(), 2026);
}

TEST_F(YearView, AClickOnADateSelectsItAndLeavesTheYearView)
{
    CalendarWindow* w = open();
    calCanvas* c = w->Calendar;
    int row = 0, column = 0;
    CalendarWindow::CalDateCell(Date(2025, 6, 15), row, column);
    // A month name, a weekday letter and a spacer change nothing.
    for (QPoint p : {cellCentre(c, 10, 9), cellCentre(c, 11, 10), cellCentre(c, 9, 8)}) {
        click(c, p);
        EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-06-15 10:30:00");
        EXPECT_FALSE(c->isHidden());
    }
    App().selectedDate = Date(2025, 1, 1, 12, 0, 0);
    CalendarWindow::CalDateCell(Date(2025, 8, 21), row, column);
    click(c, cellCentre(c, row, column));
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-08-21 00:00:00");
    EXPECT_TRUE(c->isHidden());
}

// The year view as its rule states it, over the whole store in its order: an entry whose
// key reads as a date-time of the three years, written as the program writes keys, with a
// readable end not before its key, appends its run to its day's cell.
TEST_F(YearView, FortyThousandRandomEntriesShowAsTheEntryByEntryRule)
{
    // The cells of the grid alone, then of the random store.
    QVector<QString> cells(calCanvas::TableRows * calCanvas::TableColumns);
    {
        CalendarWindow* empty = open();
        for (int row = 0; row < calCanvas::TableRows; ++row)
            for (int column = 0; column < calCanvas::TableColumns; ++column)
                cells[row * calCanvas::TableColumns + column] = empty->Calendar->CellTag(row, column);
        empty->CloseWindow();
        flush();
    }
    // Enough entries for the months to be gathered by several threads.
    App().eventDict = RandomStore(40000, 7);
    int shown = 0;
    for (auto it = App().eventDict.Entries().cbegin(); it != App().eventDict.Entries().cend(); ++it) {
        Date start(2000, 1, 1);
        int row = 0, column = 0;
        if (!Date::ParseSQLDateTime(it.key(), start) || start.SQLDateTime() != it.key()
            || !CalendarWindow::CalDateCell(start, row, column))
            continue;
        const QString end = NthField(it.value(), "//", 1);
        Date endDate;
        if (!Date::ParseSQLDateTime(end, endDate) || end < it.key())
            continue;
        cells[row * calCanvas::TableColumns + column] += "//" + NthField(it.value(), "//", 2) + "//"
                                                         + NthField(it.value(), "//", 3);
        ++shown;
    }
    ASSERT_GT(shown, 20000);

    CalendarWindow* w = open();
    for (int row = 0; row < calCanvas::TableRows; ++row)
        for (int column = 0; column < calCanvas::TableColumns; ++column)
            ASSERT_EQ(w->Calendar->CellTag(row, column), cells[row * calCanvas::TableColumns + column])
                << "cell " << row << "," << column;
    // A day's cell built again alone, as adding or removing an event does, is the same.
    for (Date d(2025, 1, 1); d.Year() <= 2027; d.SetDay(d.Day() + 1)) {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(d, row, column);
        ASSERT_EQ(YearDayTag::Build(App().eventDict, d), w->Calendar->CellTag(row, column)) << d.SQLDate().toStdString();
    }
    // The damaged entries among them are told of once (the week grid has its own message).
    EXPECT_EQ(log.messages.filter("An error occurred while loading events").size(), 1)
        << log.messages.join("\n").toStdString();
}
