// SIGTERM quits as the menu's Quit does: the calendar window's close handler writes what is
// not yet saved, and the run ends with status 0. It really quits, so it runs in a fresh copy
// of this test program. (SIGHUP and SIGINT, which a test run may inherit as ignored, are
// covered by the whole-program test, and here where the case takes them as from a terminal.)
// The same signal again while the quit runs ends the
// process at once, as its default effect would, but leaves no lock file behind. Where the
// event loop is held up, the process still ends soon after the signal, what the quit would
// have written written from memory; so does one held up after its quit saved. A signal before
// the event loop runs ends the process at once; one after the application object's end (main's
// last steps) lets the program end as it would, or ends it by the guard where those are held up.
#include "CalendarWindowFixture.h"
#include "calendar_window/cCanvas.h"
#include "framework/ListBox.h"
#include "framework/Mutex.h"
#include "framework/QuitSignals.h"
#include "framework/WidgetEvents.h"
#include "glance/CountdownInputWindow.h"
#include <QLineEdit>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

enum Outcome { Saved = 0, StillRunning = 3, BadStatus = 4, NotSaved = 5, NoLock = 6 };

// A to-do item added in the window and not yet written; then the signal.
[[noreturn]] void signalWithAnUnsavedItem(const SandboxHome& home, int sig)
{
    CalendarWindow* w = CalendarWindow::Instance();
    w->TodoList->AddRow(QStringList{QString(), "Water plants"});
    QTimer::singleShot(0, qApp, [sig] { std::raise(sig); });
    QTimer::singleShot(5000, qApp, [] { std::_Exit(StillRunning); });
    const int status = QApplication::exec();
    QFile file(home.documentsFolder() + "/Calendar.tpc");
    if (!file.open(QIODevice::ReadOnly) || !file.readAll().startsWith("0\tWater plants\nEvents Data:\n"))
        std::_Exit(NotSaved);
    std::_Exit(status == 0 ? Saved : BadStatus);
}

// The countdown dialog is open with a new title when the signal comes: the dialog commits
// before the calendar window writes the file.
[[noreturn]] void signalWhileTheCountdownDialogIsOpen(const SandboxHome& home)
{
    App().countdownDate = Date(2025, 12, 25);
    App().eventDict.SetValue("2025-12-25 00:00:00", "2025-12-25 00:00:00//Christmas");
    CalendarWindow* w = CalendarWindow::Instance();
    QTimer::singleShot(5000, qApp, [] { std::_Exit(StillRunning); });
    QTimer::singleShot(0, qApp, [w] {
        // Runs inside the dialog's own event loop.
        QTimer::singleShot(0, qApp, [] {
            CountdownInputWindow* dialog = CountdownInputWindow::Existing();
            if (!dialog)
                std::_Exit(StillRunning);
            dialog->titleField->setText("Launch");
            std::raise(SIGTERM);
        });
        WidgetEvents::click(w->CountdownCanvas, QPoint(20, 20));
    });
    QApplication::exec();
    QFile file(home.documentsFolder() + "/Calendar.tpc");
    if (!file.open(QIODevice::ReadOnly) || !file.readAll().contains("2025-12-25 00:00:00//Launch//Countdown\n"))
        std::_Exit(NotSaved);
    std::_Exit(Saved);
}

// Where the copy of this program that runs a case tells its events file's place (its home
// is another).
QString heldUpEventsPathFile() { return SandboxRoot() + "/held-up-events-path"; }

// A to-do item not yet written and the countdown dialog open with a new title; then the
// signal, and the main thread waits (as it waits for a session bus that never answers) far
// longer than the guard gives it: the guard writes both from memory and ends the process.
[[noreturn]] void signalWhileTheEventLoopIsHeldUp(const SandboxHome& home)
{
    QFile where(heldUpEventsPathFile());
    if (!where.open(QIODevice::WriteOnly) || where.write((home.documentsFolder() + "/Calendar.tpc").toUtf8()) < 0)
        std::_Exit(BadStatus);
    where.close();
    App().countdownDate = Date(2025, 12, 25);
    App().eventDict.SetValue("2025-12-25 00:00:00", "2025-12-25 00:00:00//Christmas");
    CalendarWindow* w = CalendarWindow::Instance();
    w->TodoList->AddRow(QStringList{QString(), "Water plants"});
    QTimer::singleShot(0, qApp, [w] {
        QTimer::singleShot(0, qApp, [] {   // inside the dialog's own event loop
            CountdownInputWindow* dialog = CountdownInputWindow::Existing();
            if (!dialog)
                std::_Exit(StillRunning);
            dialog->titleField->setText("Launch");
            std::raise(SIGTERM);
            std::this_thread::sleep_for(std::chrono::milliseconds(3 * QuitSignals::GuardMs));
            std::_Exit(StillRunning);
        });
        WidgetEvents::click(w->CountdownCanvas, QPoint(20, 20));
    });
    QApplication::exec();
    std::_Exit(BadStatus);
}

// SIGTERM, then the quit saves and leaves the event loop, and the program is held up before it
// ends (a library's clean-up waiting for a bus gone silent) far longer than the guard gives it.
[[noreturn]] void signalAndHeldUpAfterTheSave()
{
    QTimer::singleShot(0, qApp, [] { std::raise(SIGTERM); });
    QTimer::singleShot(5000, qApp, [] { std::_Exit(StillRunning); });
    QApplication::exec();
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * QuitSignals::GuardMs));
    std::_Exit(StillRunning);
}

