#include "framework/Mutex.h"
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(Mutex, OneHolderAtATimeAndTheFileGoesWithTheLastHolder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Named.lock");
    Mutex first(path), second(path);
    EXPECT_TRUE(first.TryEnter());
    EXPECT_TRUE(first.Entered());
    EXPECT_TRUE(first.TryEnter());   // entering again keeps it
    EXPECT_FALSE(second.TryEnter());
    EXPECT_EQ(second.LastError(), Mutex::Error::Held);
    // A lock of the kind an earlier version took cannot be taken either, nor refuse this one.
    QLockFile earlier(path);
    EXPECT_FALSE(earlier.tryLock(0));
    first.Leave();
    EXPECT_FALSE(first.Entered());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(second.TryEnter());
    {
        Mutex third(path);
        EXPECT_FALSE(third.TryEnter());
    }
    EXPECT_TRUE(second.Entered());   // a refused object leaves nothing behind
    second.Leave();
    ASSERT_TRUE(earlier.tryLock(0));
    Mutex fourth(path);
    EXPECT_FALSE(fourth.TryEnter());
    EXPECT_EQ(fourth.LastError(), Mutex::Error::Held);
}

TEST(Mutex, LeavingRemovesOnlyTheFileItHeld)
{
    // The file is removed from outside while held, and another copy enters on a new one:
    // the first copy's leaving must not remove the second copy's file.
    QTemporaryDir dir;
    const QString path = dir.filePath("Named.lock");
    Mutex first(path), second(path), third(path);
    ASSERT_TRUE(first.TryEnter());
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(second.TryEnter());
    first.Leave();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(third.TryEnter());
    EXPECT_EQ(third.LastError(), Mutex::Error::Held);
}

TEST(Mutex, ALockLeftByAProcessThatEndedIsFree)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Named.lock");
    const pid_t child = fork();
    if (child == 0) {
        Mutex held(path);
        _exit(held.TryEnter() ? 0 : 1);   // ends holding it, as a crash would
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(QFile::exists(path));   // left behind, but not held
    Mutex next(path);
    EXPECT_TRUE(next.TryEnter());
}

TEST(Mutex, APlaceThatCannotHoldAFileIsReported)
{
    Mutex nowhere(QStringLiteral("/proc/lumora-no-such-folder/Named.lock"));
    EXPECT_FALSE(nowhere.TryEnter());
    EXPECT_NE(nowhere.LastError(), Mutex::Error::Held);
    EXPECT_NE(nowhere.LastError(), Mutex::Error::None);
}

// A lock file that may not be read, in a folder that may be written to: refused for the
// file's own reason, not its folder's. Permissions do not stop root, so as root the attempt
// is made by the user "nobody" in a child process.
TEST(Mutex, ALockFileThatCannotBeOpenedIsRefusedForItsOwnReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Named.lock");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
    const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    if (geteuid() == 0 && !nobody)
        GTEST_SKIP() << "Run as root, and no other user to run as: permissions do not stop root.";
    const pid_t child = fork();
    if (child == 0) {
        if (nobody && (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0))
            _exit(2);
        Mutex refused(path);
        const bool ok = !refused.TryEnter() && refused.LastError() == Mutex::Error::Unreadable
            && refused.LastReason() == "Permission denied";
        if (!ok)
            fprintf(stderr, "error %d, reason \"%s\"\n", int(refused.LastError()), qPrintable(refused.LastReason()));
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "The user \"nobody\" cannot be taken.";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(QFile::exists(path));   // the refused file stays
}
