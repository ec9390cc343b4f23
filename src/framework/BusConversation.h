#pragma once
#include "framework/Socket.h"

// What libdbus says and waits for on a new connection to a session bus, up to the reply to its
// first call, as Qt's first connection makes it: the credentials' nul byte and AUTH EXTERNAL
// with this user's id, the bus's OK; NEGOTIATE_UNIX_FD, as libdbus asks on a unix socket, the
// bus's AGREE_UNIX_FD or ERROR; BEGIN and the bus's Hello call (made by libdbus), and the reply
// to it, after any other message of the bus's. The bus's messages are read with libdbus too.
class BusConversation
{
public:
    // Answered: each step was answered, or the bus answered otherwise than a bus daemon (closed
    // the connection, refused the authentication, sent what is no message): libdbus then fails
    // at once or goes on its own way, and nothing is told. Silent: an answer did not come
    // before the deadline. Stopped: stopFd became readable meanwhile.
    enum class Outcome { Answered, Silent, Stopped };
    // On fd, a connected socket that does not block; stopFd -1: none.
    static Outcome Hold(int fd, Socket::Clock::time_point deadline, int stopFd);
};
