#include "shell/app.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/Date.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/MessageBox.h"
#include "framework/QuitSignals.h"
#include "framework/ShowURL.h"
#include "framework/TextFunctions.h"
#include "framework/WindowManagerHints.h"
#include "glance/CountdownInputWindow.h"
#include "shell/CustomizationModule.h"
#include "shell/Menu.h"
#include "tray/AboutWindow.h"
#include "tray/AboutWindowCustom.h"
#include "tray/AppTrayItem.h"
#include "tray/HelpWindow.h"
#include "tray/PreferencesWindow.h"
#include "tray/TabWindow.h"
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <QUrl>
#include <malloc.h>
#include <system_error>

namespace {
app* g_app = nullptr;

// The single-instance lock as EnterLock left it: taken before the application object is
// made, handed to it by CheckRunning.
struct RunLock {
    std::shared_ptr<Mutex> mutex;
    bool folderMade = false;
};

RunLock& runLock()
{
    static RunLock lock;
    return lock;
}
} // namespace

app& App() { return *g_app; }

app::app(int& argc, char** argv) : Application(argc, argv)
{
    g_app = this;
    if (LockHeld())
        StartReadingEventsFile();   // one that main() did not start
    setApplicationName(QStringLiteral("Lumora Calendar"));
    setApplicationVersion(QStringLiteral(LUMORA_VERSION));
    // The font database (fontconfig's set-up and the installed fonts taken in: 3 ms with
    // the DejaVu and Liberation fonts alone, 7 ms with a desktop's Noto fonts, 20 ms with
    // 2,000 fonts) is read on a worker while the branding is read and the window's controls
    // are made: their first font then finds it ready or nearly so. Only the families that
    // the calendar's fonts map to are looked up. Qt guards the database for use from any
    // thread; font engines stay per thread. Not while a large events file is being read:
    // its threads keep every core busy, and the window waits for its events longer than
    // the database takes on the main thread.
    if (!ReadingLargeEventsFile()) {
        try {
            m_fontDatabaseRead = std::async(std::launch::async, [] { Graphics::ReadMappedFamilies(); });
        } catch (const std::system_error& e) {
            // The first font then reads the database on the main thread.
            qWarning("No thread could be started to read the font database ahead: %s", e.what());
        }
    }
}

app::~app()
{
    FontDatabaseRead();
    CustomizationModule::DropDecodedAhead();   // a copy that quit before reading the branding
    delete mAppTrayItem;
    mAppTrayItem = nullptr;
    if (g_app == this)
        g_app = nullptr;
}

void app::FontDatabaseRead()
{
    if (m_fontDatabaseRead.valid())
        m_fontDatabaseRead.wait();
}

QString app::PrefsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/LMCalendar.prefs");
}

QString app::EventsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Calendar.tpc");
}

QString app::LockPath()
{
    // Beside the preferences that it guards: every copy that would write the same
    // preferences and events files meets the same lock, whatever runtime or temporary folder
    // its environment names (a terminal, sudo or ssh may name none, or another one).
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Desktop Lumora Calendar.lock");
}

void app::_ApplicationAddMenuHandlers()
{
    SetMenuBar(Menu::Instance());
    AddMenuHandler(QStringLiteral("AppleAboutCalendar"), [this] { return _AppleAboutCalendar_Action(); });
    AddMenuHandler(QStringLiteral("ApplePreferences"), [this] { return _ApplePreferences_Action(); });
    AddMenuHandler(QStringLiteral("HelpHelp"), [this] { return _HelpHelp_Action(); });
    AddMenuHandler(QStringLiteral("EditToggleCDCanvas"), [this] { return _EditToggleCDCanvas_Action(); });
    AddMenuHandler(QStringLiteral("FileClose"), [this] { return _FileClose_Action(); });
    AddMenuHandler(QStringLiteral("FilePrint"), [this] { return _FilePrint_Action(); });
    AddMenuHandler(QStringLiteral("HelpGotoURL"), [this] { return _HelpGotoURL_Action(); });
}

