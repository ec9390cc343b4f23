#include "framework/Files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Writes all of bytes to the open file fd; on failure cause holds the system's reason.
bool writeWhole(int fd, const QByteArray& bytes, QString& cause)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            cause = n < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("Nothing could be written");
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

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

Files::ReadStatus Files::ReadAll(const QString& path, QByteArray& out, QString* error)
{
    out.clear();
    if (!Exists(path))
        return ReadStatus::Missing;
    if (IsFolder(path)) {
        if (error)
            *error = QStringLiteral("it is a folder");
        return ReadStatus::Unreadable;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return ReadStatus::Unreadable;
    }
    out = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        out.clear();
        return ReadStatus::Unreadable;
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
    QStringList lines;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << current;
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

bool Files::WriteAtomic(const QString& path, const QByteArray& bytes, QString* error)
{
    const QFileInfo info(path);
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
