#include "framework/SessionBus.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <dbus/dbus.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
using Answer = SessionBus::Answer;
constexpr int Limit = 300;   // ms; a bus that answers does so within microseconds

// A path as a bus address holds it: libdbus refuses a blank there (the temporary folders' names
// hold one).
QByteArray escaped(const QString& path) { return path.toLocal8Bit().replace(" ", "%20"); }

// A bus of the test's own at a path that answers the first `steps` of libdbus's on each
// connection as a bus daemon does, then nothing: 1 the authentication (OK), 2 the passing of
// descriptors (AGREE_UNIX_FD), 3 a Hello call (a signal first, then the reply).
class FakeBus
{
public:
    FakeBus(const QByteArray& path, int steps) : m_steps(steps)
    {
        sockaddr_un where = {AF_UNIX, {}};
        std::memcpy(where.sun_path, path.constData(), size_t(path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && ::listen(m_fd, 4) == 0)
            m_thread = std::thread([this] { serve(); });
    }
    ~FakeBus()
    {
        ::shutdown(m_fd, SHUT_RDWR);   // ends the accept
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_fd);
    }

private:
    void serve()
    {
        for (int client; (client = ::accept(m_fd, nullptr, nullptr)) >= 0; ::close(client)) {
            QByteArray in;
            int step = 0;
            char chunk[4096];
            for (ssize_t got; (got = ::recv(client, chunk, sizeof chunk, 0)) > 0;) {
                in.append(chunk, got);
                const auto answer = [&](const char* line) {
                    if (++step <= m_steps)
                        ::send(client, line, std::strlen(line), MSG_NOSIGNAL);
                };
                if (in.startsWith(QByteArray(1, '\0') + "AUTH EXTERNAL " + QByteArray::number(::getuid()).toHex() + "\r\n"))
                    answer("OK 0123456789abcdef0123456789abcdef\r\n");
                else if (in.startsWith("NEGOTIATE_UNIX_FD\r\n"))
                    answer("AGREE_UNIX_FD\r\n");
                else if (in.startsWith("BEGIN\r\n") && in.size() > 7 + DBUS_MINIMUM_HEADER_SIZE
                         && in.size() - 7 >= dbus_message_demarshal_bytes_needed(in.constData() + 7, int(in.size() - 7)))
                    answerHello(client, in.mid(7), step);
                else
                    continue;
                in = in.mid(in.indexOf('\n') + 1);
            }
        }
    }
    void answerHello(int client, const QByteArray& bytes, int& step)
    {
        DBusMessage* const call = dbus_message_demarshal(bytes.constData(), int(bytes.size()), nullptr);
        if (call && dbus_message_is_method_call(call, DBUS_INTERFACE_DBUS, "Hello") && ++step <= m_steps) {
            DBusMessage* const signal = dbus_message_new_signal(DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "NameAcquired");
            DBusMessage* const reply = dbus_message_new_method_return(call);
            const char* name = ":1.1";
            dbus_message_append_args(reply, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
            for (DBusMessage* const message : {signal, reply}) {
                char* data = nullptr;
                int length = 0;
                dbus_message_set_serial(message, 1);
                if (dbus_message_marshal(message, &data, &length))
                    ::send(client, data, size_t(length), MSG_NOSIGNAL);
                dbus_free(data);
                dbus_message_unref(message);
            }
        }
        if (call)
            dbus_message_unref(call);
    }

    int m_steps;
    int m_fd = -1;
    std::thread m_thread;
};
} // namespace

