#pragma once
#include <QString>

// A named inter-process mutex: a lock on the file at a path, held by at most one process at
// a time. Entering never waits; the lock goes with the process that holds it, so one left
// by a copy that crashed is free again. The file is made when missing and removed when the
// mutex is left. Entering writes nothing through to the disk (a lock file that is synced
// waits for a busy disk). On a file system without locks the mutex is entered without one,
// with a warning. The file is created without following a link, and only a regular file
// serves: a link, a FIFO, a device or a folder at the path is refused (NotAFile), never
// opened through, waited on or replaced.
class Mutex
{
public:
    // Permission: no file was there and none may be made (its folder cannot be written to).
    // Unreadable: a regular file is there that cannot be opened (no read permission).
    enum class Error { None, Held, Permission, NotAFile, Unreadable, Unknown };

    explicit Mutex(const QString& path);
    ~Mutex();   // leaves the mutex when entered
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Enters the mutex without waiting; true when this object now holds it. Held: another
    // process (or another Mutex object on the same file) holds it.
    bool TryEnter();
    void Leave();
    bool Entered() const { return m_fd >= 0; }
    // Why the last TryEnter failed.
    Error LastError() const { return m_error; }
    // The system's reason when the last TryEnter failed to open the file ("Permission
    // denied"); empty otherwise.
    QString LastReason() const { return m_reason; }
    QString Path() const { return m_path; }

    // Removes the file of every mutex this process holds, as Leave does, without closing
    // anything: for a signal handler that ends the process at once (async-signal-safe).
    static void RemoveHeldFilesAtSignal();

private:
    QString m_path;
    int m_fd = -1;
    Error m_error = Error::None;
    QString m_reason;
};
