#pragma once
#include "../calendar_window/CalendarWindowFixture.h"
#include "framework/MenuItem.h"
#include "tray/AboutWindow.h"
#include "tray/AboutWindowCustom.h"
#include "tray/AppTrayItem.h"
#include "tray/HelpWindow.h"
#include "tray/PreferencesWindow.h"
#include "tray/TabWindow.h"
#include "tray/TrayWindow.h"

// The calendar fixture, with every window of the tray and auxiliary set closed after each
// test and the shared state they touch put back.
class TrayFixture : public CalendarWindowFixture
{
protected:
    void SetUp() override
    {
        CalendarWindowFixture::SetUp();
        m_folder = CM::DefaultCalendarFolder;
        m_name = CM::applicationName;
        m_copyright = CM::otherCopyright;
        CM::applicationName = QStringLiteral("Lumora Calendar");
        CM::otherCopyright.clear();
        CM::backgroundImage = nullptr;
        CM::topLogoImage = nullptr;
        App().TrayWindowOpen = false;
        App().installSysTray = true;
        App().showCoundownCalendar = false;
    }

    void TearDown() override
    {
        closeAll();
        PreferencesWindow::SetApplicationFolder(QString());
        delete App().mAppTrayItem;
        App().mAppTrayItem = nullptr;
        CM::DefaultCalendarFolder = m_folder;
        CM::applicationName = m_name;
        CM::otherCopyright = m_copyright;
        CM::customAboutWindow = false;
        CalendarWindowFixture::TearDown();
    }

    static void closeAll()
    {
        if (TrayWindow* w = TrayWindow::Existing())
            w->CloseWindow();
        if (PreferencesWindow* w = PreferencesWindow::Existing())
            w->CloseWindow();
        if (HelpWindow* w = HelpWindow::Existing())
            w->CloseWindow();
        if (AboutWindow* w = AboutWindow::Existing())
            w->CloseWindow();
        if (AboutWindowCustom* w = AboutWindowCustom::Existing())
            w->CloseWindow();
        if (TabWindow* w = TabWindow::Existing())
            w->CloseWindow();
        flush();
    }

    // The texts of a menu's items, in order.
    static QStringList texts(const MenuItem& menu)
    {
        QStringList result;
        for (int i = 0; i < menu.Count(); ++i)
            result << menu.Item(i)->Text;
        return result;
    }

private:
    QString m_folder, m_name, m_copyright;
};

// For as long as it lives, the tab's presses find another program's window with the keyboard,
// or none: the offscreen platform knows of no other program.
class AnotherProgramHasTheKeyboard
{
public:
    explicit AnotherProgramHasTheKeyboard(bool has) : m_saved(TabWindow::AnotherProgramActive)
    {
        TabWindow::AnotherProgramActive = has ? +[] { return true; } : +[] { return false; };
    }
    ~AnotherProgramHasTheKeyboard() { TabWindow::AnotherProgramActive = m_saved; }
    AnotherProgramHasTheKeyboard(const AnotherProgramHasTheKeyboard&) = delete;
    AnotherProgramHasTheKeyboard& operator=(const AnotherProgramHasTheKeyboard&) = delete;

private:
    bool (*const m_saved)();
};
