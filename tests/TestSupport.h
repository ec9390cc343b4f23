#pragma once
#include "framework/Dictionary.h"
#include "framework/MessageBox.h"
#include <QStringList>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <cstddef>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

// Records every message box shown while it lives, answering with the given button.
class MessageLog
{
public:
    explicit MessageLog(MessageBox::Button answer = MessageBox::Button::Action)
        : m_previous(MessageBox::SetInterceptor(MessageBox::Recorder(&messages, answer))) {}
    ~MessageLog() { MessageBox::SetInterceptor(m_previous); }
    QStringList messages;

private:
    MessageBox::Interceptor m_previous;
};

// The folder that holds the temporary homes of a test program and of the copies of it that
// its death tests start. Those copies end without cleaning up (by _Exit or a signal): their
// homes go with the folder when the first program ends.
inline QString SandboxRoot()
{
    static const QString root = [] {
        const char* variable = "LUMORA_TEST_SANDBOX_ROOT";
        if (const QByteArray inherited = qgetenv(variable); !inherited.isEmpty())
            return QString::fromLocal8Bit(inherited);
        static QTemporaryDir dir;   // the first program's, removed when it ends
        qputenv(variable, dir.path().toLocal8Bit());
        return dir.path();
    }();
    return root;
}

// Points the configuration and Documents folders into a fresh temporary folder.
class SandboxHome
{
public:
    SandboxHome()
    {
        m_oldHome = qgetenv("HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/.config").toUtf8());
    }
    ~SandboxHome()
    {
        qputenv("HOME", m_oldHome);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    QString configFolder() const { return dir.path() + "/.config"; }
    QString documentsFolder() const { return dir.path() + "/Documents"; }
    QString path() const { return dir.path(); }
    QTemporaryDir dir{SandboxRoot() + "/home-XXXXXX"};

private:
    QByteArray m_oldHome, m_oldConfig;
};

// The keys of a range of the event store, in order.
inline QStringList keysOf(const Dictionary::Span& span)
{
    QStringList keys;
    for (const auto& [key, value] : span)
        keys << key;
    return keys;
}

// A socket of the test's own that listens and accepts nothing, closed with it: connections
// complete in the kernel and wait there, as at a server that never answers (a wedged bus
// daemon). Its address is made here, not by the code under test, so that the two cannot agree
// on a wrong one.
class Listener
{
public:
    // At a unix socket's path, or at an abstract name, with room for backlog waiting connections.
    Listener(const QByteArray& name, bool abstract, int backlog = 16)
    {
        m_where.sun_family = AF_UNIX;
        if (size_t(name.size()) + 1 <= sizeof m_where.sun_path) {
            std::memcpy(m_where.sun_path + (abstract ? 1 : 0), name.constData(), size_t(name.size()));
            m_length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()) + 1);
            listenAt(reinterpret_cast<sockaddr*>(&m_where), m_length, backlog);
        }
    }
    // At a free TCP port of this machine's loopback address.
    Listener()
    {
        sockaddr_in address = {AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        if (listenAt(reinterpret_cast<sockaddr*>(&address), size, 4)
            && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            m_port = ntohs(address.sin_port);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    ~Listener()
    {
        for (const int fd : m_waiting)
            ::close(fd);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool Listens() const { return m_listens; }
    int Port() const { return m_port; }
    // A unix listener's queue filled with connections that wait: a server that takes no more.
    void FillQueue()
    {
        for (int tries = 0; tries < 64; ++tries) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&m_where), m_length) != 0) {
                ::close(fd);
                return;   // full: EAGAIN
            }
            m_waiting.push_back(fd);
        }
    }

private:
    bool listenAt(const sockaddr* address, socklen_t length, int backlog)
    {
        m_fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        return m_listens = ::bind(m_fd, address, length) == 0 && ::listen(m_fd, backlog) == 0;
    }
    int m_fd = -1;
    bool m_listens = false;
    int m_port = 0;
    sockaddr_un m_where {};
    socklen_t m_length = 0;
    std::vector<int> m_waiting;
};
