#include "framework/Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Permissions do not stop root: run as root, check runs in a child process as the user
// "nobody". Its result, or nothing when no other user can be taken.
std::optional<bool> asAnotherUser(const std::function<bool()>& check)
{
    if (geteuid() != 0)
        return check();
    const passwd* nobody = getpwnam("nobody");
    if (!nobody)
        return std::nullopt;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0;
        _exit(!dropped ? 2 : check() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 2)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

} // namespace

TEST(Files, ChildMatchesIgnoringCaseAndRefusesPaths)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("CalSpc.DAT"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(Files::Child(dir.path(), "calspc.dat"), dir.filePath("CalSpc.DAT"));
    EXPECT_EQ(Files::Child(dir.path(), "other.png"), dir.filePath("other.png"));
    EXPECT_EQ(Files::Child(dir.path(), "../etc/passwd"), "");
    EXPECT_EQ(Files::Child(dir.path(), ".."), "");
    EXPECT_EQ(Files::Child(dir.path(), ""), "");
}

TEST(Files, ReadTextLineEndsAndBadFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    ASSERT_TRUE(Files::WriteAtomic(path, "a\r\nb\rc\n\nd"));
    QString text;
    ASSERT_EQ(Files::ReadText(path, text), Files::ReadStatus::Ok);
    EXPECT_EQ(Files::SplitLines(text), (QStringList{"a", "b", "c", "", "d"}));
    EXPECT_EQ(Files::SplitLines("x\n"), QStringList{"x"});
    EXPECT_EQ(Files::SplitLines(""), QStringList{});
    EXPECT_EQ(Files::SplitLines("\r\n\n\rend"), (QStringList{"", "", "", "end"}));
    EXPECT_EQ(Files::SplitLines("one\r"), QStringList{"one"});
    EXPECT_EQ(Files::ReadText(dir.filePath("none"), text), Files::ReadStatus::Missing);
    EXPECT_EQ(Files::ReadText(dir.path(), text), Files::ReadStatus::NotAFile);
    ASSERT_TRUE(Files::WriteAtomic(path, QByteArray("ab\0cd", 5)));
    EXPECT_EQ(Files::ReadText(path, text), Files::ReadStatus::Unreadable);
}

