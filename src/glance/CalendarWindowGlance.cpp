// The calendar window's week at a glance (header, week grid, month lists), its to-do list,
// its countdown tile and printing.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "data/EventsFile.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/TextFunctions.h"
#include "framework/UpDownArrows.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

void CalendarWindow::GlanceOn()
{
    GlanceHeader->setVisible(true);
    GlanceList->setVisible(true);
    MiniCalListAt(0)->setVisible(true);
    ToDoListHeader->setVisible(true);
    TodoList->setVisible(true);
    MiniCalListAt(1)->setVisible(MiniCalListAt(1)->y() + 10 < ToDoListHeader->y());
    Calendar->setVisible(false);
    for (int i = 1; i <= 5; ++i)
        floatingLinkCanvasAt(i)->setVisible(false);
}

void CalendarWindow::GlanceOff()
{
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

void CalendarWindow::ReloadCalLists() {}
void CalendarWindow::AddEvent() {}
void CalendarWindow::RemoveEvent(const QString&) {}

void CalendarWindow::GlanceHeader_Open() {}
bool CalendarWindow::GlanceHeader_CellClick(int, int, int, int) { return true; }
bool CalendarWindow::GlanceHeader_CellBackgroundPaint(Graphics&, int, int) { return false; }
void CalendarWindow::GlanceHeader_MouseMove(int, int) {}
void CalendarWindow::GlanceHeader_MouseExit() {}

void CalendarWindow::MiniCalList_Open(int) {}
bool CalendarWindow::MiniCalList_KeyDown(int, QKeyEvent*) { return true; }
bool CalendarWindow::MiniCalList_CellBackgroundPaint(int, Graphics&, int, int) { return false; }
bool CalendarWindow::MiniCalList_CellClick(int, int, int, int, int) { return true; }

void CalendarWindow::GlanceList_Open() {}
bool CalendarWindow::GlanceList_MouseDown(int, int) { return true; }
bool CalendarWindow::GlanceList_KeyDown(QKeyEvent*) { return true; }
bool CalendarWindow::GlanceList_CellBackgroundPaint(Graphics&, int, int) { return false; }

bool CalendarWindow::TodoList_CellBackgroundPaint(Graphics&, int, int) { return false; }
bool CalendarWindow::TodoList_MouseDown(int, int) { return false; }
bool CalendarWindow::TodoList_DragReorderRows(int, int) { return false; }
void CalendarWindow::TodoList_DoubleClick(int, int) {}
bool CalendarWindow::TodoList_CellClick(int, int, int, int) { return false; }

// The to-do rows as the events file held them at start-up, so that saving keeps them.
void CalendarWindow::TodoList_Open()
{
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

void CalendarWindow::ToDoListHeader_Open() {}
void CalendarWindow::ToDoListHeader_Paint(Graphics&) {}
bool CalendarWindow::ToDoListHeader_MouseDown(int, int) { return false; }

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
    const int availH = QGuiApplication::primaryScreen()->availableGeometry().height();
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

void CalendarWindow::PrintTimer_Action()
{
    TabWindow::Instance()->setVisible(true);
    theTimeText->setVisible(!CustomizationModule::hideTime);
    CalendarScrollButton->setVisible(true);
    MainMenuButton->setVisible(false);
}
