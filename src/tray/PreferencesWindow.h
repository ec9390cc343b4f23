#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

// "Calendar Preferences": chooses the default calendar (a branding folder beside the
// program) and whether the countdown tile shows when the calendar window is built. The
// tray-icon box is always hidden. Choosing another calendar writes "caldef.dat" at once;
// OK stores changed settings, writes the preferences when one changed, rebuilds the
// calendar window from the new branding when the default calendar changed, and closes the
// window. The window is modal; OK is its only button.
class PreferencesWindow : public Window
{
    Q_OBJECT
public:
    PreferencesWindow();
    ~PreferencesWindow() override;

    static PreferencesWindow* Instance() { return WindowAccessor<PreferencesWindow>::Get(); }
    static PreferencesWindow* Existing() { return WindowAccessor<PreferencesWindow>::Existing(); }

    // Shows the window in front of parent (modal like every showing).
    void ShowWithin(QWidget* parent);

    // The pop-up has changed the default calendar since the window opened.
    bool defaultCalendarChanged = false;

    // ---- controls, in creation order ----
    QTabWidget* TabPanel1 = nullptr;
    QCheckBox* ShowCountdownCB = nullptr;
    QPushButton* OKButton = nullptr;
    QCheckBox* InstallSysTrayCB = nullptr;
    QComboBox* DefaultCalendarPopup = nullptr;
    QLabel* StaticText1 = nullptr;

    // ---- handlers ----
    void ShowCountdownCB_Open();
    void OKButton_Action();
    void OKButton_Open() {}
    void InstallSysTrayCB_Open();
    void DefaultCalendarPopup_Open();
    void DefaultCalendarPopup_Change();

    // The folder that holds the program and its branding folders, where "caldef.dat" is
    // read and written. Tests point it elsewhere ("" restores the program's folder).
    static QString ApplicationFolder();
    static void SetApplicationFolder(const QString& folder);
    // Writes "caldef.dat" in folder: the branding folder's name and a line end, whole and
    // atomically. A failure is reported in a message box; the old file stays as it was.
    static bool WriteDefaultCalendar(const QString& folder, const QString& name);

protected:
    // It has no close box: a close asked of the window manager leaves it open (OK closes it).
    bool Event_CancelClose() override { return true; }
    void Event_Open() override;
    bool Event_KeyDown(QKeyEvent* event) override;


private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers() {}
};
