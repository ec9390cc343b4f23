#include "shell/Menu.h"
#include "framework/Exceptions.h"

using Kind = MenuItem::Kind;

Menu* Menu::Instance()
{
    static Menu* menu = new Menu();
    return menu;
}

Menu::Menu()
{
    Untitled1();
    Untitled2();
    Untitled4();
}

void Menu::addMenu(const QString& name, const QString& text, bool autoEnable)
{
    Append(std::make_shared<MenuItem>(name, text, QString(), autoEnable));
}

void Menu::addItem(const QString& menu, const QString& name, Kind kind, const QString& text,
                   const QString& shortcut, bool autoEnable)
{
    MenuItem* parent = Child(menu);
    if (!parent)
        throw NilObjectException("no menu " + menu.toStdString());
    parent->Append(std::make_shared<MenuItem>(name, text, shortcut, autoEnable, kind));
}

void Menu::Untitled1()
{
    const QString m = QStringLiteral("FileMenu");
    addMenu(m, QStringLiteral("File"), false);
    addItem(m, QStringLiteral("FileClose"), Kind::Normal, QStringLiteral("Close"), QStringLiteral("Cmd+W"), false);
    addItem(m, QStringLiteral("UntitledMenu1"), Kind::Normal, QStringLiteral("-"), QString(), true);
    addItem(m, QStringLiteral("FilePrint"), Kind::Normal, QStringLiteral("Print"), QStringLiteral("Cmd+P"), false);
    addItem(m, QStringLiteral("UntitledMenu3"), Kind::Normal, QStringLiteral("-"), QString(), false);
    addItem(m, QStringLiteral("FileQuit"), Kind::Quit, QStringLiteral("Quit"), QStringLiteral("Cmd+Q"), true);
}

void Menu::Untitled2()
{
    const QString m = QStringLiteral("EditMenu");
    addMenu(m, QStringLiteral("Edit"), false);
    addItem(m, QStringLiteral("EditUndo"), Kind::Normal, QStringLiteral("Undo"), QStringLiteral("Cmd+Z"), false);
    addItem(m, QStringLiteral("UntitledMenu1"), Kind::Normal, QStringLiteral("-"), QString(), false);
    addItem(m, QStringLiteral("EditCut"), Kind::Normal, QStringLiteral("Cut"), QStringLiteral("Cmd+X"), false);
    addItem(m, QStringLiteral("EditCopy"), Kind::Normal, QStringLiteral("Copy"), QStringLiteral("Cmd+C"), false);
    addItem(m, QStringLiteral("EditPaste"), Kind::Normal, QStringLiteral("Paste"), QStringLiteral("Cmd+V"), false);
    addItem(m, QStringLiteral("EditClear"), Kind::Normal, QStringLiteral("Clear"), QString(), false);
    addItem(m, QStringLiteral("AppleAboutCalendar"), Kind::AppleMenu, QStringLiteral("About Calendar"), QString(), true);
    addItem(m, QStringLiteral("UntitledMenu6"), Kind::AppleMenu, QStringLiteral("-"), QString(), false);
    addItem(m, QStringLiteral("ApplePreferences"), Kind::Prefs, QStringLiteral("Preferences"), QString(), true);
    addItem(m, QStringLiteral("UntitledMenu0"), Kind::Normal, QStringLiteral("-"), QString(), true);
    addItem(m, QStringLiteral("EditToggleCDCanvas"), Kind::Normal, QStringLiteral("Show Countdown Event"), QString(), false);
}

void Menu::Untitled4()
{
    const QString m = QStringLiteral("HelpMenu");
    addMenu(m, QStringLiteral("Help"), true);
    addItem(m, QStringLiteral("HelpHelp"), Kind::Normal, QStringLiteral("Help"), QString(), true);
    addItem(m, QStringLiteral("HelpQuickStartHelp"), Kind::Normal, QStringLiteral("Quick Start Help"), QString(), true);
    addItem(m, QStringLiteral("UntitledItem"), Kind::Normal, QStringLiteral("-"), QString(), true);
    addItem(m, QStringLiteral("HelpGotoURL"), Kind::Normal, QStringLiteral("GotoURL"), QString(), true);
}

namespace {
MenuItem* lookup(const char* name)
{
    MenuItem* item = Menu::Instance()->Child(QString::fromLatin1(name));
    if (!item)
        throw NilObjectException(std::string("no menu item ") + name);
    return item;
}
} // namespace

MenuItem* Menu::HelpGotoURL() { return lookup("HelpGotoURL"); }
MenuItem* Menu::HelpQuickStartHelp() { return lookup("HelpQuickStartHelp"); }
MenuItem* Menu::EditToggleCDCanvas() { return lookup("EditToggleCDCanvas"); }
MenuItem* Menu::FilePrint() { return lookup("FilePrint"); }
MenuItem* Menu::FileClose() { return lookup("FileClose"); }
