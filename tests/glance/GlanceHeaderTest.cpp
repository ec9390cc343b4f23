// The glance header: paging by week and month, the month and year pop-ups, the return
// arrow, the second month list's toggle and the arrow's hover.
#include "GlanceFixture.h"
#include "framework/Canvas.h"
#include <QFile>

using namespace WidgetEvents;

namespace {
class GlanceHeader : public GlanceFixture
{
protected:
    static constexpr int Upper = 5;    // y in the upper band
    static constexpr int Lower = 50;   // y in the lower band
};
} // namespace

TEST_F(GlanceHeader, LowerButtonsPageByWeekAndMonthAndRefillTheWeek)
{
    struct Case { Date from; int column; const char* to; };
    const Case cases[] = {
        {Date(2027, 1, 3, 9, 30, 0), 8, "2026-12-27 09:30:00"},    // previous week across the year
        {Date(2025, 6, 18, 9, 30, 0), 9, "2025-06-25 09:30:00"},   // next week
        {Date(2025, 1, 31, 9, 30, 0), 12, "2025-03-03 09:30:00"},  // next month: 31 February carries
        {Date(2024, 1, 31, 9, 30, 0), 12, "2024-03-02 09:30:00"},  // ... in a leap year
        {Date(2025, 12, 15, 9, 30, 0), 12, "2026-01-15 09:30:00"}, // next month across the year
        {Date(2025, 1, 15, 9, 30, 0), 11, "2024-12-15 09:30:00"},  // previous month across the year
    };
    for (const Case& c : cases) {
        CalendarWindow* w = openWeek(c.from);
        Date target;
        ASSERT_TRUE(Date::ParseSQLDateTime(QString::fromLatin1(c.to), target));
        // An event in the week paged to shows in the refilled grid.
        const QString key = Date(target.Year(), target.Month(), target.Day(), 10, 0, 0).SQLDateTime();
        App().eventDict.SetValue(key, Date(target.Year(), target.Month(), target.Day(), 10, 30, 0).SQLDateTime() + "//X");
        EXPECT_TRUE(w->GlanceHeader_CellClick(0, c.column, 5, Lower));
        EXPECT_EQ(App().selectedDate.SQLDateTime(), QString::fromLatin1(c.to));
        EXPECT_EQ(w->GlanceList->CellTag(4, target.DayOfWeek()), key + "|4") << c.to;
        EXPECT_NE(w->MiniCalListAt(0)->ListIndex(), -1);   // the month list follows
        App().eventDict.Clear();
    }
}

TEST_F(GlanceHeader, ClicksOutsideTheControlsChangeNothingAndAreHandled)
{
    CalendarWindow* w = openWeek();
    const QString before = App().selectedDate.SQLDateTime();
    for (int column = 0; column <= 7; ++column)
        EXPECT_TRUE(w->GlanceHeader_CellClick(0, column, 5, Lower)) << column;
    for (int column : {1, 2, 3, 6, 7, 8, 9, 10, 11, 12})
        EXPECT_TRUE(w->GlanceHeader_CellClick(0, column, 5, Upper)) << column;
    EXPECT_EQ(App().selectedDate.SQLDateTime(), before);
    EXPECT_TRUE(popUpItems.isEmpty());
    EXPECT_TRUE(w->Calendar->isHidden());
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
}

TEST_F(GlanceHeader, TheMonthPopUpTakesTheMonthFromTheChosenItemsPlace)
{
    CalendarWindow* w = openWeek(Date(2025, 1, 31, 12, 0, 0));
    popUpAnswer = -1;   // dismissed
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 4, 100, Upper));
    EXPECT_EQ(popUpItems, QStringLiteral("January,February,March,April,May,June,July,August,September,October,"
                                         "November,December").split(','));
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-01-31");

    popUpAnswer = 1;    // February: the 31st carries into March
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 4, 100, Upper));
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-03-03");
    popUpAnswer = 11;
    w->GlanceHeader_CellClick(0, 4, 100, Upper);
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-12-03");
    EXPECT_EQ(w->MiniCalListAt(0)->Cell(2, 1), " 1");   // the list now shows December 2025
}

