#pragma once
#include <QByteArray>
#include <chrono>

struct xcb_connection_t;

// The program's first connection to the X display that DISPLAY names. An X server that resets
// when its last client leaves turns away whoever comes during the reset: a client started just
// before this one (a session script's xrdb or xsetroot, a tool that waits for our window) may
// leave just as we connect. So where a server took the connection and closed it, the display is
// asked again for up to RetryMs. Where no server takes connections at all (no socket, a socket
// left behind by a server that ended, a port that nobody listens on) or the name cannot be
// read, the answer comes at once: waiting would only put off the message. So it does where a
// server refuses the connection's set-up (no cookie or a wrong one): its reason, which libxcb
// writes to standard error at each try, is said once. A quit signal ends the asking too
// (QuitSignals::Asked).
class DisplayConnection
{
public:
    // The connection, or xcb's connection in error, whose error the caller reports.
    static xcb_connection_t* Open();
    // Whether a server takes connections at the display named name (as xcb reads DISPLAY), at
    // the places where xcb looks for it: on this machine its abstract socket and its socket in
    // /tmp/.X11-unix, then, for a name without a host, localhost's port; elsewhere the host's
    // port. A display reached over TCP (ssh's forwarding, another machine) is treated as a local
    // one, the connection's answer waited for until deadline at most: a port that takes
    // connections (sshd's forwarding takes them and closes them where the far display turns
    // them away) may be a server in its reset too. A host that does not answer by then counts
    // as none; by then xcb has waited for it already.
    static bool ServerListens(const QByteArray& name, std::chrono::steady_clock::time_point deadline);

    static constexpr int RetryMs = 2000;
};
