#pragma once
#include "framework/Application.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include <QLockFile>
#include <QStringList>
#include <memory>

class AppTrayItem;

// The application object: the shared calendar state, the preferences, start-up and
// shut-down. One instance for the whole run, reached through App().
class app : public Application
{
    Q_OBJECT
public:
    app(int& argc, char** argv);
    ~app() override;

    // Shared calendar state.
    Date selectedDate;
    Dictionary eventDict;
    QStringList evarray = QStringList(6);  // working fields of the iCal importer
    bool Deactivated = false;
    bool Closing = false;
    QString PrinterSetupString;
    Date countdownDate;
    Date currentDate;
    bool showCoundownCalendar = false;
    std::unique_ptr<QLockFile> appMutex;
    AppTrayItem* mAppTrayItem = nullptr;
    bool TrayWindowOpen = false;
    bool installSysTray = false;
    int tabLeft = 0;
    int StartTime = 0;
    bool firstRun = false;
    // The to-do lines of the events file: read at start-up, then updated by every save of
    // the calendar window; a new calendar window fills its to-do list from them.
    QStringList keptTodoLines;
    // The last save of the events file did not reach the disk: keptTodoLines are newer.
    bool todoLinesUnsaved = false;
    // The events file could not be read: this run never writes it.
    bool eventsFileLocked = false;

    // Sets the menu bar and binds the application's seven menu handlers by item name.
    void _ApplicationAddMenuHandlers();

    // Operations of the application object.
    bool _AppleAboutCalendar_Action();
    bool _ApplePreferences_Action();
    bool _HelpHelp_Action();
    bool _EditToggleCDCanvas_Action();
    bool _FileClose_Action();
    bool _FilePrint_Action();
    bool _HelpGotoURL_Action();
    void GetPrefs();
    void PutPrefs();
    void LoadUserEvents();
    // The one writer of the user's events file: writes eventDict with these to-do lines to
    // EventsPath(), unless eventsFileLocked (the file could not be read at start-up). A
    // failure is shown in a message box. Called by CalendarWindow::SaveEvents with the to-do
    // list's lines (or keptTodoLines while there is no to-do list). Returns whether the
    // file was written.
    bool SaveUserEvents(const QStringList& todoLines);
    void LoadiCalEvents();
    void ExtractiCalEvents(const QString& text);
    void FillDateArray();
    void PrintCalendar(const class QImage& picture);
    int getSeason(const Date& date);
    void ReloadCalendar();
    // Re-reads the branding and rebuilds the calendar window from the event loop, once no
    // dialog is open (the rebuild would close it with its parent, input and all); several
    // requests before then make one rebuild.
    void ReloadCalendarLater();
    void CustomizeSolstice() {}
    void CheckRunning();
    void LoadHolidays();
    void LoadSpecialEvents();
    void CustomizeBelvixMini() {}
    void CustomizePellion() {}
    void CustomizeDravel() {}
    bool CalendarWindowOpen();

    // Where the preferences file lives ("LMCalendar.prefs" in the configuration folder).
    static QString PrefsPath();
    // Where the user's events file lives ("Calendar.tpc" in the Documents folder).
    static QString EventsPath();
    // Where the named lock of the single-instance check lives.
    static QString LockPath();

protected:
    void Event_Open() override;
    void Event_Close() override;
    void Event_Deactivate() override;
    void Event_EnableMenuItems() override;
    bool Event_UnhandledException(const std::exception* error) override;

private:
    bool m_prefsRead = false;   // GetPrefs ran: this copy owns the preferences file
    bool m_holdsMutex = false;  // CheckRunning entered the lock
    bool m_reloadPending = false;
};

// The one application object.
app& App();
