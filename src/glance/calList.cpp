#include "glance/calList.h"
#include "calendar_window/CalendarWindow.h"
#include "data/EventRecord.h"
#include "data/SlotTag.h"
#include "data/WeekGrid.h"
#include "framework/MessageBox.h"
#include "framework/TextFunctions.h"
#include "shell/app.h"
#include <algorithm>

calList::calList(QWidget* parent) : ListBox(parent) {}

void calList::loadMonth(int offset)
{
    if (ColumnCount() < 7)
        SetColumnCount(7);
    DeleteAllRows();
    for (int i = 0; i < 8; ++i)
        AddRow();

    const QString initials = QStringLiteral("S,M,T,W,T,F,S");
    for (int column = 0; column < 7; ++column) {
        SetCellAlignment(1, column, AlignCenter);
        SetCellBorderBottom(1, column, BorderThinSolid);
        SetCell(1, column, NthField(initials, QStringLiteral(","), column + 1));
    }

    const Date selected = App().selectedDate;
    const Date first(selected.Year(), selected.Month() + offset, 1);
    Date day(first.Year(), first.Month(), 1 - (first.DayOfWeek() - 1));
    for (int row = 2; row < 8; ++row) {
        for (int column = 0; column < 7; ++column) {
            if (day.Month() == first.Month() && day.Year() == first.Year()) {
                SetCell(row, column, (day.Day() < 10 ? QStringLiteral(" ") : QString()) + Str(day.Day()));
                SetCellTag(row, column, day.ShortDate());
                if (offset == 0 && day.Day() == selected.Day())
                    SetListIndex(row);
            }
            day = Date(day.Year(), day.Month(), day.Day() + 1);
        }
    }
}

void calList::LoadEvents(ListBox* list)
{
    ListBox* grid = list ? list : this;
    if (grid->ColumnCount() < WeekGrid::ColumnCount)
        grid->SetColumnCount(WeekGrid::ColumnCount);
    grid->DeleteAllRows();
    for (int i = 0; i < WeekGrid::RowCount; ++i)
        grid->AddRow();
    if (grid->height() >= WeekGrid::RowCount)
        grid->SetDefaultRowHeight(grid->height() / WeekGrid::RowCount);

    if (CalendarWindow* window = CalendarWindow::Existing())
        if (calList* header = window->ControlAs<calList>(QStringLiteral("GlanceHeader")))
            if (header->ListCount() > 0)
                for (int column = 1; column < std::min(8, header->ColumnCount()); ++column)
                    header->InvalidateCell(0, column);

    const WeekGrid::Fill fill = WeekGrid::Compute(App().eventDict, App().selectedDate, App().StartTime);
    for (int row = 0; row < WeekGrid::SlotRows; ++row)
        for (int column = 1; column < WeekGrid::ColumnCount; ++column)
            if (!fill.Tag(row, column).isEmpty())
                grid->SetCellTag(row, column, fill.Tag(row, column));
    grid->InvalidateCell(-1, -1);
    if (calList* filled = qobject_cast<calList*>(grid)) {
        filled->m_filled = true;
        filled->m_weekSunday = fill.sunday;
    }
    // Messages come last: a message box runs a nested event loop.
    for (const QString& message : fill.messages)
        MsgBox(message);
}

bool calList::showsWeekOf(const Date& day) const
{
    return !m_filled || WeekGrid::WeekSunday(day) == m_weekSunday;
}

void calList::setSlotTag(int row, int column, const QString& tag)
{
    if (row < 0 || row >= WeekGrid::SlotRows || row >= ListCount() || column >= ColumnCount())
        return;
    SetCellTag(row, column, tag);
    InvalidateCell(row, column);
}

void calList::freeCells(int column, int fromRow, const QString& key)
{
    for (int row = std::max(0, fromRow); row < std::min(WeekGrid::SlotRows, ListCount()); ++row)
        if (column < ColumnCount() && SlotTag::Start(CellTag(row, column)) == key)
            setSlotTag(row, column, QString());
}

void calList::AddEvent(const Date& end, const QString& title)
{
    const Date start = App().selectedDate;
    const int startHour = App().StartTime;
    const QString key = start.SQLDateTime();
    const bool allDay = start.Second() == 1;

    if (start.SQLDate() != end.SQLDate()) {
        MsgBox(DifferentDayMessage);
        return;
    }
    int row = -1, cells = 0;
    if (!allDay) {
        if (!(start < end) || WeekGrid::GridEnd(start, startHour) < end) {
            MsgBox(OutOfBoundsMessage);
            return;
        }
        row = WeekGrid::RowOf(start, startHour);
        if (row < 0) {
            MsgBox(TimeFormatMessage);
            return;
        }
        cells = WeekGrid::CellsFor(WeekGrid::LengthMinutes(start, end));
    }

    Dictionary& store = App().eventDict;
    store.SetValue(key, EventRecord::Make(allDay ? start : end, title));

    const int column = start.DayOfWeek();
    if (!showsWeekOf(start))
        return;
    if (allDay) {
        if (WeekGrid::DayNoteRow < ListCount() && column < ColumnCount())
            InvalidateCell(WeekGrid::DayNoteRow, column);
        return;
    }
    for (int i = 0; i < cells; ++i)
        setSlotTag(row + i, column, SlotTag::Make(key, SlotTag::CodeFor(i, cells)));
    // A shorter event than before frees the cells it no longer covers.
    freeCells(column, row + cells, key);
}

void calList::RemoveEvent()
{
    const Date start = App().selectedDate;
    const QString key = start.SQLDateTime();
    Dictionary& store = App().eventDict;
    if (!store.HasKey(key))
        return;
    store.Remove(key);
    if (!showsWeekOf(start))
        return;
    const int column = start.DayOfWeek();
    if (start.Second() == 1) {
        if (WeekGrid::DayNoteRow < ListCount() && column < ColumnCount()) {
            SetCellTag(WeekGrid::DayNoteRow, column, QString());
            InvalidateCell(WeekGrid::DayNoteRow, column);
        }
        return;
    }
    freeCells(column, 0, key);
}
