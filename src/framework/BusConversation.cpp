#include "framework/BusConversation.h"
#include <QByteArray>
#include <cerrno>
#include <dbus/dbus.h>
#include <poll.h>
#include <unistd.h>

namespace {
using Outcome = BusConversation::Outcome;

constexpr dbus_uint32_t HelloSerial = 1;
// A reply to Hello, or a signal before it, is some hundred bytes: anything much longer is no
// bus daemon's.
constexpr int LongestMessage = 1 << 16;

// The call that registers a connection with the bus, Qt's first; empty where libdbus could not
// make it (no memory), and the bus is then not asked it.
QByteArray hello()
{
    QByteArray bytes;
    DBusMessage* const call = dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello");
    char* data = nullptr;
    int length = 0;
    if (call) {
        dbus_message_set_serial(call, HelloSerial);
        if (dbus_message_marshal(call, &data, &length)) {
            bytes = QByteArray(data, length);
            dbus_free(data);
        }
        dbus_message_unref(call);
    }
    return bytes;
}

// One conversation: what came from the bus and is not read yet, and why it ended.
struct Talk {
    int fd;
    Socket::Clock::time_point deadline;
    int stopFd;
    QByteArray received;
    Outcome ended = Outcome::Answered;

    // False where the bus took not all of it (a connection closed).
    bool send(const QByteArray& bytes)
    {
        ended = Outcome::Answered;
        return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // What the bus sent next, added to received; false (ended says why) where nothing came
    // before the deadline, the wait was stopped or the connection closed.
    bool receive()
    {
        const int ready = Socket::Wait(fd, POLLIN, deadline, stopFd);
        if (ready <= 0) {
            ended = ready < 0 ? Outcome::Stopped : Outcome::Silent;
            return false;
        }
        char chunk[4096];
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        ended = Outcome::Answered;
        if (got <= 0)
            return false;
        received.append(chunk, got);
        return true;
    }
    // The authentication's next line, without its CR LF.
    bool readLine(QByteArray& line)
    {
        for (;;) {
            if (const qsizetype end = received.indexOf("\r\n"); end >= 0) {
                line = received.left(end);
                received.remove(0, end + 2);
                return true;
            }
            if (!receive())
                return false;
        }
    }
    // The bus's messages up to the reply to Hello.
    Outcome readReply()
    {
        for (;;) {
            while (received.size() >= DBUS_MINIMUM_HEADER_SIZE) {
                const int needed = dbus_message_demarshal_bytes_needed(received.constData(), int(received.size()));
                if (needed <= 0 || needed > LongestMessage)
                    return Outcome::Answered;
                if (received.size() < needed)
                    break;
                DBusMessage* const message = dbus_message_demarshal(received.constData(), needed, nullptr);
                const bool reply = message && dbus_message_get_reply_serial(message) == HelloSerial;
                if (message)
                    dbus_message_unref(message);
                if (!message || reply)
                    return Outcome::Answered;
                received.remove(0, needed);
            }
            if (!receive())
                return ended;
        }
    }
};
} // namespace

BusConversation::Outcome BusConversation::Hold(int fd, Socket::Clock::time_point deadline, int stopFd)
{
    Talk talk{fd, deadline, stopFd, {}};
    QByteArray line;
    if (!talk.send(QByteArray(1, '\0') + "AUTH EXTERNAL " + QByteArray::number(::getuid()).toHex() + "\r\n")
        || !talk.readLine(line))
        return talk.ended;
    if (!line.startsWith("OK "))
        return Outcome::Answered;
    if (!talk.send("NEGOTIATE_UNIX_FD\r\n") || !talk.readLine(line))
        return talk.ended;
    if (line != "AGREE_UNIX_FD" && !line.startsWith("ERROR"))
        return Outcome::Answered;
    if (!talk.send("BEGIN\r\n" + hello()))
        return talk.ended;
    return talk.readReply();
}
