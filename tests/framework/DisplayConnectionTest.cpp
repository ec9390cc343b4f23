// The first connection asks a display again only where a server takes connections: a display
// whose socket or port nobody listens on gets its message at once, after one try.
#include "framework/DisplayConnection.h"
#include "TestSupport.h"
#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {
std::atomic<int> g_tries{0};
} // namespace

// This test program's own xcb_connect, which the program's code calls: each try counted, then
// libxcb's.
extern "C" xcb_connection_t* xcb_connect(const char* name, int* screen)
{
    ++g_tries;
    using Connect = xcb_connection_t* (*)(const char*, int*);
    static const auto libxcbs = reinterpret_cast<Connect>(::dlsym(RTLD_NEXT, "xcb_connect"));
    return libxcbs(name, screen);
}

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

// In a copy of this program of its own (DISPLAY changes): the number of tries as its status.
[[noreturn]] void openAndCountTries(const QByteArray& display)
{
    qputenv("DISPLAY", display);
    g_tries = 0;
    xcb_connection_t* connection = DisplayConnection::Open();
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    std::_Exit(failed ? g_tries.load() : 100);
}

TEST(DisplayConnection, ADisplayNobodyListensAtIsAskedOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    constexpr int FirstPort = 6000;
    const QByteArray none = ":" + QByteArray::number(Listener().Port() - FirstPort);   // a port closed since
    EXPECT_EXIT(openAndCountTries(none), testing::ExitedWithCode(1), "") << none.constData();
}
