// The glance header: the strip above the week grid with the return arrow, the month and
// year pop-ups, the weekday headings and the week, month and second-month-list buttons.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "framework/WorkArea.h"
#include "glance/calList.h"
#include "framework/Canvas.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/TextFunctions.h"
#include "glance/PopUpMenu.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {

const QStringList& monthNames()
{
    static const QStringList names = QStringLiteral(
        "January,February,March,April,May,June,July,August,September,October,November,December")
                                         .split(QLatin1Char(','));
    return names;
}

// The height of the picture under the weekday headings, which also bounds the upper band.
int lowerBandPictureHeight()
{
    const PicturePtr band = InterfacePictures::glanceHeader2();
    return band ? band->Height() : 0;
}

// Whether y (from the row's top) lies in the upper band of a row of height rowHeight.
bool inUpperBand(int y, int rowHeight) { return y < rowHeight - lowerBandPictureHeight() - 4; }

} // namespace

void CalendarWindow::GlanceHeader_Open()
{
    const QRect area = WorkArea::Rect();
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    GlanceHeader->move(GlanceHeader->x(), ToInt(area.height() * CustomizationModule::TitleAreaHeightPercent));
    GlanceHeader->SetDefaultRowHeight(GlanceHeader->height());
    if (screenHeight <= 768)
        GlanceHeader->SetTextSize(11);
    if (screenHeight <= 600)
        GlanceHeader->SetTextSize(10);

    // Column 0 above the time column, 1 to 7 above the day columns, 8 to 12 above the
    // month lists.
    QStringList widths{QStringLiteral("60")};
    GlanceHeader->SetColumnAlignment(0, ListBox::AlignCenter);
    const QString dayWidth = Str((area.width() - 60 - MiniCalListAt(0)->width()) / 7.0);
    for (int i = 1; i < GlanceList->ColumnCount(); ++i) {
        GlanceHeader->SetColumnAlignment(i, ListBox::AlignCenter);
        widths << dayWidth;
    }
    widths << QStringLiteral("25") << QStringLiteral("25") << QStringLiteral("68") << QStringLiteral("25")
           << QStringLiteral("25");
    GlanceHeader->SetColumnWidths(widths.join(QLatin1Char(',')));
    GlanceHeader->AddRow();
}

bool CalendarWindow::GlanceHeader_CellBackgroundPaint(Graphics& g, int, int column)
{
    const int w = g.Width();
    const int rowHeight = GlanceHeader->RowHeight();
    const PicturePtr upper = InterfacePictures::glanceHeader1();
    const PicturePtr lower = InterfacePictures::glanceHeader2();
    const int lowerHeight = lower ? lower->Height() : 0;

    if (upper)
        g.DrawPicture(upper, 0, 0, w, upper->Height());
    if (column == 0) {
        const PicturePtr arrow = GlanceHeader->MouseEnteredColumn.value(0) ? InterfacePictures::returnArrowNewMO()
                                                                          : InterfacePictures::returnArrowNew();
        if (arrow)
            g.DrawPicture(arrow, 20, 8);
    }

    // Month and year meet across the border between columns 4 and 5.
    const Date& selected = App().selectedDate;
    g.SetForeColor(QColor(240, 240, 240));
    g.SetTextSize(16);
    g.SetBold(true);
    if (column == 4) {
        const QString month = NthField(selected.LongDate(), QStringLiteral(" "), 2);
        g.DrawString(month, w - ToInt(g.StringWidth(month)) - 10, 23);
    } else if (column == 5) {
        g.DrawString(Str(selected.Year()), 10, 23);
    }
    if (lower)
        g.DrawPicture(lower, 0, rowHeight - lowerHeight - 4, w, lowerHeight);
    g.SetBold(false);

    if (column >= 1 && column <= 7) {
        Date day = selected;
        day.SetDay(day.Day() - day.DayOfWeek() + column);
        const QString text = NthField(day.LongDate(), QStringLiteral(" "), 1) + QStringLiteral(" ") + Str(day.Day());
        g.SetForeColor(QColor(254, 254, 254));
        g.SetTextSize(12);
        g.DrawString(text, ToInt(w / 2.0 - ToInt(g.StringWidth(text)) / 2.0), rowHeight - 10);
    }

    g.SetBold(true);
    if (column >= 8 && column <= 12) {
        g.SetForeColor(QColor(160, 160, 160));
        g.SetTextFont(QStringLiteral("Webdings"));
        g.SetTextSize(15);
        const int baseline = rowHeight - 7;
        switch (column) {
        case 8: g.DrawString(QStringLiteral("3"), 14, baseline); break;
        case 9: g.DrawString(QStringLiteral("4"), -2, baseline); break;
        case 10: {
            const double side = 8 / std::sqrt(2.0);
            g.FillRotatedRect(w / 2, rowHeight - 13, side, side, M_PI / 4);
            break;
        }
        case 11: g.DrawString(QStringLiteral("5"), 12, baseline); break;
        default: g.DrawString(QStringLiteral("6"), -2, baseline); break;
        }
    }
    return false;
}

