#pragma once
#include <chrono>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>

// Connections that wait no longer than a deadline, for the servers the program asks before the
// toolkit does: the X display's sockets and ports (DisplayConnection) and the session bus's
// socket (SessionBus). Each socket is made not to block and closed on exec.
class Socket
{
public:
    using Clock = std::chrono::steady_clock;

    // A unix socket's address: at a path, or an abstract name, which begins with a NUL byte and
    // has none at its end.
    struct UnixAddress {
        sockaddr_un where {};
        socklen_t length = 0;
        const sockaddr* address() const { return reinterpret_cast<const sockaddr*>(&where); }
    };
    // False for an empty name or one too long, which libdbus and libxcb refuse too.
    static bool MakeUnixAddress(std::string_view name, bool abstract, UnixAddress& made);

    // How a connection went. QueueFull: a listener is there, with its queue of connections
    // full (a server that accepts nothing more). NoSocket: none could be made.
    enum class Outcome { Connected, QueueFull, Refused, TimedOut, QuitAsked, NoSocket };
    // Connects a new socket to address; fd is the socket where Connected, else -1. A
    // connection under way (TCP) is waited for until deadline. A listener's full queue is
    // waited on (libdbus's connect waits for a place in it) only where waitForPlace holds,
    // asking again every 10 ms. Both waits end where quitFd (-1: none) becomes readable.
    static Outcome Connect(const sockaddr* address, socklen_t length, Clock::time_point deadline, bool waitForPlace,
                           int quitFd, int& fd);
    // Waits until fd has one of events (poll's) or the deadline passes: 1 or 0; -1 where quitFd
    // (-1: none) became readable meanwhile. Without a descriptor (fd -1) it only waits.
    static int Wait(int fd, short events, Clock::time_point deadline, int quitFd);
};
