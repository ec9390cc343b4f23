#include "framework/DisplayConnection.h"
#include "framework/Application.h"
#include "framework/QuitSignals.h"
#include "framework/Socket.h"
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <netdb.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {
using Clock = Socket::Clock;

// Whether a connection to address is taken, waiting for it until deadline at most. A full
// backlog is a server that is there.
bool takesConnection(const sockaddr* address, socklen_t length, Clock::time_point deadline)
{
    int fd = -1;
    const Socket::Outcome outcome = Socket::Connect(address, length, deadline, false, -1, fd);
    if (fd >= 0)
        ::close(fd);
    return outcome == Socket::Outcome::Connected || outcome == Socket::Outcome::QueueFull;
}

bool unixSocketListens(const std::string& path, bool abstract)
{
    Socket::UnixAddress address;
    return Socket::MakeUnixAddress(path, abstract, address)
        && takesConnection(address.address(), address.length, Clock::now());
}

// xcb_connect, with what libxcb writes to standard error meanwhile caught in written: where a
// server refuses the connection's set-up (no cookie or a wrong one, too many clients), libxcb
// writes the server's reason there at every try. Standard error points at a pipe for the try
// alone. Nothing else writes there meanwhile: no other thread runs yet but the quit guard,
// which writes only at a quit held up for its whole time (QuitSignals::GuardMs), and then to
// standard error as it was (Application::KeepStandardError).
xcb_connection_t* connectCatchingStandardError(std::string& written)
{
    written.clear();
    int caught[2] = {-1, -1};
    const int standardError = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    // Non-blocking: a reason longer than the pipe holds is cut, never waited on.
    if (standardError < 0 || ::pipe2(caught, O_CLOEXEC | O_NONBLOCK) != 0
        || ::dup2(caught[1], STDERR_FILENO) < 0) {
        for (const int fd : {standardError, caught[0], caught[1]})
            if (fd >= 0)
                ::close(fd);
        return xcb_connect(nullptr, nullptr);
    }
    xcb_connection_t* display = xcb_connect(nullptr, nullptr);
    ::dup2(standardError, STDERR_FILENO);
    ::close(standardError);
    ::close(caught[1]);
    char buffer[4096];
    for (ssize_t got; (got = ::read(caught[0], buffer, sizeof buffer)) > 0;)
        written.append(buffer, size_t(got));
    ::close(caught[0]);
    return display;
}

bool portListens(std::string host, int port, Clock::time_point deadline)
{
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')   // an IPv6 address
        host = host.substr(1, host.size() - 2);
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool listens = false;
    for (const addrinfo* address = found; address && !listens; address = address->ai_next)
        listens = takesConnection(address->ai_addr, address->ai_addrlen, deadline);
    ::freeaddrinfo(found);
    return listens;
}
} // namespace

bool DisplayConnection::ServerListens(const QByteArray& name, Clock::time_point deadline)
{
    char* parsedHost = nullptr;
    int number = 0;
    if (!xcb_parse_display(name.constData(), &parsedHost, &number, nullptr))
        return false;
    const std::string host = parsedHost;
    std::free(parsedHost);
    constexpr int FirstPort = 6000;
    if (!host.empty() && host != "unix")
        return portListens(host, FirstPort + number, deadline);
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return unixSocketListens(path, true) || unixSocketListens(path, false)
        || (host.empty() && portListens("localhost", FirstPort + number, deadline));
}

xcb_connection_t* DisplayConnection::Open()
{
    // A write to a server that closed the connection (libxcb writes without MSG_NOSIGNAL)
    // would end the program by SIGPIPE (10 of 60 starts against a display that closes every
    // connection, 6 at once): from here on, for the whole run, the write fails instead, and the
    // connection's error tells the rest (DisplayLoss). A session bus gone fails its writes so.
    std::signal(SIGPIPE, SIG_IGN);
    Application::KeepStandardError();
    const auto giveUp = Clock::now() + std::chrono::milliseconds(RetryMs);
    // The name xcb_connect reads at each try: nothing changes it meanwhile.
    const QByteArray name = qgetenv("DISPLAY");
    for (;;) {
        std::string refusal;
        xcb_connection_t* display = connectCatchingStandardError(refusal);
        // A server that refused the set-up would refuse it again: its reason is said once, as
        // any X client says it, and the display is not asked again.
        while (!refusal.empty() && (refusal.back() == '\0' || std::isspace(static_cast<unsigned char>(refusal.back()))))
            refusal.pop_back();
        if (!refusal.empty())
            std::fprintf(stderr, "%s\n", refusal.c_str());
        if (xcb_connection_has_error(display) != XCB_CONN_ERROR || !refusal.empty() || QuitSignals::Asked()
            || Clock::now() >= giveUp || !ServerListens(name, giveUp))
            return display;
        xcb_disconnect(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
