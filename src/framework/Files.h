#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// File helpers: case-insensitive lookup, whole-file reads that tell a missing file from an
// unreadable one, atomic writes, and folder listings sorted by name.
class Files
{
public:
    enum class ReadStatus { Ok, Missing, Unreadable };

    // Path of the child of folder whose name equals name ignoring letter case (an exact
    // match first); folder + "/" + name when there is none. A name holding "/" or that is
    // "." or ".." names no child: the result is then empty.
    static QString Child(const QString& folder, const QString& name);
    static bool IsPlainName(const QString& name);
    static bool Exists(const QString& path);
    static bool IsFolder(const QString& path);

    // Reads a whole file. Ok with the bytes, Missing when there is no such file, Unreadable
    // when it exists but cannot be read (a folder, no permission); error (when given) then
    // says why.
    static ReadStatus ReadAll(const QString& path, QByteArray& out, QString* error = nullptr);
    // Reads a whole file as UTF-8 text (invalid sequences replaced); Unreadable as well
    // when the bytes are not text (they hold NUL bytes).
    static ReadStatus ReadText(const QString& path, QString& out);
    // Splits text at LF, CRLF and CR; a final line end does not make an empty last line.
    static QStringList SplitLines(const QString& text);

    // Writes the whole file atomically, creating missing folders. On failure the old file
    // is left as it was and error (when given) says why.
    static bool WriteAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

    // Names of the items of folder, sorted by name (folders and files alike).
    static QStringList List(const QString& folder);

    // Keeps a copy of path beside it under a new name ("name.unreadable-N"), unless a copy
    // with the same bytes is already there; the file itself stays as it is. Returns the
    // copy's path, or "" when no copy could be made.
    static QString KeepCopy(const QString& path);
};