void app::Event_Open()
{
    CheckRunning();
    if (Closing)
        return;
    // The branding's pictures, the longest part of the window's making, start decoding now,
    // before the preferences and the branding are read; not in a copy that quits at the
    // lock, nor beside a large events file's readers, which keep every core busy.
    if (!ReadingLargeEventsFile())
        CustomizationModule::DecodeAhead();
    currentDate = Date();
    selectedDate = Date();
    countdownDate = Date();
    eventDict.Clear();
    GetPrefs();
    // The branding's pictures are decoded, the calendar data read and the window's controls
    // made side by side (the controls first, while the font database is still being read,
    // then the fonts of the first paint); the window's opening and the data's readers wait
    // for what they need (CustomizationModule::FinishCustomizing, the background and bottom
    // pictures in CustomizationModule::TakeBackground and TakeBottom, EventsLoaded).
    if (!CustomizationModule::StartCustomizing() || Closing)
        return;
    StartLoadingEvents();
    CalendarWindow* made = CalendarWindow::Make();
    // The window's native window and backing store are made while the font database is
    // read on its worker, and the store's memory is touched on another one meanwhile; beside
    // a large events file's readers, which keep every core busy, once they are done
    // (EventsLoaded).
    made->PrepareSurface();
    if (!ReadingLargeEventsFile())
        made->TouchBackingStore();
    // The tab's native window too (the calendar window shows the tab as it opens): it is
    // made in X round trips, which need no font.
    TabWindow* tab = TabWindow::Make();
    tab->PrepareBackingStore(tab->size());
    made->PrepareFonts();
    CustomizationModule::FinishCustomizing(CustomizationModule::Pictures::Later);
    made->PreparePictures();
    CalendarWindow* window = CalendarWindow::Instance();
    EventsLoaded();
    window->show();
    // The tray icon is made, and start-up's passing buffers (the events file's text,
    // decoded and converted pictures) handed back to the system, once the window has had
    // its first paint: the calendar shows as soon as it can.
    QTimer::singleShot(0, this, [this] {
        if (Closing)
            return;
        if (installSysTray && !mAppTrayItem) {
            mAppTrayItem = new AppTrayItem();
            mAppTrayItem->Install();
        }
        // The windows' icon is the tray's picture of today, also without the tray icon.
        if (!mAppTrayItem)
            AppTrayItem::SetWindowIconToToday();
        mallopt(M_TOP_PAD, 128 * 1024);   // glibc's own step again (main() widened it)
        malloc_trim(0);
    });
}

void app::Event_Close()
{
    Closing = true;
    // Only the copy that read the preferences owns the file, and only the copy that
    // entered the lock leaves it.
    if (m_prefsRead)
        PutPrefs();
    if (m_holdsMutex && appMutex) {
        appMutex->Leave();
        m_holdsMutex = false;
        runLock() = {};   // an application made after this one takes the lock afresh
    }
    // Everything is saved: the tray item's removal, a call on the session bus that a bus
    // gone silent holds up, comes last.
    QuitSignals::QuitSaved();
    if (mAppTrayItem) {
        mAppTrayItem->Remove();
        delete mAppTrayItem;
        mAppTrayItem = nullptr;
    }
}

void app::Event_SaveFromMemory()
{
    if (auto* dialog = CountdownInputWindow::Existing())
        dialog->CommitChoice();
    if (CalendarWindow* window = CalendarWindow::Existing())
        window->SaveEvents();
    // Written by the quit's close steps once they ran.
    if (m_prefsRead && !Closing)
        PutPrefs();
}

void app::Event_Deactivate()
{
    if (!Closing)
        Deactivated = true;
}

bool app::EnterLock()
{
    RunLock& lock = runLock();
    if (!lock.mutex) {
        const QString path = LockPath();
        lock.folderMade = QDir().mkpath(QFileInfo(path).absolutePath());
        lock.mutex = std::make_shared<Mutex>(path);
        if (lock.folderMade)
            lock.mutex->TryEnter();
    }
    return lock.mutex->Entered();
}

bool app::LockHeld() { return runLock().mutex && runLock().mutex->Entered(); }

void app::CheckRunning()
{
    const bool entered = EnterLock();
    appMutex = runLock().mutex;
    if (entered) {
        m_holdsMutex = true;
        return;
    }
    const bool folderMade = runLock().folderMade;
    const QString path = appMutex->Path();
    const QString folder = QFileInfo(path).absolutePath();
    AutoQuit = true;
    if (folderMade && appMutex->LastError() == Mutex::Error::Held) {
        MessageBox::Dialog box;
        box.message = QStringLiteral("Another Desktop Lumora calendar is already running.");
        box.aboveAll = true;   // seen above the running copy's windows
        MessageBox::ShowDialog(box);
        Quit(0);
        return;
    }
    // No lock could be made: that is no other copy, and without a lock two copies could
    // write the same files, so this one says what failed and ends.
    QString why;
    if (!folderMade)
        why = QStringLiteral("its folder \"%1\" could not be created").arg(folder);
    else if (appMutex->LastError() == Mutex::Error::Permission)
        why = QStringLiteral("its folder \"%1\" cannot be written to").arg(folder);
    else if (appMutex->LastError() == Mutex::Error::Unreadable)
        why = QStringLiteral("it cannot be opened (%1)").arg(appMutex->LastReason());
    else if (appMutex->LastError() == Mutex::Error::NotAFile) {
        const QString kind = Files::OddKind(path, false);
        why = QStringLiteral("it is %1").arg(kind.isEmpty() ? QStringLiteral("no regular file") : kind);
    } else
        why = QStringLiteral("it could not be written in \"%1\"").arg(folder);
    const QString message = QStringLiteral("The calendar could not create its lock file \"%1\": %2. "
                                           "Without it the calendar cannot make sure that it runs only once, "
                                           "so it quits.").arg(path, why);
    qWarning().noquote() << message;
    MsgBox(message);
    Quit(1);
}

