// The year view: its cell table for the three calendar years, the date-to-cell mapping,
// paging by year (keys, wheel, arrows) and the click on a date.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/calCanvas.h"
#include "data/EventRecord.h"
#include "data/YearDayTag.h"
#include "framework/Date.h"
#include "framework/MessageBox.h"
#include "framework/TextFunctions.h"
#include "framework/UpDownArrows.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace {
const QString kBadEventMessage = QStringLiteral(
    "An error occurred while loading events - an incorrectly formated event was encountered and will be skipped.");
} // namespace

bool CalendarWindow::CalDateCell(const Date& d, int& row, int& column)
{
    const Date first(d.Year(), d.Month(), 1);
    row = (d.Year() - CustomizationModule::calendarStartYear) * 27 + ((d.Month() - 1) / 4) * 9
          + (d.WeekOfYear() - first.WeekOfYear()) + 3;
    column = ((d.Month() - 1) % 4) * 8 + d.DayOfWeek();
    return row >= 0 && row < 81 && column >= 0 && column < 33;
}

QString CalendarWindow::CalDateCell(const Date& d)
{
    int row = 0, column = 0;
    CalDateCell(d, row, column);
    return Str(row) + QLatin1Char(',') + Str(column);
}

void CalendarWindow::Calendar_SetTextFont()
{
    Calendar->TextSize = ToInt(WorkArea::Rect().height() * 0.0138);
    if (!CustomizationModule::monthNamesFont.isEmpty())
        Calendar->TextFont = CustomizationModule::monthNamesFont;
}

void CalendarWindow::Calendar_Open()
{
    const QRect area = WorkArea::Rect();
    const int availW = area.width();
    const int availH = area.height();

    // Geometry: the whole width, the calendar band below the title area.
    Calendar->setGeometry(0, ToInt(availH * CustomizationModule::TitleAreaHeightPercent), availW,
                          ToInt(availH * CustomizationModule::CalendarAreaHeightPercent));
    const int w = Calendar->width();
    const int h = Calendar->height();
    const double leftMargin = CustomizationModule::leftMargin_pct == 0 ? 0.088 : CustomizationModule::leftMargin_pct;
    Calendar->MarginWidth = ToInt(w * leftMargin);
    Calendar->MarginHeight = ToInt(h * CustomizationModule::topMargin_pct);
    Calendar->ColumnsWidth = std::max(1, ToInt(double(w - 6 * Calendar->MarginWidth) / (Calendar->ColumnCount - 2)));
    Calendar->DefaultRowHeight = std::max(1, ToInt(double(h - Calendar->MarginHeight) / 27));
    Calendar_SetTextFont();

    // Grid: twelve month blocks per year, three rows of four.
    Calendar->ClearCells();
    const QStringList letters = QStringLiteral("S,M,T,W,T,F,S").split(QLatin1Char(','));
    for (int y = 0; y <= 2; ++y) {
        const int year = CustomizationModule::calendarStartYear + y;
        for (int i = 0; i <= 2; ++i) {
            for (int j = 0; j <= 3; ++j) {
                const Date first(year, i * 4 + j + 1, 1);
                const int r0 = y * 27 + i * 9;
                const int c0 = j * 8;
                Calendar->SetCellTag(r0 + 1, c0 + 1, NthField(first.LongDate(), QStringLiteral(" "), 2));
                for (int n = 1; n <= 7; ++n)
                    Calendar->SetCellTag(r0 + 2, c0 + n, letters[n - 1]);
                Date day = first;
                day.SetDay(1 - first.DayOfWeek());
                for (int week = 3; week <= 9; ++week) {
                    for (int n = 1; n <= 7; ++n) {
                        day.SetDay(day.Day() + 1);
                        if (day.Month() == first.Month())
                            Calendar->SetCellTag(r0 + week, c0 + n, day.ShortDate());
                    }
                }
            }
        }
    }

    // Events: a day with entries to show takes its whole tag, its short date and the runs
    // of its entries, as made with them (shared, not copied: with many entries the copies
    // cost milliseconds). An entry outside the three years has no cell. A damaged entry
    // skips only itself; one message tells of the first one.
    const YearDayTag::Years years = App().YearRuns(CustomizationModule::calendarStartYear);
    for (const YearDayTag::Years::Day& day : years.days) {
        int row = 0, column = 0;
        if (CalDateCell(day.date, row, column))
            Calendar->SetCellTag(row, column, day.tag);
    }
    if (years.problem != EventRecord::YearViewFit::Shown)
        MsgBox(kBadEventMessage);
}

bool CalendarWindow::Calendar_MouseDown(int x, int y)
{
    const int band = App().selectedDate.Year() - CustomizationModule::calendarStartYear;
    int row = ToInt(double(y - Calendar->MarginHeight) / std::max(1, Calendar->DefaultRowHeight)
                    + Calendar->ScrollPosition + 1);
    const int column = ToInt(double(x - Calendar->MarginWidth) / std::max(1, Calendar->ColumnsWidth));
    row += band * 27;
    if (row < 0 || column < 0 || row > 81 || column > 32)
        return true;
    const QString text = Calendar->CellTag(row, column);
    if (text.length() <= 1)
        return true;
    Date day;
    if (!Date::ParseDate(NthField(text, QStringLiteral("//"), 1), day))
        return true;
    App().selectedDate.SetTotalSeconds(day.TotalSeconds());
    HideHoverTip();
    QPointer<CalendarWindow> self(this);
    ReloadCalLists();
    if (self && !self->IsClosed())
        GlanceOn();
    return true;
}

bool CalendarWindow::Calendar_MouseWheel(int x, int y, int deltaX, int deltaY)
{
    return Event_MouseWheel(x, y, deltaX, deltaY);
}

bool CalendarWindow::Calendar_KeyDown(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        PagePreviousYear();
        break;
    case Qt::Key_PageDown:
        PageNextYear();
        break;
    case Qt::Key_Space:
        App().ReloadCalendarLater();   // from the event loop, not inside this window's handler
        break;
    default:
        break;
    }
    return true;
}

void CalendarWindow::PageNextYear()
{
    if (!Calendar || Calendar->isHidden())
        return;
    if (App().selectedDate.Year() < CustomizationModule::calendarStartYear + 2) {
        App().selectedDate.SetYear(App().selectedDate.Year() + 1);
        HideHoverTip();
        Calendar->Refresh(true);
    }
}

void CalendarWindow::PagePreviousYear()
{
    if (!Calendar || Calendar->isHidden())
        return;
    if (App().selectedDate.Year() > CustomizationModule::calendarStartYear) {
        App().selectedDate.SetYear(App().selectedDate.Year() - 1);
        HideHoverTip();
        Calendar->Invalidate(false);
    }
}

void CalendarWindow::CalendarScrollButton_Open()
{
    // The arrows belong to the year view (shown and hidden with it), 1 pixel inside the
    // right edge and 4 pixels below the top of the calendar area.
    const QRect area = WorkArea::Rect();
    CalendarScrollButton->setParent(Calendar);
    const int left = area.width() - CalendarScrollButton->width() - 1;
    const int top = ToInt(area.height() * CustomizationModule::TitleAreaHeightPercent + 4);
    CalendarScrollButton->move(left - Calendar->x(), top - Calendar->y());
    CalendarScrollButton->setVisible(true);
}

void CalendarWindow::CalendarScrollButton_Up() { PagePreviousYear(); }
void CalendarWindow::CalendarScrollButton_Down() { PageNextYear(); }
