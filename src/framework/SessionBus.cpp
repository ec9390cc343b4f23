#include "framework/SessionBus.h"
#include "framework/QuitSignals.h"
#include "framework/Socket.h"
#include <QDBusConnection>
#include <QList>
#include <QtGlobal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Clock = Socket::Clock;

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
    enum Kind { UnixSocket, Skipped, Other } kind = Skipped;
    Socket::UnixAddress where;
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

// A unix socket's place; false for a name that libdbus refuses too.
bool socketAddress(const QByteArray& name, bool abstract, Place& place)
{
    if (!Socket::MakeUnixAddress(std::string_view(name.constData(), size_t(name.size())), abstract, place.where))
        return false;
    place.kind = Place::UnixSocket;
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

using Answer = SessionBus::Answer;

// Connects to one socket and sends the authentication's first command: a nul byte, then AUTH
// without a mechanism, which a bus answers with the mechanisms it knows. Any answer, a
// closed connection or an error counts: none of them keeps libdbus waiting. NoBus where the
// socket took no connection, and libdbus would go on to the next entry.
Answer ask(const Place& place, Clock::time_point deadline, int quitFd)
{
    int fd = -1;
    switch (Socket::Connect(place.where.address(), place.where.length, deadline, true, quitFd, fd)) {
    case Socket::Outcome::Connected:
        break;
    case Socket::Outcome::NoSocket:
        return Answer::Answers;   // nothing can be told: libdbus decides
    case Socket::Outcome::TimedOut:
        return Answer::Silent;   // a listener that accepts nothing, where libdbus's connect would wait
    case Socket::Outcome::QuitAsked:
        return Answer::QuitAsked;
    case Socket::Outcome::QueueFull:
    case Socket::Outcome::Refused:
        return Answer::NoBus;
    }
    const auto reply = [fd](Answer r) {
        ::close(fd);
        return r;
    };
    static const char command[] = "\0AUTH\r\n";
    if (::send(fd, command, sizeof command - 1, MSG_NOSIGNAL) != ssize_t(sizeof command - 1))
        return reply(Answer::Answers);
    const int answered = Socket::Wait(fd, POLLIN, deadline, quitFd);
    // The answer read: a connection closed with it unread reaches the bus as an error.
    if (answered > 0) {
        char answer[256];
        [[maybe_unused]] const ssize_t got = ::recv(fd, answer, sizeof answer, MSG_DONTWAIT);
    }
    return reply(answered < 0 ? Answer::QuitAsked : answered > 0 ? Answer::Answers : Answer::Silent);
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
        // A socket that took no connection: libdbus goes on to the next entry too.
        if (const Answer answer = ask(place, deadline, quitFd); answer != Answer::NoBus)
            return answer;
    }
    return Answer::NoBus;
}

void SessionBus::Probe()
{
    // Read once: whether it was set at all is what RestoreEnvironment puts back.
    const char* const value = std::getenv(Variable);
    const QByteArray address(value);
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    const Answer answer = Ask(address, runtimeDir, AnswerMs, QuitSignals::PipeToRead());
    if (answer == Answer::Silent)
        std::fprintf(stderr, "lumora-calendar: the session bus at \"%s\" did not answer within %d s, so the calendar runs without it\n",
                     address.isEmpty() ? ("unix:path=" + runtimeDir + "/bus").constData() : address.constData(),
                     AnswerMs / 1000);
    if (answer != Answer::Silent && answer != Answer::QuitAsked && !(answer == Answer::NoBus && address.isEmpty()))
        return;
    g_wasSet = value != nullptr;
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
