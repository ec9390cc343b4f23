#pragma once
#include "framework/MenuBar.h"

// The program's menu bar: File, Edit and Help.
class Menu : public MenuBar
{
    Q_OBJECT
public:
    // The one menu bar, created on first use.
    static Menu* Instance();

    // Items looked up by name through the whole menu tree.
    static MenuItem* HelpGotoURL();
    static MenuItem* HelpQuickStartHelp();
    static MenuItem* EditToggleCDCanvas();
    static MenuItem* FilePrint();
    static MenuItem* FileClose();

private:
    Menu();
    void Untitled1();   // File
    void Untitled2();   // Edit
    void Untitled4();   // Help
    void addMenu(const QString& name, const QString& text, bool autoEnable);
    void addItem(const QString& menu, const QString& name, MenuItem::Kind kind, const QString& text,
                 const QString& shortcut, bool autoEnable);
};
