// The two month lists beside the week grid: their places, their month titles, a click on
// a day of another week and the keys they swallow.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "data/WeekGrid.h"
#include "framework/WorkArea.h"
#include "glance/calList.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QScreen>

namespace {

// The first day of the month a month list holds, read from its day cells; false while it
// holds none.
bool shownMonth(const ListBox& list, Date& first)
{
    for (int row = 2; row < list.ListCount(); ++row) {
        for (int column = 0; column < list.ColumnCount(); ++column) {
            Date day;
            if (Date::ParseDate(list.CellTag(row, column), day)) {
                first = Date(day.Year(), day.Month(), 1);
                return true;
            }
        }
    }
    return false;
}

} // namespace

void CalendarWindow::MiniCalList_Open(int index)
{
    MiniCalList* list = MiniCalListAt(index);
    const int h = WorkArea::Rect().height();
    list->move(list->x(), ToInt(h * CustomizationModule::TitleAreaHeightPercent + GlanceHeader->height()
                                + index * list->height()));
    list->loadMonth(index);
}

bool CalendarWindow::MiniCalList_KeyDown(int, QKeyEvent*) { return true; }

// Row 0 carries the title of the month the list holds ("June 2025"), centred over the row:
// every cell draws the whole text shifted by its own left edge and shows its part of it.
bool CalendarWindow::MiniCalList_CellBackgroundPaint(int index, Graphics& g, int row, int column)
{
    if (row != 0)
        return false;
    const MiniCalList* list = MiniCalListAt(index);
    Date first;
    if (!shownMonth(*list, first)) {
        const Date& selected = App().selectedDate;
        first = Date(selected.Year(), selected.Month() + index, 1);
    }
    const QString title = NthField(first.LongDate(), QStringLiteral(" "), 2) + QStringLiteral(" ") + Str(first.Year());
    g.SetTextSize(list->TextSize() + 1);
    g.SetBold(true);
    const int rowWidth = list->ColumnLeft(list->ColumnCount() - 1) + list->ColumnWidthActual(list->ColumnCount() - 1);
    g.DrawString(title, ToInt(rowWidth / 2.0 - ToInt(g.StringWidth(title)) / 2 - list->ColumnLeft(column)),
                 list->RowHeight() - 3);
    return false;
}

// A click on a day of another week moves the selected date there and refills the week
// grid; the lists keep their months. Cells without a day take the click without a change.
bool CalendarWindow::MiniCalList_CellClick(int index, int row, int column, int, int)
{
    Date day;
    if (!Date::ParseDate(MiniCalListAt(index)->CellTag(row, column), day))
        return true;
    Date& selected = App().selectedDate;
    if (WeekGrid::WeekSunday(day) != WeekGrid::WeekSunday(selected)) {
        MiniCalListAt(0)->SetListIndex(-1);
        MiniCalListAt(1)->SetListIndex(-1);
        selected.SetSQLDate(day.SQLDate());
        GlanceList->LoadEvents(GlanceList);
    }
    return false;
}