bool app::Event_UnhandledException(const std::exception*)
{
    MessageBox::Dialog dialog;
    dialog.icon = MessageBox::Icon::Stop;
    dialog.message = QStringLiteral("An Unexpected Error Occurred");
    dialog.explanation = QStringLiteral("Lumora Calendar encountered an error that it could not handle and must quit.  "
                                        "Please report this error and how it occurred.");
    dialog.actionCaption = QStringLiteral("Quit");
    dialog.alternateCaption = QStringLiteral("Feedback");
    const MessageBox::Button pressed = MessageBox::ShowDialog(dialog);
    if (pressed == MessageBox::Button::Alternate) {
        QUrl url(QStringLiteral("mailto:feedback@example.com"));
        url.setQuery(QStringLiteral("subject=") + QString::fromUtf8(QUrl::toPercentEncoding(
            QStringLiteral("~Feedback: ") + CustomizationModule::applicationName + QLatin1Char(' ')
            + applicationVersion())), QUrl::StrictMode);
        ShowURL(url.toString(QUrl::FullyEncoded));
    }
    // There is no menu bar outside the window to quit from: after the mail link the program
    // ends as "Quit" ends it, or it would stay without a window and refuse every later start.
    // The quit saves only windows that opened completely.
    if (pressed == MessageBox::Button::Alternate || pressed == MessageBox::Button::Action)
        Quit(0);
    return true;
}

void app::GetPrefs()
{
    tabLeft = 0;
    showCoundownCalendar = false;
    installSysTray = true;
    StartTime = 8;
    m_prefsRead = true;
    m_prefsUnusable = false;
    QByteArray bytes;
    QString why;
    const Files::ReadStatus status = Files::ReadAll(PrefsPath(), bytes, &why);
    if (status == Files::ReadStatus::NotAFile || status == Files::ReadStatus::Unreadable) {
        // A FIFO, a device or a folder in its place, or a file that cannot be read or looked
        // at (a link that loops, a link into a folder that may not be entered), is the
        // user's: this run keeps the defaults and writes nothing there, not even at the quit.
        firstRun = true;
        m_prefsRead = false;
        m_prefsUnusable = true;
        const QString message = QStringLiteral("The preferences file \"%1\" cannot be used: %2. The calendar starts "
                                               "with its default preferences and does not save them.").arg(PrefsPath(), why);
        qWarning().noquote() << message;
        MsgBox(message);
        return;
    }
    if (status == Files::ReadStatus::Missing) {
        firstRun = true;
        PutPrefs();
        return;
    }
    const QString text = QString::fromUtf8(bytes);
    showCoundownCalendar = Val(NthField(text, QStringLiteral(";"), 1)) == 1;
    tabLeft = ToInt(Val(NthField(text, QStringLiteral(";"), 2)));
    // A place no window can have counts as none: Qt's geometry arithmetic overflows past
    // its largest widget size.
    if (std::abs(qint64(tabLeft)) > QWIDGETSIZE_MAX)
        tabLeft = 0;
    installSysTray = Val(NthField(text, QStringLiteral(";"), 3)) == 1;
}

void app::PutPrefs()
{
    // A preferences file this run could not use stays as it is (it was reported at the
    // start): the change holds until the program ends.
    if (m_prefsUnusable) {
        MsgBox(QStringLiteral("The preferences are not saved: \"%1\" could not be used when the calendar started.")
                   .arg(PrefsPath()));
        return;
    }
    const QByteArray line = QStringLiteral("%1;%2;%3")
        .arg(showCoundownCalendar ? 1 : 0).arg(tabLeft).arg(installSysTray ? 1 : 0).toUtf8();
    // A file that says this already stays as it is: a quit with no change to the preferences
    // has nothing to save, nor to fail at where the file may not be written.
    if (Files::Holds(PrefsPath(), line))
        return;
    QString error;
    if (!Files::WriteAtomic(PrefsPath(), line, &error))
        MessageBox::Report(QStringLiteral("The preferences could not be saved to \"%1\": %2").arg(PrefsPath(), error));
}

