#include "framework/Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO (named pipe)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISLNK(mode))
        return QStringLiteral("a symbolic link");
    return QStringLiteral("no regular file");
}

void onFileSizeLimit(int) {}

// Looks at path (links followed): 0 with info filled, ENOENT when nothing is there, or the
// system's reason why what is there cannot be looked at. A dangling link fails with ENOENT
// as nothing does, and is a missing file; any other failure means something is there, or
// may be (ELOOP, EACCES, ENOTDIR), that must be neither taken for missing nor replaced.
int lookAt(const QString& path, struct stat& info)
{
    if (path.isEmpty())
        return ENOENT;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? 0 : errno;
}

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Writes all of bytes to the open file fd; on failure cause holds the system's reason.
bool writeWhole(int fd, const QByteArray& bytes, QString& cause)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            cause = n < 0 ? reason(errno) : QStringLiteral("Nothing could be written");
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

// A write past the file-size limit (ulimit -f, set by some sessions and sandboxes) raises
// SIGXFSZ, whose default effect ends the process at once: the run's changes would be lost
// without a word. Caught, the write fails with EFBIG ("File too large") and is reported as a
// full disk is. A handler that does nothing rather than SIG_IGN: a program started from here
// (the browser of a link) gets the default effect back. A signal ignored from the start stays so.
void Files::CatchFileSizeLimit()
{
    [[maybe_unused]] static const bool caught = [] {
        struct sigaction before = {};
        if (sigaction(SIGXFSZ, nullptr, &before) != 0 || before.sa_handler != SIG_DFL)
            return false;
        struct sigaction action = {};
        action.sa_handler = onFileSizeLimit;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        return sigaction(SIGXFSZ, &action, nullptr) == 0;
    }();
}

bool Files::IsPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QString Files::Child(const QString& folder, const QString& name)
{
    if (!IsPlainName(name) || folder.isEmpty())
        return QString();
    QDir dir(folder);
    if (dir.exists(name))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                              | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return dir.filePath(name);
}

bool Files::Exists(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path); }

bool Files::IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QString Files::Unreachable(const QString& path)
{
    struct stat info = {};
    const int error = lookAt(path, info);
    return error == 0 || error == ENOENT ? QString() : reason(error);
}

QString Files::OddKind(const QString& path, bool followLinks)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (path.isEmpty() || (followLinks ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) != 0)
        return QString();
    return kindOf(info.st_mode);
}

Files::ReadStatus Files::ReadAll(const QString& path, QByteArray& out, QString* error)
{
    out.clear();
    const auto failed = [error](ReadStatus status, const QString& why) {
        if (error)
            *error = why;
        return status;
    };
    // Looked at before it is opened (opening a device may do something), and again once open:
    // the open does not wait, so a FIFO put in its place meanwhile is refused too.
    struct stat there = {};
    if (const int looked = lookAt(path, there); looked == ENOENT)
        return ReadStatus::Missing;
    else if (looked != 0)
        return failed(ReadStatus::Unreadable, reason(looked));
    if (const QString kind = kindOf(there.st_mode); !kind.isEmpty())
        return failed(ReadStatus::NotAFile, QStringLiteral("it is ") + kind);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failed(ReadStatus::Unreadable, reason(errno));
    struct stat opened = {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return failed(ReadStatus::NotAFile, QStringLiteral("it is ") + kindOf(opened.st_mode));
    }
    // A regular file's reads ignore O_NONBLOCK.
    QFile file;
    bool read = file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    if (read) {
        out = file.readAll();
        read = file.error() == QFileDevice::NoError;
    }
    const QString why = file.errorString();
    file.close();
    ::close(fd);
    if (!read) {
        out.clear();
        return failed(ReadStatus::Unreadable, why);
    }
    return ReadStatus::Ok;
}

Files::ReadStatus Files::ReadText(const QString& path, QString& out)
{
    out.clear();
    QByteArray bytes;
    const ReadStatus status = ReadAll(path, bytes);
    if (status != ReadStatus::Ok)
        return status;
    if (bytes.contains('\0'))
        return ReadStatus::Unreadable;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    out = QString::fromUtf8(bytes);
    return ReadStatus::Ok;
}

QStringList Files::SplitLines(const QString& text)
{
    // Lines are cut out of the text whole: an events file has a line per entry.
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

bool Files::WriteAtomic(const QString& path, const QByteArray& bytes, QString* error)
{
    CatchFileSizeLimit();
    const QFileInfo info(path);
    // Neither written through (a FIFO would wait for a reader, a device swallow the bytes) nor
    // replaced by the renamed new file. A link is followed: the save replaces its target.
    if (const QString kind = OddKind(path); !kind.isEmpty()) {
        if (error)
            *error = QStringLiteral("\"%1\" is %2").arg(info.fileName(), kind);
        return false;
    }
    // Nor what cannot be looked at: the new file renamed over a link that loops would replace
    // it, and a link into a folder that may not be entered would fail only now, after the
    // session's work.
    if (const QString why = Unreachable(path); !why.isEmpty()) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be opened: %2").arg(info.fileName(), why);
        return false;
    }
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("The folder %1 could not be created.").arg(info.absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // The bytes go to the temporary file directly and whole before the commit: a full disk
    // then fails here with the system's reason ("No space left on device"), where the
    // buffered device, after a partial write, knows only "Unknown error".
    QString cause;
    if (!writeWhole(file.handle(), bytes, cause)) {
        file.cancelWriting();
        if (error)
            *error = cause;
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool Files::Holds(const QString& path, const QByteArray& bytes)
{
    // The size first: a changed file is seldom read whole.
    struct stat there = {};
    if (lookAt(path, there) != 0 || !S_ISREG(there.st_mode) || there.st_size != bytes.size())
        return false;
    QByteArray held;
    return ReadAll(path, held) == ReadStatus::Ok && held == bytes;
}

QStringList Files::List(const QString& folder)
{
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList names = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString Files::KeepCopy(const QString& path)
{
    QByteArray original;
    if (ReadAll(path, original) != ReadStatus::Ok)
        return QString();
    for (int n = 1; n < 1000; ++n) {
        const QString target = path + QStringLiteral(".unreadable-%1").arg(n);
        if (QFileInfo::exists(target)) {
            QByteArray existing;
            if (ReadAll(target, existing) == ReadStatus::Ok && existing == original)
                return target;
            continue;
        }
        return WriteAtomic(target, original) ? target : QString();
    }
    return QString();
}
