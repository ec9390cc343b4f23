// The month lists beside the week grid: their places, their titles and their clicks.
#include "GlanceFixture.h"

using namespace WidgetEvents;

namespace {
class MonthLists : public GlanceFixture
{
protected:
    // The painted title row of a month list.
    static QImage title(MiniCalList* list)
    {
        return render(list).copy(0, 0, list->width(), list->RowHeight());
    }
    // The cell of a month list that holds day (its number as the list writes it).
    static QPoint dayCell(MiniCalList* list, int day)
    {
        const QString text = (day < 10 ? QStringLiteral(" ") : QString()) + QString::number(day);
        for (int row = 2; row < list->ListCount(); ++row)
            for (int column = 0; column < 7; ++column)
                if (list->Cell(row, column) == text)
                    return centre(list, row, column);
        return {};
    }
};
} // namespace

TEST_F(MonthLists, StandBelowTheHeaderAtTheRightEdge)
{
    CalendarWindow* w = openWeek();
    MiniCalList* first = w->MiniCalListAt(0);
    MiniCalList* second = w->MiniCalListAt(1);
    EXPECT_EQ(first->y(), w->GlanceHeader->geometry().bottom() + 1);
    EXPECT_EQ(second->y(), first->y() + first->height());
    EXPECT_EQ(first->geometry().right(), w->width() - 1);
    EXPECT_EQ(first->Cell(2, 0), " 1");  // June 2025 begins on a Sunday
    EXPECT_EQ(second->Cell(2, 2), " 1"); // July on a Tuesday
}

TEST_F(MonthLists, TitlesShowTheMonthsTheListsHold)
{
    // December's second list holds January of the next year, titled like a first list
    // holding that January.
    CalendarWindow* w = openWeek(Date(2026, 1, 14, 9, 0, 0));
    const QImage january = title(w->MiniCalListAt(0));
    App().selectedDate = Date(2025, 12, 10, 9, 0, 0);
    w->ReloadCalLists();
    EXPECT_EQ(title(w->MiniCalListAt(1)), january);
    EXPECT_NE(title(w->MiniCalListAt(0)), january);

    // A click on a day of the second list moves the selected date into January; neither
    // list is refilled, and the titles keep naming the months they show.
    const QImage december = title(w->MiniCalListAt(0));
    click(w->MiniCalListAt(1), dayCell(w->MiniCalListAt(1), 20));
    EXPECT_EQ(App().selectedDate.SQLDate(), "2026-01-20");
    EXPECT_EQ(title(w->MiniCalListAt(0)), december);
    EXPECT_EQ(title(w->MiniCalListAt(1)), january);
}

TEST_F(MonthLists, ADayOfAnotherWeekMovesTheWeekAndKeepsTheMonths)
{
    App().eventDict.SetValue("2025-07-03 08:00:00", "2025-07-03 08:30:00//Picnic");
    CalendarWindow* w = openWeek(Date(2025, 6, 18, 14, 30, 0));
    MiniCalList* first = w->MiniCalListAt(0);
    MiniCalList* second = w->MiniCalListAt(1);
    const QPoint third = dayCell(second, 3);
    const int row = second->RowFromXY(third.x(), third.y());
    click(second, third);
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-07-03 14:30:00");
    EXPECT_EQ(w->GlanceList->CellTag(0, 5), "2025-07-03 08:00:00|4");
    EXPECT_EQ(first->ListIndex(), -1);
    EXPECT_EQ(second->ListIndex(), row);
    EXPECT_EQ(first->Cell(2, 0), " 1");  // still June
    EXPECT_EQ(second->Cell(2, 2), " 1"); // still July

    // A day of the same week (30 June) changes no date; its row becomes the selection.
    click(first, dayCell(first, 30));
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-07-03 14:30:00");
    EXPECT_EQ(first->ListIndex(), 6);
}

TEST_F(MonthLists, CellsWithoutADayChangeNothing)
{
    CalendarWindow* w = openWeek();
    MiniCalList* first = w->MiniCalListAt(0);
    const int selectedRow = first->ListIndex();
    const QString before = App().selectedDate.SQLDateTime();
    for (const QPoint& p : {centre(first, 0, 3), centre(first, 1, 3), centre(first, 6, 6), centre(first, 7, 0)}) {
        click(first, p);
        EXPECT_EQ(first->ListIndex(), selectedRow);
    }
    EXPECT_EQ(App().selectedDate.SQLDateTime(), before);
}
