// The single-instance check: one lock per user beside the preferences, whatever the runtime
// folder; another copy's lock refuses this copy, and a lock that cannot be made is reported
// as what it is. Each case quits, so it runs in a fresh copy of this test program.
#include "TestSupport.h"
#include "shell/app.h"
#include <QDir>
#include <QLockFile>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Ends the process with 0 when CheckRunning quit with status and showed exactly message.
[[noreturn]] void checkRunningShows(const QString& message)
{
    MessageLog log;
    App().CheckRunning();
    const bool ok = App().IsQuitting() && log.messages == QStringList{message};
    if (!ok)
        fprintf(stderr, "shown: %s\n", qPrintable(log.messages.join(" | ")));
    std::_Exit(ok ? 0 : 1);
}

class CheckRunning : public ::testing::Test
{
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    SandboxHome home;
};

} // namespace

TEST_F(CheckRunning, TheLockLivesBesideThePreferencesWhateverTheRuntimeFolder)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    const QString withRuntime = app::LockPath();
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(app::LockPath(), withRuntime);
    EXPECT_EQ(withRuntime, home.configFolder() + "/Desktop Lumora Calendar.lock");
    qputenv("XDG_RUNTIME_DIR", runtime);
}

TEST_F(CheckRunning, AnotherCopysLockRefusesThisCopy)
{
    EXPECT_EXIT(
        {
            QDir().mkpath(home.configFolder());
            QLockFile other(app::LockPath());
            if (!other.tryLock(0))
                std::_Exit(2);
            checkRunningShows("Another Desktop Lumora calendar is already running.");
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(CheckRunning, ALockThatCannotBeMadeIsReportedWithItsPlace)
{
    EXPECT_EXIT(
        {
            qputenv("XDG_CONFIG_HOME", "/proc/lumora");
            checkRunningShows("The calendar could not create its lock file \"/proc/lumora/Desktop Lumora Calendar.lock\": "
                              "its folder \"/proc/lumora\" could not be created. Without it the calendar cannot make "
                              "sure that it runs only once, so it quits.");
        },
        testing::ExitedWithCode(0), "");
}

// The running copy holds the lock: neither another copy of this version nor one of an
// earlier version (whose lock was a QLockFile) can take it.
TEST_F(CheckRunning, TheLockIsHeldAgainstEveryOtherCopy)
{
    EXPECT_EXIT(
        {
            App().CheckRunning();
            Mutex other(app::LockPath());
            QLockFile earlier(app::LockPath());
            const bool held = !App().IsQuitting() && App().appMutex && App().appMutex->Entered() && !other.TryEnter()
                && other.LastError() == Mutex::Error::Held && !earlier.tryLock(0);
            std::_Exit(held ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