// A test run may inherit SIGHUP and SIGINT ignored, and an ignored one stays so (as under
// nohup): this copy of the program takes sig as a start from a terminal does.
void catchAsFromATerminal(int sig)
{
    std::signal(sig, SIG_DFL);
    QuitSignals::Catch();
}

// A lock held, then a signal before the event loop runs (as while main makes the application
// object): the quit asked for ends the process at once, the lock's file removed.
[[noreturn]] void signalBeforeTheEventLoop(const QString& lockPath, int sig)
{
    catchAsFromATerminal(sig);
    Mutex lock(lockPath);
    if (!lock.TryEnter())
        std::_Exit(NoLock);
    QuitSignals::QuitIfAsked();   // nothing asked yet: goes on
    std::raise(sig);
    QuitSignals::QuitIfAsked();
    std::_Exit(StillRunning);
}

// The menu's Quit, then the application object's end, then the signal, in main's last steps;
// with heldUp, those are held up far longer than the guard gives them.
[[noreturn]] void signalAfterTheApplicationsEnd(int sig, bool heldUp)
{
    catchAsFromATerminal(sig);
    QTimer::singleShot(0, qApp, [] { App().Quit(0); });
    QTimer::singleShot(5000, qApp, [] { std::_Exit(StillRunning); });
    if (QApplication::exec() != 0)
        std::_Exit(BadStatus);
    // This copy ends here: main's application object is not used again.
    App().~app();
    std::raise(sig);
    if (heldUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * QuitSignals::GuardMs));
    std::_Exit(heldUp ? StillRunning : Saved);
}

// A lock held, then SIGTERM; a window's close handler, which the quit runs, gets a second
// one: the quit is under way when it comes.
[[noreturn]] void signalAgainDuringTheQuit(const QString& lockPath)
{
    Mutex lock(lockPath);
    if (!lock.TryEnter())
        std::_Exit(NoLock);
    struct SignalledAgain : Window {
        void Event_Close() override { std::raise(SIGTERM); }
    };
    new SignalledAgain;
    QTimer::singleShot(0, qApp, [] { std::raise(SIGTERM); });
    QTimer::singleShot(5000, qApp, [] { std::_Exit(StillRunning); });
    QApplication::exec();
    std::_Exit(BadStatus);
}

class QuitSignalsTest : public CalendarWindowFixture
{
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        CalendarWindowFixture::SetUp();
    }
};

} // namespace

TEST_F(QuitSignalsTest, SigtermSavesTheCalendarAndEndsWithStatusZero)
{
    EXPECT_EXIT(signalWithAnUnsavedItem(home, SIGTERM), testing::ExitedWithCode(Saved), "");
}

TEST_F(QuitSignalsTest, AnOpenCountdownDialogCommitsBeforeTheFileIsWritten)
{
    EXPECT_EXIT(signalWhileTheCountdownDialogIsOpen(home), testing::ExitedWithCode(Saved), "");
}

TEST_F(QuitSignalsTest, AHeldUpEventLoopStillEndsWithTheQuitsWritesFromMemory)
{
    EXPECT_EXIT(signalWhileTheEventLoopIsHeldUp(home), testing::ExitedWithCode(0), "held up");
    QFile where(heldUpEventsPathFile());
    ASSERT_TRUE(where.open(QIODevice::ReadOnly));
    QFile file(QString::fromUtf8(where.readAll()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.startsWith("0\tWater plants\nEvents Data:\n")) << written.constData();
    EXPECT_TRUE(written.contains("2025-12-25 00:00:00//Launch//Countdown\n")) << written.constData();
}

TEST_F(QuitSignalsTest, AQuitHeldUpAfterItsSavingStillEnds)
{
    EXPECT_EXIT(signalAndHeldUpAfterTheSave(), testing::ExitedWithCode(0), "held up");
}

TEST_F(QuitSignalsTest, ASignalBeforeTheEventLoopEndsTheProcessAtOnceWithoutTheLock)
{
    const QString lockPath = SandboxRoot() + "/quit-signals-early.lock";
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) {
        EXPECT_EXIT(signalBeforeTheEventLoop(lockPath, sig), testing::ExitedWithCode(0), "") << strsignal(sig);
        EXPECT_FALSE(QFileInfo::exists(lockPath)) << strsignal(sig);
    }
}

TEST_F(QuitSignalsTest, ASignalInTheProgramsLastStepsLeavesItsEndAsItWas)
{
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        EXPECT_EXIT(signalAfterTheApplicationsEnd(sig, false), testing::ExitedWithCode(Saved), "") << strsignal(sig);
    EXPECT_EXIT(signalAfterTheApplicationsEnd(SIGTERM, true), testing::ExitedWithCode(0), "held up");
}

TEST_F(QuitSignalsTest, TheSameSignalAgainDuringTheQuitEndsItAndLeavesNoLock)
{
    // Where the copy of this program that runs the case makes it too (its home is another).
    const QString lockPath = SandboxRoot() + "/quit-signals.lock";
    EXPECT_EXIT(signalAgainDuringTheQuit(lockPath), testing::KilledBySignal(SIGTERM), "");
    EXPECT_FALSE(QFileInfo::exists(lockPath));
}