TEST(Files, AtomicWriteCreatesFoldersAndKeepsOldFileOnFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("deep/er/file.txt");
    ASSERT_TRUE(Files::WriteAtomic(path, "one"));
    QByteArray bytes;
    ASSERT_EQ(Files::ReadAll(path, bytes), Files::ReadStatus::Ok);
    EXPECT_EQ(bytes, "one");
    // A folder where the file should go: the write fails and says why.
    const QString blocked = dir.filePath("blocked");
    QDir().mkpath(blocked);
    QString error;
    EXPECT_FALSE(Files::WriteAtomic(blocked, "x", &error));
    EXPECT_EQ(error, "\"blocked\" is a folder");
    // A FIFO is neither waited on, nor written through, nor replaced; a link to a file is
    // followed: the link stays, its target gets the bytes.
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(Files::WriteAtomic(fifo, "x", &error));
    EXPECT_EQ(error, "\"fifo\" is a FIFO (named pipe)");
    EXPECT_EQ(Files::ReadAll(fifo, bytes, &error), Files::ReadStatus::NotAFile);
    EXPECT_EQ(error, "it is a FIFO (named pipe)");
    EXPECT_EQ(Files::OddKind(fifo), "a FIFO (named pipe)");
    const QString link = dir.filePath("link");
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(Files::WriteAtomic(link, "linked"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_EQ(Files::ReadAll(path, bytes), Files::ReadStatus::Ok);
    EXPECT_EQ(bytes, "linked");
    ASSERT_TRUE(Files::WriteAtomic(path, "one"));
    const QString copy = Files::KeepCopy(path);
    EXPECT_FALSE(copy.isEmpty());
    EXPECT_TRUE(Files::Exists(path));
    EXPECT_EQ(Files::KeepCopy(path), copy);          // the same bytes are kept once
    ASSERT_TRUE(Files::WriteAtomic(path, "two"));
    const QString second = Files::KeepCopy(path);
    EXPECT_NE(second, copy);                         // other bytes get a copy of their own
    ASSERT_EQ(Files::ReadAll(copy, bytes), Files::ReadStatus::Ok);
    EXPECT_EQ(bytes, "one");
}

// A file-size limit makes the disk "full" for this process: the write fails in the kernel as
// it would on a full disk, and the report must carry the system's reason. The signal that the
// limit raises (SIGXFSZ) must not end the process: the test leaves it to the writer.
TEST(Files, AFailedWriteNamesItsCauseAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Calendar.tpc");
    ASSERT_TRUE(Files::WriteAtomic(path, "old"));
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString buffered, direct;
    const bool smallWritten = Files::WriteAtomic(path, QByteArray(2000, 'x'), &buffered);
    const bool largeWritten = Files::WriteAtomic(path, QByteArray(200000, 'x'), &direct);
    setrlimit(RLIMIT_FSIZE, &before);

    EXPECT_FALSE(smallWritten);
    EXPECT_FALSE(largeWritten);
    EXPECT_EQ(buffered, "File too large");   // not "Unknown error"
    EXPECT_EQ(direct, "File too large");
    QByteArray bytes;
    ASSERT_EQ(Files::ReadAll(path, bytes), Files::ReadStatus::Ok);
    EXPECT_EQ(bytes, "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Calendar.tpc"});   // no temporary left
}

TEST(Files, ListIsSortedByName)
{
    QTemporaryDir dir;
    for (const char* name : {"b", "A", "c", "a2"})
        QDir(dir.path()).mkdir(name);
    EXPECT_EQ(Files::List(dir.path()), (QStringList{"A", "a2", "b", "c"}));
}

// Something there that cannot be looked at is no missing file: a read says why, a write
// refuses it and the link stays. A link to nothing is a missing file.
TEST(Files, ALinkThatLoopsIsUnreadableAndKept)
{
    QTemporaryDir dir;
    const QString loop = dir.filePath("Calendar.tpc");
    ASSERT_TRUE(QFile::link(loop, loop));
    QByteArray bytes;
    QString error;
    EXPECT_EQ(Files::ReadAll(loop, bytes, &error), Files::ReadStatus::Unreadable);
    EXPECT_EQ(error, "Too many levels of symbolic links");
    EXPECT_EQ(Files::Unreachable(loop), error);
    EXPECT_FALSE(Files::WriteAtomic(loop, "x", &error));
    EXPECT_EQ(error, "\"Calendar.tpc\" cannot be opened: Too many levels of symbolic links");
    EXPECT_TRUE(QFileInfo(loop).isSymLink());
    const QString dangling = dir.filePath("dangling");
    ASSERT_TRUE(QFile::link(dir.filePath("none"), dangling));
    EXPECT_EQ(Files::ReadAll(dangling, bytes), Files::ReadStatus::Missing);
    EXPECT_EQ(Files::Unreachable(dangling), "");
}

TEST(Files, ALinkIntoAFolderThatMayNotBeEnteredIsUnreadableAndKept)
{
    QTemporaryDir dir;
    const QString closed = dir.filePath("closed");
    const QString link = dir.filePath("Calendar.tpc");
    ASSERT_TRUE(Files::WriteAtomic(closed + "/Calendar.tpc", "kept"));
    ASSERT_TRUE(QFile::link(closed + "/Calendar.tpc", link));
    // The link's folder may be written to: only the refusal keeps a save from replacing it.
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(closed).constData(), 0), 0);
    const std::optional<bool> refused = asAnotherUser([&] {
        QByteArray bytes;
        QString read, written;
        const Files::ReadStatus status = Files::ReadAll(link, bytes, &read);
        const bool ok = status == Files::ReadStatus::Unreadable && read == "Permission denied"
            && !Files::WriteAtomic(link, "x", &written) && written == "\"Calendar.tpc\" cannot be opened: Permission denied";
        if (!ok)
            fprintf(stderr, "read %d (%s), write: %s\n", int(status), qPrintable(read), qPrintable(written));
        return ok;
    });
    chmod(QFile::encodeName(closed).constData(), 0700);
    if (!refused)
        GTEST_SKIP() << "Run as root, and no other user to run as: permissions do not stop root.";
    EXPECT_TRUE(*refused);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QByteArray bytes;
    ASSERT_EQ(Files::ReadAll(link, bytes), Files::ReadStatus::Ok);
    EXPECT_EQ(bytes, "kept");
}
