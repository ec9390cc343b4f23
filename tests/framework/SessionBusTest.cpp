#include "framework/SessionBus.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
using Answer = SessionBus::Answer;
constexpr int Limit = 300;   // ms; a bus that answers does so within microseconds
} // namespace

TEST(SessionBus, ABusThatNeverAnswersIsSilentAndTheEntriesAreTakenInLibdbusOrder)
{
    QTemporaryDir dir;
    const QByteArray silent = dir.filePath("silent bus").toLocal8Bit(), missing = dir.filePath("missing").toLocal8Bit();
    const QByteArray full = dir.filePath("full").toLocal8Bit();
    const QByteArray name = "lumora-test-silent-" + QByteArray::number(::getpid());
    const Listener bus(silent, false), abstract(name, true);
    Listener queueFull(full, false, 0);
    queueFull.FillQueue();
    const QByteArray escaped = QByteArray(silent).replace(" ", "%20");
    const struct {
        const char* name;
        QByteArray address;
        Answer answer;
    } cases[] = {
        {"a bus at a path that never answers", "unix:path=" + escaped, Answer::Silent},
        {"a bus at an abstract name that never answers", "unix:abstract=" + name + ",guid=0123", Answer::Silent},
        // Its queue full, the listener refuses a connection that does not wait, where libdbus's
        // would wait for a place.
        {"a bus that accepts nothing more", "unix:path=" + full, Answer::Silent},
        {"a socket that is not there is passed over", "unix:path=" + missing + ";unix:path=" + escaped, Answer::Silent},
        {"a listening-only entry is passed over", "unix:tmpdir=/tmp;unix:path=" + escaped, Answer::Silent},
        {"an entry of another kind first is left to libdbus", "tcp:host=localhost,port=1;unix:path=" + escaped,
         Answer::CannotTell},
        {"no entry connects", "unix:path=" + missing, Answer::NoBus},
        {"a broken escape spoils the whole address", "unix:path=" + escaped + ";unix:path=%zz", Answer::NoBus},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SessionBus::Ask(c.address, "", Limit, -1), c.answer) << c.name;
}

TEST(SessionBus, WithoutAnAddressTheUsersBusInTheRuntimeFolderIsAsked)
{
    QTemporaryDir dir;
    const QByteArray runtime = dir.path().toLocal8Bit();
    EXPECT_EQ(SessionBus::Ask("", "", Limit, -1), Answer::NoBus) << "no runtime folder";
    EXPECT_EQ(SessionBus::Ask("", runtime, Limit, -1), Answer::NoBus) << "no bus in it";
    const Listener bus(runtime + "/bus", false);
    EXPECT_EQ(SessionBus::Ask("", runtime, Limit, -1), Answer::Silent) << "a bus that never answers";
}

TEST(SessionBus, AQuitAskedMeanwhileEndsTheAsking)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath("bus").toLocal8Bit();
    const Listener bus(path, false);
    int quit[2];
    ASSERT_EQ(::pipe(quit), 0);
    ASSERT_EQ(::write(quit[1], "x", 1), 1);
    // A limit that only the quit can cut short.
    EXPECT_EQ(SessionBus::Ask("unix:path=" + path, "", 60000, quit[0]), Answer::QuitAsked);
    for (const int fd : {quit[0], quit[1]})
        ::close(fd);
}
