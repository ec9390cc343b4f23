#include "framework/SessionBus.h"
#include "framework/BusConversation.h"
#include "framework/QuitSignals.h"
#include "framework/Socket.h"
#include <QDBusConnection>
#include <QList>
#include <QtGlobal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dbus/dbus.h>
#include <poll.h>
#include <sys/epoll.h>
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

// A unix socket's place; false for a name that libdbus refuses too.
bool socketAddress(const char* name, bool abstract, Place& place)
{
    if (!Socket::MakeUnixAddress(name, abstract, place.where))
        return false;
    place.kind = Place::UnixSocket;
    return true;
}

// The entries of an address in libdbus's order, as libdbus's own parser reads them; false where
// it refuses the whole address (an entry without a method, a key without its value, a broken
// escape).
bool parse(const QByteArray& address, QList<Place>& places)
{
    DBusAddressEntry** entries = nullptr;
    int count = 0;
    if (!dbus_parse_address(address.constData(), &entries, &count, nullptr))
        return false;
    for (int i = 0; i < count; ++i) {
        const auto value = [entry = entries[i]](const char* key) { return dbus_address_entry_get_value(entry, key); };
        const char* const path = value("path");
        const char* const abstract = value("abstract");
        Place place;
        if (std::strcmp(dbus_address_entry_get_method(entries[i]), "unix") != 0)
            place.kind = Place::Other;
        // A unix entry libdbus cannot connect to fails at once, and it goes on to the next.
        else if (!value("tmpdir") && !value("dir") && !value("runtime") && !path != !abstract)
            socketAddress(path ? path : abstract, abstract != nullptr, place);
        places.append(place);
    }
    dbus_address_entries_free(entries);
    return true;
}

using Answer = SessionBus::Answer;

// Connects to one socket and holds libdbus's conversation on it. NoBus where the socket took no
// connection, and libdbus would go on to the next entry.
Answer ask(const Place& place, Clock::time_point deadline, int stopFd)
{
    int fd = -1;
    switch (Socket::Connect(place.where.address(), place.where.length, deadline, true, stopFd, fd)) {
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
    const BusConversation::Outcome outcome = BusConversation::Hold(fd, deadline, stopFd);
    ::close(fd);
    return outcome == BusConversation::Outcome::Silent    ? Answer::Silent
           : outcome == BusConversation::Outcome::Stopped ? Answer::QuitAsked
                                                          : Answer::Answers;
}

// Whether the server closed the display's connection.
bool displayGone(int displayFd)
{
    pollfd watched = {displayFd, POLLRDHUP, 0};
    return displayFd >= 0 && ::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

// One descriptor that becomes readable when a quit is asked or the display goes away, for
// Socket's waits (a full queue's, an answer's), which watch one besides their own: an epoll set
// of the quit's pipe (readable) and the display's connection (hung up only: the server may yet
// write to it). -1 where none could be made, or without a display.
int stopSet(int quitFd, int displayFd)
{
    const int set = displayFd >= 0 ? ::epoll_create1(EPOLL_CLOEXEC) : -1;
    epoll_event quit = {EPOLLIN, {}}, display = {EPOLLRDHUP, {}};
    if (set >= 0
        && ((quitFd >= 0 && ::epoll_ctl(set, EPOLL_CTL_ADD, quitFd, &quit) != 0)
            || ::epoll_ctl(set, EPOLL_CTL_ADD, displayFd, &display) != 0)) {
        ::close(set);
        return -1;
    }
    return set;
}
} // namespace

SessionBus::Answer SessionBus::Ask(const QByteArray& address, const QByteArray& runtimeDir, int limitMs, int quitFd,
                                     int displayFd)
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
            || !S_ISSOCK(there.st_mode) || !socketAddress(path.constData(), false, place))
            return Answer::NoBus;
        places.append(place);
    } else if (!parse(address, places)) {
        return Answer::NoBus;
    }
    const int set = stopSet(quitFd, displayFd);
    Answer answer = Answer::NoBus;
    for (const Place& place : places) {
        if (place.kind == Place::Other) {
            answer = Answer::CannotTell;
            break;
        }
        // A socket that took no connection: libdbus goes on to the next entry too.
        if (place.kind == Place::UnixSocket && (answer = ask(place, deadline, set >= 0 ? set : quitFd)) != Answer::NoBus)
            break;
    }
    if (set >= 0)
        ::close(set);
    return answer == Answer::QuitAsked && displayGone(displayFd) ? Answer::DisplayGone : answer;
}

bool SessionBus::Probe(int displayFd)
{
    // Read once: whether it was set at all is what RestoreEnvironment puts back.
    const char* const value = std::getenv(Variable);
    const QByteArray address(value);
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    const Answer answer = Ask(address, runtimeDir, AnswerMs, QuitSignals::PipeToRead(), displayFd);
    if (answer == Answer::DisplayGone)
        return false;
    if (answer == Answer::Silent)
        std::fprintf(stderr, "lumora-calendar: the session bus at \"%s\" did not answer within %d s, so the calendar runs without it\n",
                     address.isEmpty() ? ("unix:path=" + runtimeDir + "/bus").constData() : address.constData(),
                     AnswerMs / 1000);
    if (answer != Answer::Silent && answer != Answer::QuitAsked && !(answer == Answer::NoBus && address.isEmpty()))
        return true;
    g_wasSet = value != nullptr;
    g_original = address;
    qputenv(Variable, FailingAddress);
    g_replaced = true;
    return true;
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
