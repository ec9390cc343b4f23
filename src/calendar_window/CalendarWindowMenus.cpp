// The window's view of the menu bar (items by name), its menu handlers and its menu
// enabling, and the main pop-up menu of the main menu button.
#include "calendar_window/CalendarWindow.h"
#include "framework/ShowURL.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "framework/Timer.h"
#include "shell/CustomizationModule.h"
#include "shell/Menu.h"
#include "shell/app.h"
#include "tray/AboutWindow.h"
#include "tray/AboutWindowCustom.h"
#include "tray/HelpWindow.h"
#include "tray/PreferencesWindow.h"
#include "tray/TabWindow.h"
#include <QCursor>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QUrl>

namespace {
MenuItem* item(const char* name) { return Menu::Instance()->Child(QString::fromLatin1(name)); }
} // namespace

MenuItem* CalendarWindow::HelpMenu() const { return item("HelpMenu"); }
MenuItem* CalendarWindow::HelpGotoURL() const { return item("HelpGotoURL"); }
MenuItem* CalendarWindow::UntitledItem() const { return item("UntitledItem"); }
MenuItem* CalendarWindow::HelpQuickStartHelp() const { return item("HelpQuickStartHelp"); }
MenuItem* CalendarWindow::HelpHelp() const { return item("HelpHelp"); }
MenuItem* CalendarWindow::EditMenu() const { return item("EditMenu"); }
MenuItem* CalendarWindow::EditToggleCDCanvas() const { return item("EditToggleCDCanvas"); }
MenuItem* CalendarWindow::UntitledMenu0() const { return item("UntitledMenu0"); }
MenuItem* CalendarWindow::ApplePreferences() const { return item("ApplePreferences"); }
MenuItem* CalendarWindow::UntitledMenu6() const { return item("UntitledMenu6"); }
MenuItem* CalendarWindow::AppleAboutCalendar() const { return item("AppleAboutCalendar"); }
MenuItem* CalendarWindow::EditClear() const { return item("EditClear"); }
MenuItem* CalendarWindow::EditPaste() const { return item("EditPaste"); }
MenuItem* CalendarWindow::EditCopy() const { return item("EditCopy"); }
MenuItem* CalendarWindow::EditCut() const { return item("EditCut"); }
// Two separators carry this name; the first (in the File menu) is found.
MenuItem* CalendarWindow::UntitledMenu1() const { return item("UntitledMenu1"); }
MenuItem* CalendarWindow::EditUndo() const { return item("EditUndo"); }
MenuItem* CalendarWindow::FileMenu() const { return item("FileMenu"); }
MenuItem* CalendarWindow::FileQuit() const { return item("FileQuit"); }
MenuItem* CalendarWindow::UntitledMenu3() const { return item("UntitledMenu3"); }
MenuItem* CalendarWindow::FilePrint() const { return item("FilePrint"); }
MenuItem* CalendarWindow::FileClose() const { return item("FileClose"); }
// No item carries this name: nullptr.
MenuItem* CalendarWindow::UntitledMenu5() const { return item("UntitledMenu5"); }

void CalendarWindow::AddMenuHandlers()
{
    AddMenuHandler(QStringLiteral("EditToggleCDCanvas"), [this] { return _EditToggleCDCanvas_Action(); });
    AddMenuHandler(QStringLiteral("FileClose"), [this] { return _FileClose_Action(); });
    AddMenuHandler(QStringLiteral("FilePrint"), [this] { return _FilePrint_Action(); });
    AddMenuHandler(QStringLiteral("HelpQuickStartHelp"), [this] { return _HelpQuickStartHelp_Action(); });
}

void CalendarWindow::Event_EnableMenuItems()
{
    if (MenuItem* help = HelpQuickStartHelp())
        help->Enabled = true;
}

bool CalendarWindow::_EditToggleCDCanvas_Action() { return false; }
bool CalendarWindow::_FileClose_Action() { return false; }
bool CalendarWindow::_FilePrint_Action() { return false; }

bool CalendarWindow::_HelpQuickStartHelp_Action()
{
    QPointer<CalendarWindow> self(this);
    if (Calendar->isHidden())
        GlanceOff();
    if (self && !self->IsClosed())
        QuickStartHelp->setVisible(true);
    return false;
}

void CalendarWindow::MainMenuButton_Open()
{
    if (QWidget* container = MainMenuButton->parentWidget(); container && container != this)
        MainMenuButton->setParent(this);
    MainMenuButton->setVisible(false);
    MainMenuButton->SetTextColor(CustomizationModule::menuColor);
}

QStringList CalendarWindow::MainMenuEntries(bool yearViewShown, bool countdownShown, const QString& vendorURL)
{
    const QString separator = QStringLiteral("-");
    return {QStringLiteral("Help"),
            QStringLiteral("Quick Start Help"),
            separator,
            yearViewShown ? QStringLiteral("Print Calendar") : QStringLiteral("Print Week At A Glance"),
            separator,
            countdownShown ? QStringLiteral("Hide Countdown Event") : QStringLiteral("Show Countdown Event"),
            QStringLiteral("Preferences"),
            separator,
            QStringLiteral("Goto ") + vendorURL,
            separator,
            QStringLiteral("About Calendar"),
            separator,
            QStringLiteral("Exit")};
}

void CalendarWindow::MainMenuButton_Action()
{
    try {
        const QStringList entries =
            MainMenuEntries(!Calendar->isHidden(), !CountdownCanvas->isHidden(), CustomizationModule::vendorURL);
        QMenu menu;
        for (const QString& text : entries) {
            if (text == QLatin1String("-"))
                menu.addSeparator();
            else
                menu.addAction(text);
        }
        QPointer<CalendarWindow> self(this);
        QAction* chosen = menu.exec(QCursor::pos());
        if (!chosen || !self || self->IsClosed())
            return;
        RunMainMenuCommand(chosen->text());
    } catch (...) {
    }
}

bool CalendarWindow::RunMainMenuCommand(const QString& text)
{
    if (text == QLatin1String("Help")) {
        HelpWindow::Instance()->show();
    } else if (text == QLatin1String("Quick Start Help")) {
        _HelpQuickStartHelp_Action();
    } else if (text == QLatin1String("Print Calendar") || text == QLatin1String("Print Week At A Glance")) {
        TabWindow::Instance()->setVisible(false);
        theTimeText->setVisible(false);
        MainMenuButton->setVisible(false);
        update();
        PrintTimer->SetMode(Timer::ModeSingle);
    } else if (text == QLatin1String("Show Countdown Event")) {
        CountdownCanvas->setVisible(true);
    } else if (text == QLatin1String("Hide Countdown Event")) {
        CountdownCanvas->setVisible(false);
    } else if (text == QLatin1String("Preferences")) {
        PreferencesWindow::Instance()->show();
    } else if (text == QStringLiteral("Goto ") + CustomizationModule::vendorURL) {
        ShowURL(CustomizationModule::vendorURL);
    } else if (text == QLatin1String("About Calendar")) {
        if (CustomizationModule::customAboutWindow)
            AboutWindowCustom::Instance()->show();
        else
            AboutWindow::Instance()->show();
    } else if (text == QLatin1String("Exit")) {
        App().Quit(0);
    } else {
        return false;
    }
    return true;
}

