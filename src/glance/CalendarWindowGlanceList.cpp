// The week grid of the week at a glance: its place and text size, and a click on a cell,
// which points the selected date at the slot (or the event covering it, or the day note)
// and opens the event dialog.
#include "calendar_window/CalendarWindow.h"
#include "data/WeekGrid.h"
#include "framework/WorkArea.h"
#include "glance/calList.h"
#include "framework/TextFunctions.h"
#include "glance/GlanceInputWindow.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QScreen>

namespace {
// Set while a click of the grid runs the event dialog: further clicks are ignored.
bool s_dialogRunning = false;

bool dialogOpen()
{
    if (s_dialogRunning)
        return true;
    for (Window* window : Window::AllWindows())
        if (qobject_cast<GlanceInputWindow*>(window))
            return true;
    return false;
}
} // namespace

void CalendarWindow::GlanceList_Open()
{
    App().EventsLoaded();
    const int availH = WorkArea::Rect().height();
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    const int headerHeight = GlanceHeader->height();
    GlanceList->move(GlanceList->x(), ToInt(availH * CustomizationModule::TitleAreaHeightPercent + headerHeight));
    GlanceList->resize(GlanceList->width(),
                       std::max(0, ToInt(availH * CustomizationModule::CalendarAreaHeightPercent - headerHeight)));
    GlanceList->SetColumnWidthExpression(0, QStringLiteral("60"));
    GlanceList->SetColumnAlignment(0, ListBox::AlignRight);
    for (int column = 1; column < GlanceList->ColumnCount(); ++column)
        GlanceList->SetColumnAlignment(column, ListBox::AlignCenter);
    if (screenHeight < 769)
        GlanceList->SetTextSize(11);
    if (screenHeight < 601)
        GlanceList->SetTextSize(10);
    GlanceList->LoadEvents(GlanceList);
}

bool CalendarWindow::GlanceList_MouseDown(int x, int y)
{
    if (dialogOpen())
        return true;
    // Row and column from the edges the grid is painted with; only the seven day columns
    // and the slot and day-note rows take clicks.
    const int row = y / std::max(1, GlanceList->RowHeight());
    const int column = GlanceList->ColumnFromXY(x, y);
    if (column < 1 || column > 7 || row < 0 || row > WeekGrid::DayNoteRow || row >= GlanceList->ListCount())
        return true;

    Date& selected = App().selectedDate;
    const int previousColumn = selected.DayOfWeek();
    selected.SetDay(selected.Day() - (selected.DayOfWeek() - column));
    // The selected day's column is shaded: both days' columns change now, and nothing else
    // is sure to repaint them while the dialog runs or after it.
    if (previousColumn != column) {
        GlanceList->InvalidateCell(-1, previousColumn);
        GlanceList->InvalidateCell(-1, column);
    }
    const QString tag = GlanceList->CellTag(row, column);
    const QString code = tag.contains(QLatin1Char('|')) ? NthField(tag, QStringLiteral("|"), 2) : QString();
    if (row == WeekGrid::DayNoteRow) {
        selected.SetHour(0);
        selected.SetMinute(0);
        selected.SetSecond(1);
    } else if (code.isEmpty() || code == QLatin1String("1") || code == QLatin1String("4")) {
        selected.SetHour(App().StartTime + row / 2);
        selected.SetMinute(row % 2 == 1 ? 30 : 0);
        selected.SetSecond(0);
        if (code.isEmpty())
            GlanceList->SetCell(row, column, QStringLiteral(" "));
    } else if (code == QLatin1String("2") || code == QLatin1String("3")) {
        selected.SetSQLDateTime(NthField(tag, QStringLiteral("|"), 1));
    }

    QPointer<calList> grid(GlanceList);
    {
        struct Running {
            Running() { s_dialogRunning = true; }
            ~Running() { s_dialogRunning = false; }
        } running;
        GlanceInputWindow::Instance()->ShowModal();
    }
    if (grid && row < grid->ListCount())
        grid->SetCell(row, column, QString());
    return true;
}

bool CalendarWindow::GlanceList_KeyDown(QKeyEvent*) { return true; }