bool CalendarWindow::GlanceHeader_CellClick(int, int column, int, int y)
{
    Date& selected = App().selectedDate;
    QPointer<CalendarWindow> self(this);
    // A pop-up menu runs its own event loop: the window may have closed meanwhile.
    auto stillOpen = [&self] { return self && !self->IsClosed(); };
    if (inUpperBand(y, GlanceHeader->RowHeight())) {
        if (column == 0) {
            GlanceOff();
        } else if (column == 4) {
            // The month is the chosen item's place in the menu.
            const int chosen = PopUpMenu::Show(monthNames());
            if (chosen >= 0 && stillOpen()) {
                selected.SetMonth(chosen + 1);
                ReloadCalLists();
            }
        } else if (column == 5) {
            const int first = CustomizationModule::calendarStartYear;
            const QStringList years{Str(first), Str(first + 1), Str(first + 2)};
            const int chosen = PopUpMenu::Show(years);
            if (chosen >= 0 && stillOpen()) {
                selected.SetYear(ToInt(Val(years.at(chosen))));
                ReloadCalLists();
            }
        }
        return true;
    }

    switch (column) {
    case 8: selected.SetDay(selected.Day() - 7); break;
    case 9: selected.SetDay(selected.Day() + 7); break;
    case 10: {
        // Shows or hides the second month list; the to-do block moves below it.
        MiniCalList* second = MiniCalListAt(1);
        const int h = MiniCalListAt(0)->height();
        const int step = second->isHidden() ? h : -h;
        ToDoListHeader->move(ToDoListHeader->x(), ToDoListHeader->y() + step);
        TodoList->setGeometry(TodoList->x(), TodoList->y() + step, TodoList->width(), TodoList->height() - step);
        second->setVisible(step > 0);
        TodoList->SetScrollBarVertical(TodoList->height() < (TodoList->ListCount() + 3) * TodoList->RowHeight());
        break;
    }
    case 11: selected.SetMonth(selected.Month() - 1); break;
    case 12: selected.SetMonth(selected.Month() + 1); break;
    default: return true;
    }
    ReloadCalLists();
    return true;
}

void CalendarWindow::GlanceHeader_MouseMove(int x, int y)
{
    const PicturePtr upper = InterfacePictures::glanceHeader1();
    const bool overArrow = x < GlanceHeader->ColumnWidthActual(0) && y < (upper ? upper->Height() : 0);
    if (overArrow) {
        GlanceHeader->MouseEnteredColumn[0] = true;
    } else if (GlanceHeader->MouseEnteredColumn.value(0)) {
        GlanceHeader->MouseEnteredColumn[0] = false;
    } else {
        return;
    }
    if (GlanceHeader->ListCount() > 0)
        GlanceHeader->InvalidateCell(0, 0);
}

void CalendarWindow::GlanceHeader_MouseExit()
{
    if (!GlanceHeader->MouseEnteredColumn.value(0))
        return;
    GlanceHeader->MouseEnteredColumn[0] = false;
    if (GlanceHeader->ListCount() > 0)
        GlanceHeader->InvalidateCell(0, 0);
}
