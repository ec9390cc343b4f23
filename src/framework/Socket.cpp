#include "framework/Socket.h"
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <unistd.h>

bool Socket::MakeUnixAddress(std::string_view name, bool abstract, UnixAddress& made)
{
    made = {};
    // A path's NUL at its end, an abstract name's at its start.
    if (name.empty() || name.size() + 1 > sizeof made.where.sun_path)
        return false;
    made.where.sun_family = AF_UNIX;
    std::memcpy(made.where.sun_path + (abstract ? 1 : 0), name.data(), name.size());
    made.length = socklen_t(offsetof(sockaddr_un, sun_path) + name.size() + 1);
    return true;
}

Socket::Outcome Socket::Connect(const sockaddr* address, socklen_t length, Clock::time_point deadline,
                                bool waitForPlace, int quitFd, int& fd)
{
    fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Outcome::NoSocket;
    const auto failed = [&fd](Outcome outcome) {
        ::close(fd);
        fd = -1;
        return outcome;
    };
    while (::connect(fd, address, length) != 0) {
        if (errno == EINPROGRESS) {
            const int ready = Wait(fd, POLLOUT, deadline, quitFd);
            int error = 0;
            socklen_t size = sizeof error;
            if (ready <= 0)
                return failed(ready < 0 ? Outcome::QuitAsked : Outcome::TimedOut);
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
                return failed(Outcome::Refused);
            return Outcome::Connected;
        }
        if (errno != EAGAIN && errno != EINTR)
            return failed(Outcome::Refused);
        if (errno == EAGAIN && !waitForPlace)
            return failed(Outcome::QueueFull);
        if (Wait(-1, 0, std::min(deadline, Clock::now() + std::chrono::milliseconds(10)), quitFd) < 0)
            return failed(Outcome::QuitAsked);
        if (Clock::now() >= deadline)
            return failed(Outcome::TimedOut);
    }
    return Outcome::Connected;
}

int Socket::Wait(int fd, short events, Clock::time_point deadline, int quitFd)
{
    for (;;) {
        pollfd watched[2] = {{fd, events, 0}, {quitFd, POLLIN, 0}};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int ready = ::poll(watched, 2, int(left > 0 ? left : 0));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0 && watched[1].revents)
            return -1;
        return ready > 0 ? 1 : ready;
    }
}
