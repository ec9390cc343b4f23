// The first connection asks a display again only where a server takes connections: a display
// whose socket or port nobody listens on gets its message at once, not after the retries.
#include "framework/DisplayConnection.h"
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

// A listening socket of the test's own, closed with it.
struct Listener {
    int fd = -1;
    ~Listener()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Listens on a free TCP port of this machine above 6000: the port of display number
// (port - 6000) on localhost.
int listenOnAPort(Listener& listener)
{
    listener.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listener.fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(listener.fd, 4) != 0
        || ::getsockname(listener.fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return -1;
    return ntohs(address.sin_port) - 6000;
}

// Listens at display number's abstract socket, as an X server does; false where that name is
// taken.
bool listenAtTheAbstractSocket(Listener& listener, int number)
{
    const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path + 1);
    listener.fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return ::bind(listener.fd, reinterpret_cast<sockaddr*>(&address),
                  socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())) == 0
        && ::listen(listener.fd, 4) == 0;
}
} // namespace

TEST(DisplayConnection, AServerIsThereOnlyWhereSomethingListens)
{
    const auto soon = Clock::now() + std::chrono::seconds(2);
    int number = -1;
    {
        Listener port;
        number = listenOnAPort(port);
        ASSERT_GT(number, 0);
        const QByteArray local = ":" + QByteArray::number(number);
        EXPECT_TRUE(DisplayConnection::ServerListens("localhost" + local, soon)) << "a display over TCP";
        EXPECT_TRUE(DisplayConnection::ServerListens("tcp/127.0.0.1" + local, soon)) << "one named with its protocol";
        // xcb tries localhost's port last for a name without a host.
        EXPECT_TRUE(DisplayConnection::ServerListens(local, soon)) << "a local display on localhost's port";
        Listener socket;
        ASSERT_TRUE(listenAtTheAbstractSocket(socket, number)) << "display " << number << " is in use";
        EXPECT_TRUE(DisplayConnection::ServerListens("unix" + local, soon)) << "a local display at its socket";
    }
    // Both closed: nobody takes a connection there now.
    const QByteArray local = ":" + QByteArray::number(number);
    EXPECT_FALSE(DisplayConnection::ServerListens(local, soon));
    EXPECT_FALSE(DisplayConnection::ServerListens("unix" + local + ".0", soon));
    EXPECT_FALSE(DisplayConnection::ServerListens("localhost" + local, soon));
    EXPECT_FALSE(DisplayConnection::ServerListens("no display name", soon));
}
