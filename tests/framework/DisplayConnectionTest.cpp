// The first connection asks a display again only where a server takes connections: a display
// whose socket or port nobody listens on gets its message at once, not after the retries.
#include "framework/DisplayConnection.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

TEST(DisplayConnection, AServerIsThereOnlyWhereSomethingListens)
{
    // Display n's port is 6000 + n.
    constexpr int FirstPort = 6000;
    const Listener port;
    ASSERT_TRUE(port.Listens());
    const QByteArray overTcp = QByteArray::number(port.Port() - FirstPort);
    const QByteArray none = QByteArray::number(Listener().Port() - FirstPort);   // a port closed since
    // An X server's abstract socket, at a display whose port is not the listener's.
    const QByteArray atSocket = QByteArray::number(port.Port() - FirstPort + 1);
    const Listener socket("/tmp/.X11-unix/X" + atSocket, true);
    ASSERT_TRUE(socket.Listens()) << "display " << atSocket.constData() << " is in use";
    const struct {
        const char* name;
        QByteArray display;
        bool listens;
    } cases[] = {
        {"a display over TCP", "localhost:" + overTcp, true},
        {"a local display on localhost's port, where xcb looks last", ":" + overTcp, true},
        {"a local display at its socket", "unix:" + atSocket, true},
        {"a local display whose socket nobody listens on", "unix:" + overTcp + ".0", false},
        {"a display where nothing listens", ":" + none, false},
        {"a display over TCP at a closed port", "localhost:" + none, false},
        {"a name that cannot be read", "no display name", false},
    };
    const auto soon = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (const auto& c : cases)
        EXPECT_EQ(DisplayConnection::ServerListens(c.display, soon), c.listens) << c.name << ": " << c.display.constData();
}
