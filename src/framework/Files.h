#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// File helpers: case-insensitive lookup, whole-file reads that tell a missing file from an
// unreadable one, atomic writes, and folder listings sorted by name.
//
// The user's files are regular files or links to regular files. A FIFO, a device, a socket or
// a folder in their place is neither read (a FIFO would wait for a writer for ever, a device
// such as /dev/zero never ends) nor written through or replaced: reads and writes refuse it
// and say what it is. A link to a regular file is followed: the link stays, its target is
// read and written. Something there that cannot be looked at (a link that loops, a link into
// a folder that may not be entered) is no missing file: reads say it is unreadable and why,
// writes refuse it, as a save would replace the link or fail only after a session's work.
// A link to nothing (dangling) is a missing file.
class Files
{
public:
    enum class ReadStatus { Ok, Missing, Unreadable, NotAFile };

    // Path of the child of folder whose name equals name ignoring letter case (an exact
    // match first); folder + "/" + name when there is none. A name holding "/" or that is
    // "." or ".." names no child: the result is then empty.
    static QString Child(const QString& folder, const QString& name);
    static bool IsPlainName(const QString& name);
    // Whether something is there that can be looked at (links followed).
    static bool Exists(const QString& path);
    static bool IsFolder(const QString& path);
    // What stands at path when it is there but is no regular file: "a folder", "a FIFO (named
    // pipe)", "a device", "a socket", or with links not followed "a symbolic link". Empty for
    // a regular file (or, followed, a link to one), for nothing at all and for what cannot
    // be looked at (Unreachable says why).
    static QString OddKind(const QString& path, bool followLinks = true);
    // Why what may be at path cannot be looked at, links followed: the system's reason ("Too
    // many levels of symbolic links" for a link that loops, "Permission denied" for a link
    // into a folder that may not be entered). Empty when it can be, and when nothing is there
    // (a dangling link included).
    static QString Unreachable(const QString& path);

    // Reads a whole file. Ok with the bytes, Missing when there is no such file, NotAFile for
    // one of OddKind's kinds (error: "it is a FIFO (named pipe)"), Unreadable when it cannot
    // be read (no permission) or looked at (Unreachable); error (when given) then says why, as
    // the system's reason. Never waits.
    static ReadStatus ReadAll(const QString& path, QByteArray& out, QString* error = nullptr);
    // Reads a whole file as UTF-8 text (invalid sequences replaced); Unreadable as well
    // when the bytes are not text (they hold NUL bytes).
    static ReadStatus ReadText(const QString& path, QString& out);
    // Splits text at LF, CRLF and CR; a final line end does not make an empty last line.
    static QStringList SplitLines(const QString& text);

    // Writes the whole file atomically, creating missing folders. On failure the old file
    // is left as it was and error (when given) says why: the system's reason ("No space left
    // on device", "File too large" past a file-size limit, which ends no process here), or
    // for one of OddKind's kinds its name and kind ("\"Calendar.tpc\" is a FIFO (named pipe)"),
    // or for what cannot be looked at its name and the reason ("\"Calendar.tpc\" cannot be
    // opened: Too many levels of symbolic links").
    static bool WriteAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);
    // Whether path is a regular file (links followed) that holds exactly bytes: a save of
    // them then has nothing to change. Never waits (what OddKind names holds nothing).
    static bool Holds(const QString& path, const QByteArray& bytes);

    // Makes a write past the file-size limit (ulimit -f) fail with "File too large" instead of
    // ending the process with SIGXFSZ; WriteAtomic does it as well. Once per process.
    static void CatchFileSizeLimit();

    // Names of the items of folder, sorted by name (folders and files alike).
    static QStringList List(const QString& folder);

    // Keeps a copy of path beside it under a new name ("name.unreadable-N"), unless a copy
    // with the same bytes is already there; the file itself stays as it is. Returns the
    // copy's path, or "" when no copy could be made.
    static QString KeepCopy(const QString& path);
};
