// The calendar window's switch between the year view and the week at a glance, the
// reload of the week's lists and the year view's day cells after an edit.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "calendar_window/calCanvas.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "glance/calList.h"
#include "framework/ListBox.h"
#include "data/YearDayTag.h"
#include "shell/app.h"

void CalendarWindow::GlanceOn()
{
    GlanceHeader->setVisible(true);
    GlanceList->setVisible(true);
    MiniCalListAt(0)->setVisible(true);
    // The to-do header's place tells whether the second month list was shown last time.
    MiniCalListAt(1)->setVisible(MiniCalListAt(1)->y() + 10 < ToDoListHeader->y());
    ToDoListHeader->setVisible(true);
    TodoList->setVisible(true);
    for (int i = 1; i <= 5; ++i)
        floatingLinkCanvasAt(i)->setVisible(false);
    Calendar->setVisible(false);
}

void CalendarWindow::GlanceOff()
{
    // A to-do item still being typed is part of what is saved.
    TodoList->EndEdit(true);
    // The floating link areas come back as the year view had them: those with a link.
    for (int i = 1; i <= 5; ++i)
        floatingLinkCanvasAt(i)->setVisible(!floatingLinkCanvasAt(i)->HelpTag().isEmpty());
    Calendar->setVisible(true);
    GlanceHeader->setVisible(false);
    GlanceList->setVisible(false);
    MiniCalListAt(0)->setVisible(false);
    MiniCalListAt(1)->setVisible(false);
    ToDoListHeader->setVisible(false);
    TodoList->setVisible(false);
    SaveEvents();
}

void CalendarWindow::ReloadCalLists()
{
    MiniCalListAt(0)->loadMonth(0);
    MiniCalListAt(1)->loadMonth(1);
    GlanceList->LoadEvents(GlanceList);
}

// The selected day's cell of the year view is built again from every entry of that day,
// so its holidays, special marks and other events stay. A day outside the three years
// has no cell: nothing changes.
void CalendarWindow::AddEvent()
{
    const Date& day = App().selectedDate;
    int row = 0, column = 0;
    if (!CalDateCell(day, row, column))
        return;
    Calendar->SetCellTag(row, column, YearDayTag::Build(App().eventDict, day));
    Calendar->Invalidate(false);
}

// The selected day's cell is built again without the entry under the selected date-time,
// the one being deleted (whether or not it has left the store yet); s, its run, is no
// longer needed to find it.
void CalendarWindow::RemoveEvent(const QString& /*s*/)
{
    const Date& day = App().selectedDate;
    int row = 0, column = 0;
    if (!CalDateCell(day, row, column))
        return;
    Calendar->SetCellTag(row, column, YearDayTag::Build(App().eventDict, day, day.SQLDateTime()));
    Calendar->Invalidate(false);
}
