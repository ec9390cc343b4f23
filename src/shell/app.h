#pragma once
#include "data/EventsFile.h"
#include "data/YearDayTag.h"
#include "framework/Application.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Mutex.h"
#include <QStringList>
#include <future>
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
    // The application is in the background: none of its windows has the keyboard. So it is
    // until a window of it is first made active (a window manager may open it behind the
    // program that has the keyboard), and again whenever the application loses the keyboard.
    // Nothing may ever make it active (a display without a window manager): the tab asks the
    // display whether another program has the keyboard before it acts on the flag.
    bool Deactivated = true;
    bool Closing = false;
    QString PrinterSetupString;
    Date countdownDate;
    Date currentDate;
    bool showCoundownCalendar = false;
    std::shared_ptr<Mutex> appMutex;
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
    // The events file as this run last read or wrote it with keptTodoLines as its to-do
    // part (EventsFileStamp then); empty when unknown. While the file still shows this
    // stamp, a new to-do list takes keptTodoLines instead of reading every event again.
    QString keptTodoLinesStamp;
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
    // The events file's identity, size and change time ("" when there is none): it
    // changes with every write of the file.
    static QString EventsFileStamp();
    static QString EventsFileStamp(const QString& path);
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
    // Takes the single-instance lock when this run has not yet tried (EnterLock), keeps it in
    // appMutex, and refuses this copy when it is not held: a message, then the quit.
    void CheckRunning();
    // Enters the single-instance lock without waiting, once per run; later calls say how that
    // went. main() calls it first thing, before anything of the user's data is read: a copy
    // that another one refuses reads none of it. True while this copy holds the lock.
    static bool EnterLock();
    // Whether EnterLock was called and this copy holds the lock.
    static bool LockHeld();
    void LoadHolidays();
    void LoadSpecialEvents();
    // Start-up's reading of the calendar data: what LoadHolidays, LoadSpecialEvents and
    // LoadUserEvents do, run on a worker thread into a store of its own while the calendar
    // window is made. EventsLoaded waits for it, takes its store, to-do lines and countdown
    // and shows its message; every reader of the calendar data at start-up calls it first
    // (it returns at once when nothing is being read).
    void StartLoadingEvents();
    // Starts reading the events file on a worker thread; StartLoadingEvents takes what it
    // read when the file is still the one it names. A reading already started is kept.
    // largeOnly (before the application object is made): only a file large enough to be
    // read by several threads is started, since the toolkit starts slower beside a reader
    // and only a large file's reading makes up for that; a smaller one is started once the
    // application object is made.
    static void StartReadingEventsFile(bool largeOnly = false);
    // Whether the events file being read ahead is large enough to be read by several threads.
    static bool ReadingLargeEventsFile();
    void EventsLoaded();
    // Waits for the worker that the application object set reading the font database
    // (fontconfig reads the environment while it sets itself up).
    void FontDatabaseRead();
    // The year view's runs of the three calendar years from firstYear: those the start-up
    // worker computed when the store has not changed since, else computed now.
    YearDayTag::Years YearRuns(int firstYear);
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
    // What the quit's close steps would write, from memory: an open countdown dialog's
    // choice, the calendar window's events and to-do list (once its open completed), the
    // preferences.
    void Event_SaveFromMemory() override;

private:
    struct EventsLoad;
    // Takes what LoadUserEvents read: the to-do lines and their stamp, whether the file may
    // be written, and the message for the user.
    void takeLoadedEvents(EventsFile::Status status, const QString& stamp, const QStringList& todoLines,
                          const QString& message);
    std::future<std::shared_ptr<EventsLoad>> m_eventsLoad;
    // The font database read on a worker at start (waited for on destruction).
    std::future<void> m_fontDatabaseRead;
    // The worker's year runs, for the year view's first build, and the store they hold for.
    std::shared_ptr<YearDayTag::Years> m_yearRuns;
    quint64 m_yearRunsRevision = 0;
    int m_yearRunsFirstYear = 0;
    bool m_prefsRead = false;   // GetPrefs ran and found a file or none: this copy owns the preferences file
    // The preferences file is there but could not be used: this run never writes it.
    bool m_prefsUnusable = false;
    bool m_holdsMutex = false;  // CheckRunning entered the lock
    bool m_reloadPending = false;
};

// The one application object.
app& App();
