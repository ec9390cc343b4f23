#include "calendar_window/CalendarWindow.h"
#include "data/EventsFile.h"
#include "shell/CustomizationModule.h"
#include "shell/Menu.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

CalendarWindow::CalendarWindow()
{
    setWindowTitle(QStringLiteral("Calendar"));
    setWindowFlag(Qt::FramelessWindowHint);
    AddMenuHandler(QStringLiteral("FileClose"), [] { return false; });
    AddMenuHandler(QStringLiteral("FilePrint"), [] { return false; });
    AddMenuHandler(QStringLiteral("EditToggleCDCanvas"), [] { return false; });
    QMenuBar* bar = Menu::Instance()->CreateWidget(this);
    bar->adjustSize();
}

void CalendarWindow::Event_Open()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    setGeometry(area);
    QPalette p = palette();
    p.setColor(QPalette::Window, CustomizationModule::calendarBackgroundColor);
    setPalette(p);
    setAutoFillBackground(true);
    if (auto* bar = findChild<QMenuBar*>())
        bar->move(width() - bar->sizeHint().width(), 0);
}

void CalendarWindow::Event_Close() { SaveEvents(); }
void CalendarWindow::Event_Activate() { App().Deactivated = false; }

void CalendarWindow::Event_EnableMenuItems()
{
    if (MenuItem* item = Menu::Instance()->Child(QStringLiteral("HelpQuickStartHelp")))
        item->Enabled = true;
}

void CalendarWindow::SaveEvents()
{
    // The to-do list arrives with the week at a glance; until then the lines read at
    // start-up are written back unchanged.
    EventsFile::Save(App().keptTodoLines);
}

void CalendarWindow::ScrollUp()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    move(x(), area.top() - height() - 10);
    hide();
}

void CalendarWindow::ScrollDown()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    move(x(), area.top());
    show();
}