bool app::CalendarWindowOpen()
{
    for (Window* w : Window::AllWindows())
        if (qobject_cast<CalendarWindow*>(w))
            return true;
    return false;
}

void app::ReloadCalendar()
{
    // The new window takes the keyboard only from the old one (the space key), never from
    // another program (a new season's rebuild at midnight).
    const bool hadKeyboard = QApplication::activeWindow() != nullptr;
    CalendarWindow::Instance()->ScrollUp();
    if (CalendarWindow* old = CalendarWindow::Existing())
        old->CloseWindow();
    if (Closing)
        return;
    // The new window opens out of view and hidden: it is first seen in its slide down.
    CalendarWindow::Make()->OpenOutOfView();
    CalendarWindow::Instance();
    if (CalendarWindow* window = CalendarWindow::Existing()) {
        QPointer<CalendarWindow> slid(window);
        // A window manager that focuses every new window (openbox) leaves the keyboard where
        // it is when the window comes with a user time of 0. Qt reads that wish from its
        // native window (made already), at each show. Others (fluxbox) read no user time:
        // they are told that the window takes no keyboard until it has slid in.
        window->winId();
        if (!hadKeyboard) {
            window->windowHandle()->setProperty(WindowManagerHints::ShowWithoutActivating, true);
            WindowManagerHints::WriteTakesKeyboard(window, false);
        }
        window->ScrollDown();
        if (!slid || slid->IsClosed())
            return;
        // Its later slides are the user's: they take the keyboard.
        slid->windowHandle()->setProperty(WindowManagerHints::ShowWithoutActivating, QVariant());
        if (hadKeyboard)
            slid->activateWindow();
        else
            WindowManagerHints::WriteTakesKeyboard(slid, true);
    }
}

void app::ReloadCalendarLater()
{
    if (m_reloadPending)
        return;
    m_reloadPending = true;
    WhenNoDialog([this] {
        m_reloadPending = false;
        if (Closing)
            return;
        if (CustomizationModule::CustomizeCalendar() && !Closing)
            ReloadCalendar();
    });
}

void app::Event_EnableMenuItems()
{
    if (Closing)
        return;
    if (CalendarWindowOpen()) {
        CalendarWindow* window = CalendarWindow::Instance();
        const bool slidDown = window->Top() >= 0;
        const QWidget* calendar = window->Control(QStringLiteral("Calendar"));
        const bool yearView = !calendar || calendar->isVisibleTo(window);
        const QWidget* countdown = window->Control(QStringLiteral("CountdownCanvas"));
        Menu::FileClose()->Enabled = slidDown;
        Menu::FilePrint()->Text = yearView ? QStringLiteral("Print Calendar") : QStringLiteral("Print Week At A Glance");
        Menu::FilePrint()->Enabled = slidDown;
        Menu::EditToggleCDCanvas()->Text = countdown && countdown->isVisibleTo(window)
            ? QStringLiteral("Hide Countdown Event") : QStringLiteral("Show Countdown Event");
        Menu::EditToggleCDCanvas()->Enabled = yearView;
    }
    Menu::HelpQuickStartHelp()->Enabled = true;
    Menu::HelpGotoURL()->Text = QStringLiteral("Goto ") + CustomizationModule::vendorURL;
    Menu::HelpGotoURL()->Enabled = true;
}

bool app::_AppleAboutCalendar_Action()
{
    if (CustomizationModule::customAboutWindow)
        AboutWindowCustom::Instance()->show();
    else
        AboutWindow::Instance()->show();
    return false;
}

bool app::_ApplePreferences_Action()
{
    PreferencesWindow::Instance()->ShowWithin(CalendarWindow::Instance());
    return false;
}

bool app::_HelpHelp_Action()
{
    HelpWindow::Instance()->show();
    return false;
}

bool app::_EditToggleCDCanvas_Action()
{
    // Decided by the tile itself, not by a possibly stale item text.
    CalendarWindow* window = CalendarWindow::Instance();
    if (QWidget* tile = window->Control(QStringLiteral("CountdownCanvas")))
        tile->setVisible(!tile->isVisibleTo(window));
    return false;
}

bool app::_FileClose_Action()
{
    CalendarWindow::Instance()->ScrollUp();
    return false;
}

bool app::_HelpGotoURL_Action()
{
    ShowURL(CustomizationModule::vendorURL);
    return false;
}
