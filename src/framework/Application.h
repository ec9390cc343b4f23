#pragma once
#include <QApplication>
#include <QHash>
#include <functional>
#include <exception>

class MenuBar;
class Window;

// The application object of the framework: raises Open once the event loop runs, routes
// every exception that no handler caught to Event_UnhandledException (one dialog at a
// time), dispatches menu items (front window first, then the application), runs the
// enable pass before a menu opens or a shortcut fires, and quits by closing the windows,
// running Event_Close and leaving the event loop. SIGTERM, SIGHUP and SIGINT (what a
// desktop session, systemctl and a terminal send; see QuitSignals) and the end of the desktop
// session run that same quit with status 0, unattended (QuitUnattended). Where the event loop
// cannot run the quit (the display went away, or the loop is held up), EndAtOnce ends the
// process after writing what only memory holds (Event_SaveFromMemory).
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    ~Application() override;

    static Application* Instance();

    // Runs the event loop; Event_Open is raised first. Returns the exit status.
    int Run();
    // Closes every window, the newest first (their close handlers run, hidden windows
    // included), then runs Event_Close, then leaves the event loop with status. Runs once;
    // later calls do nothing.
    void Quit(int status = 0);
    // Quit with nobody there to click (a signal, the session's end): no message box waits,
    // their texts go to standard error (MessageBox::SetUnattended); a quit already under way,
    // maybe waiting for a click, goes on so.
    void QuitUnattended(int status = 0);
    bool IsQuitting() const { return m_quitting; }

    void SetMenuBar(MenuBar* bar) { m_menuBar = bar; }
    MenuBar* GetMenuBar() const { return m_menuBar; }
    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    // The front window's handler first; when it returns false or there is none, the
    // application's handler. Returns whether one of them handled it. An item chosen in a
    // window's own menu bar passes that window as chosenIn: it is the front window for
    // that choice, whichever window holds the keyboard focus (a click on a menu bar
    // activates nothing). Without it (a shortcut), the active window is the front one.
    bool DispatchMenuItem(const QString& itemName, Window* chosenIn = nullptr);
    // Resets every item to its AutoEnable state, then the front window's (chosenIn, as
    // above) and the application's enabling handlers run.
    void RunEnableMenuItems(Window* chosenIn = nullptr);

    // Runs action from the event loop once no modal window or message box is open and no
    // window is in the middle of opening, looking again every quarter second until then, so
    // that what it closes never takes a dialog's unsaved input with it. Dropped once
    // quitting has begun.
    void WhenNoDialog(std::function<void()> action);
    static constexpr int DialogRecheckMs = 250;

    // Hands an exception to the unhandled-exception handler (one dialog at a time).
    void ReportException(const std::exception* error);

    // Writes what the user typed that only memory holds (Event_SaveFromMemory), reading
    // memory only: nothing here needs the display or the event loop. Exceptions end here.
    void SaveFromMemory();
    // Ends the process at once, without the event loop or the global destructors (workers
    // may still be decoding or reading): with save, what memory holds is written first (on
    // the main thread, or while it waits); then the single-instance lock's file is removed,
    // line goes to standard error, and the process ends with status. The first thread to
    // call it ends the process; another one waits for that end; the same one again (its save
    // ran into it) goes straight to the end.
    [[noreturn]] static void EndAtOnce(int status, const QByteArray& line, bool save);
    // EndAtOnce's last steps alone (the lock's file, the line, the end), safe in a signal
    // handler.
    [[noreturn]] static void EndNow(int status, const QByteArray& line);
    // From here on EndNow writes its line to standard error as it is now, also while standard
    // error points elsewhere for a while (DisplayConnection catches what libxcb writes there).
    static void KeepStandardError();

    bool notify(QObject* receiver, QEvent* event) override;

    // Whether the application was in the background (read by the tab window at a press).
    bool AutoQuit = false;

protected:
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_Deactivate() {}
    virtual void Event_EnableMenuItems() {}
    virtual bool Event_UnhandledException(const std::exception*) { return true; }
    // See SaveFromMemory; messages go to standard error there, never to a box.
    virtual void Event_SaveFromMemory() {}

private:
    bool handleShortcut(QEvent* event);
    void catchQuitSignals();
    QHash<QString, std::function<bool()>> m_menuHandlers;
    MenuBar* m_menuBar = nullptr;
    bool m_quitting = false;
    bool m_inExceptionDialog = false;
    int m_exitStatus = 0;
};
