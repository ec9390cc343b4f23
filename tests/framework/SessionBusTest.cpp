#include "framework/SessionBus.h"
#include <QTemporaryDir>
#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
using Answer = SessionBus::Answer;
constexpr int Limit = 300;   // ms; a bus that answers does so within microseconds

// A unix socket at path (or an abstract name) that listens and never answers, as a wedged bus
// daemon does: connections complete in the kernel and wait there.
int listening(const QByteArray& name, bool abstract = false, int backlog = 16)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un where {};
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path + (abstract ? 1 : 0), name.constData(), size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()) + 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&where), length), 0) << name.constData();
    EXPECT_EQ(::listen(fd, backlog), 0);
    return fd;
}
} // namespace

TEST(SessionBus, ABusThatNeverAnswersOrAcceptsNothingMoreIsSilent)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath("bus").toLocal8Bit(), full = dir.filePath("full").toLocal8Bit();
    const QByteArray name = "lumora-test-silent-" + QByteArray::number(::getpid());
    const int atPath = listening(path), abstract = listening(name, true), queueFull = listening(full, false, 0);
    EXPECT_EQ(SessionBus::Ask("unix:path=" + path, "", Limit, -1), Answer::Silent);
    EXPECT_EQ(SessionBus::Ask("unix:abstract=" + name + ",guid=0123", "", Limit, -1), Answer::Silent);
    // Its queue full, the listener refuses a connection that does not wait, where libdbus's
    // would wait for a place.
    int waiting[3];
    for (int& fd : waiting) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_un where {};
        where.sun_family = AF_UNIX;
        std::memcpy(where.sun_path, full.constData(), size_t(full.size()));
        ::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where);
    }
    EXPECT_EQ(SessionBus::Ask("unix:path=" + full, "", Limit, -1), Answer::Silent);
    for (const int fd : {atPath, abstract, queueFull, waiting[0], waiting[1], waiting[2]})
        ::close(fd);
}

TEST(SessionBus, TheEntriesAreTakenInLibdbusOrder)
{
    QTemporaryDir dir;
    const QByteArray silent = dir.filePath("silent bus").toLocal8Bit(), missing = dir.filePath("missing").toLocal8Bit();
    const int bus = listening(silent);
    const QByteArray escaped = QByteArray(silent).replace(" ", "%20");
    const struct {
        const char* name;
        QByteArray address;
        Answer answer;
    } cases[] = {
        {"a socket that is not there is passed over", "unix:path=" + missing + ";unix:path=" + escaped, Answer::Silent},
        {"a listening-only entry is passed over", "unix:tmpdir=/tmp;unix:path=" + escaped, Answer::Silent},
        {"an entry of another kind first is left to libdbus", "tcp:host=localhost,port=1;unix:path=" + escaped,
         Answer::CannotTell},
        {"no entry connects", "unix:path=" + missing, Answer::NoBus},
        {"a broken escape spoils the whole address", "unix:path=" + escaped + ";unix:path=%zz", Answer::NoBus},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SessionBus::Ask(c.address, "", Limit, -1), c.answer) << c.name;
    ::close(bus);
}

TEST(SessionBus, WithoutAnAddressTheUsersBusInTheRuntimeFolderIsAsked)
{
    QTemporaryDir dir;
    const QByteArray runtime = dir.path().toLocal8Bit();
    EXPECT_EQ(SessionBus::Ask("", "", Limit, -1), Answer::NoBus) << "no runtime folder";
    EXPECT_EQ(SessionBus::Ask("", runtime, Limit, -1), Answer::NoBus) << "no bus in it";
    const int bus = listening(runtime + "/bus");
    EXPECT_EQ(SessionBus::Ask("", runtime, Limit, -1), Answer::Silent) << "a bus that never answers";
    ::close(bus);
}

TEST(SessionBus, AQuitAskedMeanwhileEndsTheAsking)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath("bus").toLocal8Bit();
    const int bus = listening(path);
    int quit[2];
    ASSERT_EQ(::pipe(quit), 0);
    ASSERT_EQ(::write(quit[1], "x", 1), 1);
    // A limit that only the quit can cut short.
    EXPECT_EQ(SessionBus::Ask("unix:path=" + path, "", 60000, quit[0]), Answer::QuitAsked);
    for (const int fd : {bus, quit[0], quit[1]})
        ::close(fd);
}
