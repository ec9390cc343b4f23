#pragma once
#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class Date;
class Dictionary;

// The user's events file "Calendar.tpc": the to-do lines ("1" or "0", TAB, text), the line
// "Events Data:", then one line per event (key, "|", record) in the store's order.
//
// Reading accepts LF, CRLF and CR line ends and UTF-8; the to-do part ends only at a line
// that is exactly "Events Data:" (letter case, blanks and CR ignored); an event line's value
// is everything after its first "|". Writing is atomic, UTF-8 with LF, from a snapshot of
// the store, and never runs twice at once. A file that exists but cannot be read is
// reported, moved aside and never written over by that run.
class EventsFile
{
public:
    static inline const QString SeparatorLine = QStringLiteral("Events Data:");

    using Entry = QPair<QString, QString>;   // key, record
    struct Contents {
        QStringList todoLines;
        QVector<Entry> entries;
        bool hasSeparator = false;
    };
    enum class Status { Loaded, Missing, Unreadable };

    // Whether line is the separator line.
    static bool IsSeparator(const QString& line);
    // Key and value of one event line: the text before the first "|" (the whole line when
    // it has none) and everything after it.
    static Entry ParseEventLine(const QString& line);
    static Contents Parse(const QString& text);
    // Reads the file without reporting anything: Missing when there is none, Unreadable
    // when it cannot be read or is not UTF-8 text.
    static Status Read(const QString& path, Contents& out);
    // The whole file's text for these to-do lines and this store.
    static QByteArray Format(const QStringList& todoLines, const Dictionary& store);

    // One to-do line, and its parts: checked when the text before the first TAB is "1";
    // the text is what lies between the first and a second TAB.
    static QString TodoLine(bool checked, const QString& text);
    static void ParseTodoLine(const QString& line, bool& checked, QString& text);

    // Start-up reading: stores every event line of the file into store (replacing entries
    // with the same key), keeps the to-do lines, and sets countdown from the file's last
    // entry in key order (the order it is written in) whose stored record's kind field is
    // "Countdown" and whose key is a date-time. An unreadable file is reported
    // and moved aside; the caller must then not write the events file during this run.
    static Status Load(const QString& path, Dictionary& store, QStringList& todoLines, Date& countdown);

    // Writes the file at path from a snapshot of store; a failure is reported in a message
    // box and leaves the old file as it was. Returns false without writing when a write is
    // already under way. Returns whether the file was written.
    static bool Write(const QString& path, const QStringList& todoLines, const Dictionary& store);

    // The one writer of the application's events file: writes App().eventDict with these
    // to-do lines to app::EventsPath(), unless App().eventsFileLocked (the file could not be
    // read at start-up). Called by CalendarWindow::SaveEvents with the to-do list's lines
    // (or App().keptTodoLines while there is no to-do list).
    static bool Save(const QStringList& todoLines);

    static bool IsWriting();
};
