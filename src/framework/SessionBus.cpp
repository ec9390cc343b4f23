#include "framework/SessionBus.h"
#include "framework/QuitSignals.h"
#include <QDBusConnection>
#include <QList>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

const char* const Variable = "DBUS_SESSION_BUS_ADDRESS";
// No socket can lie under a device: libdbus fails at once on this address, and launches no
// bus in its place as it would without an address.
const char* const FailingAddress = "unix:path=/dev/null/no-session-bus";

bool g_replaced = false;
bool g_wasSet = false;
QByteArray g_original;

// One entry of a bus address as libdbus connects to it: a unix socket, an entry libdbus
// cannot connect to and passes over, or one of another kind that is not asked here.
struct Place {
    enum Kind { Socket, Skipped, Other } kind = Skipped;
    sockaddr_un where {};
    socklen_t length = 0;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A value with its %XX escapes decoded; false for a broken escape.
bool unescape(const QByteArray& text, QByteArray& value)
{
    value.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low < 0)
            return false;
        value += char(high * 16 + low);
        i += 2;
    }
    return true;
}

// A unix socket's address: an abstract name starts with a NUL byte and has none at its end.
// False for a name too long, which libdbus refuses too.
bool socketAddress(const QByteArray& name, bool abstract, Place& place)
{
    if (name.isEmpty() || size_t(name.size()) + 1 > sizeof place.where.sun_path)
        return false;
    place.where.sun_family = AF_UNIX;
    std::memcpy(place.where.sun_path + (abstract ? 1 : 0), name.constData(), size_t(name.size()));
    place.length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()) + 1);
    place.kind = Place::Socket;
    return true;
}

// The entries of an address in libdbus's order; false where libdbus refuses the whole address
// (an entry without a method, a key without its value, a broken escape).
bool parse(const QByteArray& address, QList<Place>& places)
{
    for (const QByteArray& entry : address.split(';')) {
        if (entry.isEmpty())
            continue;
        const qsizetype colon = entry.indexOf(':');
        if (colon <= 0)
            return false;
        bool hasPath = false, hasAbstract = false, listenOnly = false;
        QByteArray path, abstract;
        for (const QByteArray& pair : entry.mid(colon + 1).split(',')) {
            if (pair.isEmpty())
                continue;
            const qsizetype equals = pair.indexOf('=');
            QByteArray value;
            if (equals <= 0 || equals + 1 == pair.size() || !unescape(pair.mid(equals + 1), value))
                return false;
            const QByteArray key = pair.left(equals);
            if (key == "path") {
                hasPath = true;
                path = value;
            } else if (key == "abstract") {
                hasAbstract = true;
                abstract = value;
            } else if (key == "tmpdir" || key == "dir" || key == "runtime") {
                listenOnly = true;
            }
        }
        Place place;
        if (entry.left(colon) != "unix")
            place.kind = Place::Other;
        // A unix entry libdbus cannot connect to fails at once, and it goes on to the next.
        else if (!listenOnly && hasPath != hasAbstract)
            socketAddress(hasPath ? path : abstract, hasAbstract, place);
        places.append(place);
    }
    return true;
}

// Waits until fd is readable (1) or the deadline passes (0); -1 when a quit was asked
// meanwhile. Without a descriptor (-1) it only waits.
int waitReadable(int fd, Clock::time_point deadline, int quitFd)
{
    for (;;) {
        pollfd watched[2] = {{fd, POLLIN, 0}, {quitFd, POLLIN, 0}};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int ready = ::poll(watched, 2, int(left > 0 ? left : 0));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0 && watched[1].revents)
            return -1;
        return ready;
    }
}

enum class Reply { Answers, Silent, NotConnected, QuitAsked };

