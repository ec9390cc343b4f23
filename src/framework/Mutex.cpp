#include "framework/Mutex.h"
#include <QFile>
#include <QtGlobal>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The mutexes held, for a signal handler that ends the process (it may run on any thread and
// allocates nothing): the path is written before the descriptor is published, and the slot
// is given up before the descriptor is closed.
struct HeldFile {
    std::atomic<int> fd{-1};
    char path[PATH_MAX] = {};
};
HeldFile g_held[4];
constexpr int Claimed = -2;   // a slot whose path is being written

void publishHeld(int fd, const QByteArray& name)
{
    if (name.size() >= PATH_MAX)
        return;
    for (HeldFile& slot : g_held) {
        int empty = -1;
        if (!slot.fd.compare_exchange_strong(empty, Claimed))
            continue;
        std::memcpy(slot.path, name.constData(), size_t(name.size()) + 1);
        slot.fd.store(fd);
        return;
    }
}

void withdrawHeld(int fd)
{
    for (HeldFile& slot : g_held) {
        int held = fd;
        slot.fd.compare_exchange_strong(held, -1);
    }
}

// Removes the file at name when it is still the one open at fd (one removed or replaced
// meanwhile belongs to someone else).
void removeIfHeld(int fd, const char* name)
{
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && ::lstat(name, &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino)
        ::unlink(name);
}
} // namespace

Mutex::Mutex(const QString& path) : m_path(path) {}

void Mutex::RemoveHeldFilesAtSignal()
{
    for (HeldFile& slot : g_held)
        if (const int fd = slot.fd.load(); fd >= 0)
            removeIfHeld(fd, slot.path);
}

Mutex::~Mutex() { Leave(); }

bool Mutex::TryEnter()
{
    if (Entered())
        return true;
    const QByteArray name = QFile::encodeName(m_path);
    m_reason.clear();
    // A holder that leaves removes the file: a lock taken on a file that was removed
    // meanwhile guards nothing, so it is taken again on the file that the path now names.
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Read-only is enough for the lock: a file left by another user's copy still serves.
        // Not through a link (one left dangling would have the file made at its target), and
        // without waiting (a FIFO's opening waits for a writer); only a regular file serves.
        struct stat there {};
        const bool fileThere = ::lstat(name.constData(), &there) == 0;
        if (fileThere && !S_ISREG(there.st_mode)) {
            m_error = Error::NotAFile;
            return false;
        }
        const int fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
        if (fd < 0) {
            const int cause = errno;
            m_reason = QString::fromLocal8Bit(strerror(cause));
            // A refusal to open a file that is there is the file's own (its permissions), not
            // its folder's: the folder is blamed only when the file was to be made.
            m_error = (cause == ELOOP || cause == EISDIR || cause == ENXIO) ? Error::NotAFile
                : fileThere ? Error::Unreadable
                : (cause == EACCES || cause == EPERM || cause == EROFS) ? Error::Permission : Error::Unknown;
            return false;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            m_error = Error::NotAFile;
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                m_error = Error::Held;
                ::close(fd);
                return false;
            }
            // A file system without locks (some network and user-space ones): the file is
            // held without one, as the best that can be done there.
            qWarning("The lock \"%s\" cannot be locked on its file system: %s", name.constData(), strerror(errno));
        }
        struct stat named {};
        if (::lstat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            m_fd = fd;
            m_error = Error::None;
            publishHeld(fd, name);
            return true;
        }
        ::close(fd);
    }
    m_error = Error::Unknown;
    return false;
}

void Mutex::Leave()
{
    if (!Entered())
        return;
    // Removed while still held, and only when the path still names the file held (one
    // removed or replaced meanwhile belongs to someone else): the next copy makes a new
    // file and locks that.
    withdrawHeld(m_fd);
    removeIfHeld(m_fd, QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}
