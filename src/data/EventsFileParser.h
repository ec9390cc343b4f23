#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <map>

// Cuts the bytes of an events file (UTF-8, any of LF, CRLF or CR line ends, no byte order
// mark) into its to-do lines and its events, as EventsFile describes the file.
//
// The to-do part runs up to the first line that is exactly "Events Data:" (letter case, blanks
// and CR ignored); every line after it is an event: its key is the text before the first "|"
// (the whole line when it has none), its record everything after it. A file without that
// line keeps its events all the same: its lines shaped like events (a valid SQL date-time,
// then "|") are the events, the others to-do lines. A later line replaces an earlier one with
// the same key.
//
// A large file's events are cut out by several threads at once, each taking a run of whole
// lines (after an LF a new line always begins), and the runs' events are joined in order.
class EventsFileParser
{
public:
    using Events = std::map<QString, QString>;
    struct Result {
        bool valid = true;          // false: a NUL byte or bytes that are not UTF-8
        bool hasSeparator = false;
        QStringList todoLines;
        Events events;
        QStringList countdownKeys;  // the keys of the event lines whose record is a countdown, in file order
    };
    static Result Parse(QByteArrayView bytes);
    // Whether a file of that many bytes is read by several threads at once.
    static bool ReadsInParallel(qsizetype bytes);
    // Why bytes that Parse found invalid are no events file, naming the line of the first
    // fault: "it holds a NUL byte on line 3", "it is not UTF-8 text (line 7)".
    static QString FaultOf(QByteArrayView bytes);

    static bool IsSeparator(QStringView line);
    // Whether line has the shape of an event line: a valid "yyyy-MM-dd HH:mm:ss" key, then "|".
    static bool IsEventShaped(QStringView line);
};
