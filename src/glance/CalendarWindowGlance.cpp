// The calendar window's switch between the year view and the week at a glance, the
// reload of the week's lists, the year view's day cells after an edit, and the stand-ins
// of the to-do list, the countdown tile and printing.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "data/EventsFile.h"
#include "data/calList.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/TextFunctions.h"
#include "framework/UpDownArrows.h"
#include "glance/YearDayTag.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QGuiApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace {
int availableHeight() { return QGuiApplication::primaryScreen()->availableGeometry().height(); }
} // namespace

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

// ---- to-do list: rows kept from the events file, placed below the month list ----

bool CalendarWindow::TodoList_CellBackgroundPaint(Graphics&, int, int) { return false; }
bool CalendarWindow::TodoList_MouseDown(int, int) { return false; }
bool CalendarWindow::TodoList_DragReorderRows(int, int) { return false; }
void CalendarWindow::TodoList_DoubleClick(int, int) {}
bool CalendarWindow::TodoList_CellClick(int, int, int, int) { return false; }

// The to-do rows as the events file held them at start-up, so that saving keeps them.
void CalendarWindow::TodoList_Open()
{
    const int h = availableHeight();
    const int above = GlanceHeader->height() + MiniCalListAt(0)->height() + ToDoListHeader->height();
    TodoList->move(TodoList->x(), ToInt(h * CustomizationModule::TitleAreaHeightPercent + above));
    TodoList->resize(TodoList->width(), std::max(0, ToInt(h * CustomizationModule::CalendarAreaHeightPercent - above)));
    TodoList->SetColumnType(0, ListBox::TypeCheckBox);
    for (const QString& line : App().keptTodoLines) {
        bool checked = false;
        QString text;
        EventsFile::ParseTodoLine(line, checked, text);
        const int row = TodoList->AddRow(QStringList{QString(), text});
        TodoList->SetCellCheck(row, 0, checked);
    }
}

void CalendarWindow::TodoList_CellAction(int, int) {}
void CalendarWindow::TodoList_Change() {}

// The to-do header stands directly below the first month list.
void CalendarWindow::ToDoListHeader_Open()
{
    const int h = availableHeight();
    ToDoListHeader->move(ToDoListHeader->x(), ToInt(h * CustomizationModule::TitleAreaHeightPercent
                                                    + GlanceHeader->height() + MiniCalListAt(0)->height()));
}

void CalendarWindow::ToDoListHeader_Paint(Graphics& g)
{
    if (const PicturePtr band = InterfacePictures::glanceHeader2())
        g.DrawPicture(band, 0, 0, ToDoListHeader->width(), ToDoListHeader->height(), 0, 0, band->Width(), band->Height());
    g.SetForeColor(QColor(254, 254, 254));
    g.SetTextSize(11);
    g.SetBold(true);
    g.DrawString(QStringLiteral("To Do List"), 16, 14);
}

bool CalendarWindow::ToDoListHeader_MouseDown(int, int) { return false; }

// ---- countdown tile: placed, rendered and dragged ----

void CalendarWindow::CountdownCanvas_MouseDrag(int x, int y)
{
    const QPoint to = CountdownCanvas->pos() + QPoint(x - CountdownCanvas->InX, y - CountdownCanvas->InY);
    if (to != CountdownCanvas->pos()) {
        CountdownCanvas->move(to);
        CountdownCanvas->iMoved = true;
    }
}

void CalendarWindow::CountdownCanvas_MouseUp(int, int) { CountdownCanvas->Refresh(); }

bool CalendarWindow::CountdownCanvas_MouseDown(int x, int y)
{
    CountdownCanvas->InX = x;
    CountdownCanvas->InY = y;
    CountdownCanvas->iMoved = false;
    return true;
}

void CalendarWindow::CountdownCanvas_Open()
{
    const int availH = availableHeight();
    CountdownCanvas->move(5, ToInt(availH * CustomizationModule::TitleAreaHeightPercent
                                   + availH * CustomizationModule::CalendarAreaHeightPercent
                                   - CountdownCanvas->height() - 5));
    CountdownCanvas->updateCountdown();
    CountdownCanvas->setVisible(App().showCoundownCalendar);
}

void CalendarWindow::CountdownCanvas_Paint(Graphics& g)
{
    if (CountdownCanvas->cachedImage)
        g.DrawPicture(CountdownCanvas->cachedImage, 0, 0);
}

// ---- printing: the hidden controls come back ----

void CalendarWindow::PrintTimer_Action()
{
    TabWindow::Instance()->setVisible(true);
    theTimeText->setVisible(!CustomizationModule::hideTime);
    CalendarScrollButton->setVisible(true);
    MainMenuButton->setVisible(false);
}
