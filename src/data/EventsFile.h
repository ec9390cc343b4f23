#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

class Date;
class Dictionary;

// The user's events file "Calendar.tpc": the to-do lines ("1" or "0", TAB, text), the line
// "Events Data:", then one line per event (key, "|", record) in the store's order.
//
// Reading accepts LF, CRLF and CR line ends and UTF-8; the to-do part ends only at a line
// that is exactly "Events Data:" (letter case, blanks and CR ignored); an event line's value
// is everything after its first "|". A file without that line (removed or misspelt by hand)
// loses nothing: its lines shaped like event lines are events, the others to-do lines.
// Writing is atomic, UTF-8 with LF, from a snapshot of the store, and never runs twice at
// once. A file that exists but cannot be read is copied aside and must not be written over
// by that run.
//
// It works on the store and the to-do lines it is given and shows nothing: what went wrong
// comes back as a status and a message for the caller to show (app::LoadUserEvents and
// app::SaveUserEvents do that for the application's own file).
class EventsFile
{
public:
    static inline const QString SeparatorLine = QStringLiteral("Events Data:");

    struct Contents {
        QStringList todoLines;
        std::map<QString, QString> events;   // key, record; a later line replaced an earlier one
        QStringList countdownKeys;           // the keys of the countdown lines, in file order
        bool hasSeparator = false;
    };
    enum class Status { Loaded, Missing, Unreadable };

    static constexpr int KeyLength = 19;
    // Reads the file without reporting anything: Missing when there is none, Unreadable
    // when it cannot be opened, is no regular file (a FIFO, a device, a folder: never waited
    // on), holds a NUL byte or is not UTF-8 text; why (when given) then
    // says which, with the line of the fault, as a clause for a message. Needs nothing but
    // the file: it may run on any thread.
    static Status Read(const QString& path, Contents& out, QString* why = nullptr);
    // The whole file's text for these to-do lines and this store.
    static QByteArray Format(const QStringList& todoLines, const Dictionary& store);

    // One to-do line, and its parts: checked when the text before the first TAB is "1";
    // the text is everything after the first TAB. A line without a TAB is an unticked item
    // whose text is the whole line.
    static QString TodoLine(bool checked, const QString& text);
    static void ParseTodoLine(const QString& line, bool& checked, QString& text);

    // Start-up reading: stores every event line of the file into store (replacing entries
    // with the same key), keeps the to-do lines, and sets countdown from the file's last
    // entry in key order (the order it is written in) whose stored record's kind field is
    // "Countdown" and whose key is a date-time. An unreadable file is copied aside and
    // message tells the user so (message is empty otherwise); the caller must then not write
    // the events file during this run.
    static Status Load(const QString& path, Dictionary& store, QStringList& todoLines, Date& countdown,
                       QString& message);
    // The second half of Load, for a file that Read read (with why) already: the store, to-do
    // lines, countdown and message as Load leaves them.
    static Status Take(const QString& path, Status status, Contents& contents, const QString& why, Dictionary& store,
                       QStringList& todoLines, Date& countdown, QString& message);

    // Writes the file at path from a snapshot of store. A failure leaves the old file as it
    // was and puts the message for the user in message (empty otherwise). Returns false
    // without writing, and without a message, when a write is already under way. Returns
    // whether the file was written, or held these very bytes already (then it is not
    // touched).
    static bool Write(const QString& path, const QStringList& todoLines, const Dictionary& store, QString& message);

    static bool IsWriting();
};
