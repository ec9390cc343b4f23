#include "framework/Mutex.h"
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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