TEST(SessionBus, ABusThatNeverAnswersIsSilentAndTheEntriesAreTakenInLibdbusOrder)
{
    QTemporaryDir dir;
    const QString silent = dir.filePath("silent bus"), full = dir.filePath("full");
    const QByteArray missing = escaped(dir.filePath("missing")), path = escaped(silent);
    const QByteArray name = "lumora-test-silent-" + QByteArray::number(::getpid());
    const Listener bus(silent.toLocal8Bit(), false), abstract(name, true);
    Listener queueFull(full.toLocal8Bit(), false, 0);
    queueFull.FillQueue();
    const struct {
        const char* name;
        QByteArray address;
        Answer answer;
    } cases[] = {
        {"a bus at a path that never answers", "unix:path=" + path, Answer::Silent},
        {"a bus at an abstract name that never answers", "unix:abstract=" + name + ",guid=0123", Answer::Silent},
        // Its queue full, the listener refuses a connection that does not wait, where libdbus's
        // would wait for a place.
        {"a bus that accepts nothing more", "unix:path=" + escaped(full), Answer::Silent},
        {"a socket that is not there is passed over", "unix:path=" + missing + ";unix:path=" + path, Answer::Silent},
        {"a listening-only entry is passed over", "unix:tmpdir=/tmp;unix:path=" + path, Answer::Silent},
        {"an entry of another kind first is left to libdbus", "tcp:host=localhost,port=1;unix:path=" + path,
         Answer::CannotTell},
        {"no entry connects", "unix:path=" + missing, Answer::NoBus},
        {"a broken escape spoils the whole address", "unix:path=" + path + ";unix:path=%zz", Answer::NoBus},
        {"so does a blank left unescaped", "unix:path=" + silent.toLocal8Bit(), Answer::NoBus},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SessionBus::Ask(c.address, "", Limit, -1, -1), c.answer) << c.name;
}

TEST(SessionBus, ABusThatFallsSilentAtAnyStepBeforeItsHelloReplyIsSilent)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        int steps;
        Answer answer;
    } cases[] = {
        {"a bus that reads the authentication and answers nothing", 0, Answer::Silent},
        {"a bus silent after its OK, as the passing of descriptors is asked", 1, Answer::Silent},
        {"a bus silent after BEGIN, the Hello call unanswered", 2, Answer::Silent},
        {"a bus that answers the Hello call", 3, Answer::Answers},
    };
    for (const auto& c : cases) {
        const QByteArray path = dir.filePath(QString::number(c.steps)).toLocal8Bit();
        const FakeBus bus(path, c.steps);
        // The answers come within microseconds; a limit they cannot miss on a busy machine.
        const int limit = c.answer == Answer::Answers ? 60000 : Limit;
        EXPECT_EQ(SessionBus::Ask("unix:path=" + escaped(path), "", limit, -1, -1), c.answer) << c.name;
    }
}

TEST(SessionBus, WithoutAnAddressTheUsersBusInTheRuntimeFolderIsAsked)
{
    QTemporaryDir dir;
    const QByteArray runtime = dir.path().toLocal8Bit();
    EXPECT_EQ(SessionBus::Ask("", "", Limit, -1, -1), Answer::NoBus) << "no runtime folder";
    EXPECT_EQ(SessionBus::Ask("", runtime, Limit, -1, -1), Answer::NoBus) << "no bus in it";
    const Listener bus(runtime + "/bus", false);
    EXPECT_EQ(SessionBus::Ask("", runtime, Limit, -1, -1), Answer::Silent) << "a bus that never answers";
}

TEST(SessionBus, AQuitAskedOrTheDisplayGoneMeanwhileEndsTheAsking)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath("bus").toLocal8Bit();
    const Listener bus(path, false);
    int quit[2], display[2];
    ASSERT_EQ(::pipe(quit), 0);
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, display), 0);
    const QByteArray address = "unix:path=" + escaped(path);
    // A display that writes to the connection is not gone.
    ASSERT_EQ(::write(display[1], "x", 1), 1);
    EXPECT_EQ(SessionBus::Ask(address, "", Limit, quit[0], display[0]), Answer::Silent);
    // Limits that only the quit or the display's end can cut short.
    ASSERT_EQ(::write(quit[1], "x", 1), 1);
    EXPECT_EQ(SessionBus::Ask(address, "", 60000, quit[0], display[0]), Answer::QuitAsked);
    ::close(display[1]);
    EXPECT_EQ(SessionBus::Ask(address, "", 60000, -1, display[0]), Answer::DisplayGone);
    for (const int fd : {quit[0], quit[1], display[0]})
        ::close(fd);
}
