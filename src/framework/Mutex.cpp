#include "framework/Mutex.h"
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Mutex::Mutex(const QString& path) : m_path(path) {}

Mutex::~Mutex() { Leave(); }

bool Mutex::TryEnter()
{
    if (Entered())
        return true;
    const QByteArray name = QFile::encodeName(m_path);
    // A holder that leaves removes the file: a lock taken on a file that was removed
    // meanwhile guards nothing, so it is taken again on the file that the path now names.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            m_error = (errno == EACCES || errno == EPERM || errno == EROFS) ? Error::Permission : Error::Unknown;
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            m_error = (errno == EWOULDBLOCK) ? Error::Held : Error::Unknown;
            ::close(fd);
            return false;
        }
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && ::stat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev
            && opened.st_ino == named.st_ino) {
            m_fd = fd;
            m_error = Error::None;
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
    // Removed while still held: the next copy makes a new file and locks that.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}