// Connects to one socket and sends the authentication's first command: a nul byte, then AUTH
// without a mechanism, which a bus answers with the mechanisms it knows. Any answer, a
// closed connection or an error counts: none of them keeps libdbus waiting.
Reply ask(const Place& place, Clock::time_point deadline, int quitFd)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Reply::Answers;   // nothing can be told: libdbus decides
    const auto reply = [fd](Reply r) {
        ::close(fd);
        return r;
    };
    // A listener whose queue is full (a bus that accepts nothing) refuses a connection that
    // does not wait (EAGAIN), where libdbus's would wait for a place in the queue.
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&place.where), place.length) != 0) {
        if (errno != EAGAIN && errno != EINTR)
            return reply(Reply::NotConnected);
        const int waited = waitReadable(-1, std::min(deadline, Clock::now() + std::chrono::milliseconds(10)), quitFd);
        if (waited < 0)
            return reply(Reply::QuitAsked);
        if (Clock::now() >= deadline)
            return reply(Reply::Silent);
    }
    static const char command[] = "\0AUTH\r\n";
    if (::send(fd, command, sizeof command - 1, MSG_NOSIGNAL) != ssize_t(sizeof command - 1))
        return reply(Reply::Answers);
    const int answered = waitReadable(fd, deadline, quitFd);
    // The answer read: a connection closed with it unread reaches the bus as an error.
    if (answered > 0) {
        char answer[256];
        [[maybe_unused]] const ssize_t got = ::recv(fd, answer, sizeof answer, MSG_DONTWAIT);
    }
    return reply(answered < 0 ? Reply::QuitAsked : answered > 0 ? Reply::Answers : Reply::Silent);
}
} // namespace

SessionBus::Answer SessionBus::Ask(const QByteArray& address, const QByteArray& runtimeDir, int limitMs, int quitFd)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    QList<Place> places;
    if (address.isEmpty()) {
        // libdbus's own choice without an address: the user's bus at $XDG_RUNTIME_DIR/bus where
        // that is a socket of this user's, else one it launches.
        const QByteArray path = runtimeDir + "/bus";
        struct stat there {};
        Place place;
        if (runtimeDir.isEmpty() || ::lstat(path.constData(), &there) != 0 || there.st_uid != ::getuid()
            || !S_ISSOCK(there.st_mode) || !socketAddress(path, false, place))
            return Answer::NoBus;
        places.append(place);
    } else if (!parse(address, places)) {
        return Answer::NoBus;
    }
    for (const Place& place : places) {
        if (place.kind == Place::Other)
            return Answer::CannotTell;
        if (place.kind == Place::Skipped)
            continue;
        switch (ask(place, deadline, quitFd)) {
        case Reply::Answers:
            return Answer::Answers;
        case Reply::Silent:
            return Answer::Silent;
        case Reply::QuitAsked:
            return Answer::QuitAsked;
        case Reply::NotConnected:
            break;   // libdbus goes on to the next entry too
        }
    }
    return Answer::NoBus;
}

void SessionBus::Probe()
{
    const QByteArray address = qgetenv(Variable);
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    const Answer answer = Ask(address, runtimeDir, AnswerMs, QuitSignals::PipeToRead());
    if (answer == Answer::Silent)
        std::fprintf(stderr, "lumora-calendar: the session bus at \"%s\" did not answer within %d s, so the calendar runs without it\n",
                     address.isEmpty() ? ("unix:path=" + runtimeDir + "/bus").constData() : address.constData(),
                     AnswerMs / 1000);
    if (answer != Answer::Silent && answer != Answer::QuitAsked && !(answer == Answer::NoBus && address.isEmpty()))
        return;
    g_wasSet = qEnvironmentVariableIsSet(Variable);
    g_original = address;
    qputenv(Variable, FailingAddress);
    g_replaced = true;
}

void SessionBus::RestoreEnvironment()
{
    if (!g_replaced)
        return;
    g_replaced = false;
    QDBusConnection::sessionBus();
    // Other threads run by now and read the environment (fontconfig's): a value replaced in
    // place, or the entry added last taken away, moves no other entry of it.
    if (g_wasSet)
        qputenv(Variable, g_original);
    else
        qunsetenv(Variable);
}