TEST_F(GlanceHeader, TheYearPopUpOffersTheThreeCalendarYears)
{
    CM::calendarStartYear = 2024;
    CalendarWindow* w = openWeek(Date(2024, 2, 29, 8, 0, 0));
    popUpAnswer = 1;
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 5, 10, Upper));
    EXPECT_EQ(popUpItems, QStringList({"2024", "2025", "2026"}));
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-03-01 08:00:00");   // no 29 February
    popUpAnswer = -1;
    w->GlanceHeader_CellClick(0, 5, 10, Upper);
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-03-01");
}

TEST_F(GlanceHeader, TheReturnArrowShowsTheYearViewAndWritesTheEventsFile)
{
    CalendarWindow* w = openWeek();
    App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    const QString path = home.documentsFolder() + "/Calendar.tpc";
    EXPECT_FALSE(QFile::exists(path));
    // Anywhere in the upper band of column 0, not only on the arrow.
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 0, 55, Upper));
    EXPECT_TRUE(w->Calendar->isVisible());
    EXPECT_TRUE(w->GlanceList->isHidden());
    EXPECT_TRUE(w->GlanceHeader->isHidden());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("2025-06-18 09:00:00|2025-06-18 09:30:00//Dentist\n"));
}

TEST_F(GlanceHeader, TheDiamondShowsAndHidesTheSecondMonthListAndTheChoiceLasts)
{
    CalendarWindow* w = openWeek();
    QWidget* todoHeader = w->ToDoListHeader;
    const QRect header = todoHeader->geometry();
    const QRect todo = w->TodoList->geometry();
    const int h = w->MiniCalListAt(0)->height();
    EXPECT_EQ(header.top(), w->MiniCalListAt(0)->geometry().bottom() + 1);
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());

    w->GlanceHeader_CellClick(0, 10, 30, Lower);
    EXPECT_TRUE(w->MiniCalListAt(1)->isVisible());
    EXPECT_EQ(todoHeader->geometry(), header.translated(0, h));
    EXPECT_EQ(w->TodoList->geometry(), QRect(todo.left(), todo.top() + h, todo.width(), todo.height() - h));
    w->GlanceOff();
    w->GlanceOn();
    EXPECT_TRUE(w->MiniCalListAt(1)->isVisible());

    w->GlanceHeader_CellClick(0, 10, 30, Lower);
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
    EXPECT_EQ(todoHeader->geometry(), header);
    EXPECT_EQ(w->TodoList->geometry(), todo);
    w->GlanceOff();
    w->GlanceOn();
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
}

TEST_F(GlanceHeader, TheArrowLightsUpWhileTheMouseIsOverIt)
{
    CalendarWindow* w = openWeek();
    calList* header = w->GlanceHeader;
    hover(header, {20, 10});
    EXPECT_TRUE(header->MouseEnteredColumn[0]);
    hover(header, {80, 10});   // another column
    EXPECT_FALSE(header->MouseEnteredColumn[0]);
    hover(header, {20, 10});
    w->GlanceHeader_MouseExit();
    EXPECT_FALSE(header->MouseEnteredColumn[0]);
}

TEST_F(GlanceHeader, TakesNoFocusAndNeverPaintsASelection)
{
    CalendarWindow* w = openWeek();
    w->show();
    w->activateWindow();
    // The week of a date is open: click a weekday heading, then press Down. Nothing selects.
    WidgetEvents::click(w->GlanceHeader, QPoint(w->GlanceHeader->CellRect(0, 3).center().x(), Lower));
    EXPECT_NE(QApplication::focusWidget(), w->GlanceHeader);
    for (QWidget* target : {QApplication::focusWidget(), static_cast<QWidget*>(w->GlanceHeader)})
        if (target)
            WidgetEvents::key(target, Qt::Key_Down);
    EXPECT_EQ(w->GlanceHeader->ListIndex(), -1);
    const QImage shot = w->GlanceHeader->grab().toImage();
    int selectionPixels = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == QColor(56, 117, 215) || shot.pixelColor(x, y) == QColor(212, 212, 212))
                ++selectionPixels;
    EXPECT_EQ(selectionPixels, 0);
}
