#include "data/EventsFileParser.h"
#include "data/EventRecord.h"
#include "data/EventsFile.h"
#include "framework/Date.h"
#include <QStringDecoder>
#include <algorithm>
#include <future>
#include <thread>
#include <vector>

namespace {

// Where the line that starts at start ends: its CR or LF, or the end. Works alike on bytes
// and on text: UTF-8 sequences hold no CR or LF byte.
template <class View>
qsizetype lineEnd(View text, qsizetype start)
{
    const auto* data = text.data();
    qsizetype i = start;
    while (i < text.size() && data[i] != '\n' && data[i] != '\r')
        ++i;
    return i;
}

// The start of the line after the line end at end (a CR LF pair is one line end).
template <class View>
qsizetype nextLine(View text, qsizetype end)
{
    if (end + 1 < text.size() && text.data()[end] == '\r' && text.data()[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

bool validBytes(QByteArrayView bytes) { return !bytes.contains('\0') && bytes.isValidUtf8(); }

// The events and countdown keys of some lines.
struct EventLines {
    EventsFileParser::Events events;
    QStringList countdownKeys;
    // Where the next event line is looked for first: just after the one before it. That
    // finds its place at once in a file in key order, and in one whose lines run in a few
    // interleaved orders (several kinds of entries per day, added by hand or by a tool).
    EventsFileParser::Events::iterator next = events.end();
    QStringDecoder utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};

    void add(QStringView line)
    {
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        add((bar < 0 ? line : line.left(bar)).toString(), bar < 0 ? QString() : line.mid(bar + 1).toString());
    }
    // A line of valid UTF-8 text: its key and record are made from the bytes at once (the
    // bar is one byte in UTF-8 and no part of another letter). A byte order mark that starts
    // either is kept, as within the text: it is no mark there.
    void add(QByteArrayView line)
    {
        const qsizetype bar = line.indexOf('|');
        add(utf8(bar < 0 ? line : line.first(bar)), bar < 0 ? QString() : QString(utf8(line.sliced(bar + 1))));
    }
    void add(QString key, QString record)
    {
        if (EventRecord::IsCountdown(record))
            countdownKeys << key;
        next = std::next(events.insert_or_assign(next, std::move(key), std::move(record)));
    }
};

// The events of a run of whole event lines; false when the run is no UTF-8 text. The lines
// are taken from the bytes: a text of the whole run first would be written and read again
// (twice the file's size, for a large file many megabytes).
bool eventsOf(QByteArrayView bytes, EventLines& out)
{
    if (!validBytes(bytes))
        return false;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = lineEnd(bytes, start);
        out.add(bytes.sliced(start, end - start));
        start = nextLine(bytes, end);
    }
    return true;
}

// Moves the events of later into events: later's replace those with the same key. Runs of
// a file in key order follow one another, so most go in at the end without a search.
void join(EventsFileParser::Events& events, EventsFileParser::Events& later)
{
    if (events.empty()) {   // the first run: taken whole
        events.swap(later);
        return;
    }
    for (auto it = later.begin(); it != later.end();) {
        auto node = later.extract(it++);
        if (events.empty() || events.rbegin()->first < node.key()) {
            events.insert(events.end(), std::move(node));
        } else if (const auto found = events.find(node.key()); found != events.end()) {
            found->second = std::move(node.mapped());
        } else {
            events.insert(std::move(node));
        }
    }
}

// The threads that read a file of that many bytes: runs of at least half a megabyte (some
// 10,000 lines), as a thread that reads less costs more to start, and keeps more memory,
// than it saves; at most 8, and one core fewer than the machine has: at start-up the main
// thread makes the window meanwhile, and readers on every core slowed it more than they gained.
qsizetype threadsFor(qsizetype bytes)
{
    constexpr qsizetype kRunLength = 512 * 1024;
    const qsizetype spareCores = qsizetype(std::max(1u, std::thread::hardware_concurrency())) - 1;
    return std::min<qsizetype>({spareCores, 8, bytes / kRunLength});
}

// The event lines of bytes, in runs on several threads for a large file; false when some
// run is no UTF-8 text.
bool eventLines(QByteArrayView bytes, EventLines& out)
{
    const qsizetype threads = threadsFor(bytes.size());
    if (threads <= 1)
        return eventsOf(bytes, out);
    std::vector<std::future<std::pair<bool, EventLines>>> runs;
    qsizetype from = 0;
    for (qsizetype t = 1; t <= threads && from < bytes.size(); ++t) {
        qsizetype to = bytes.size();
        if (t < threads) {
            to = bytes.indexOf('\n', std::max(from, bytes.size() * t / threads));
            to = to < 0 ? bytes.size() : to + 1;
        }
        const QByteArrayView run = bytes.sliced(from, to - from);
        runs.push_back(std::async(std::launch::async, [run] {
            EventLines events;
            const bool valid = eventsOf(run, events);
            return std::make_pair(valid, std::move(events));
        }));
        from = to;
    }
    bool valid = true;
    for (auto& run : runs) {
        auto [runValid, events] = run.get();
        valid = valid && runValid;
        if (!valid)
            continue;
        join(out.events, events.events);
        out.countdownKeys += events.countdownKeys;
    }
    return valid;
}

} // namespace

bool EventsFileParser::IsSeparator(QStringView line)
{
    // Most lines are events: their length tells them apart before any case folding.
    const QStringView trimmed = line.trimmed();
    return trimmed.size() == EventsFile::SeparatorLine.size()
        && trimmed.compare(EventsFile::SeparatorLine, Qt::CaseInsensitive) == 0;
}

bool EventsFileParser::IsEventShaped(QStringView line)
{
    // A full SQL date-time, then the bar: no to-do line the calendar writes starts so.
    // The date is parsed into a fixed one: an empty Date would read the clock per line.
    Date key(2000, 1, 1);
    constexpr int length = EventsFile::KeyLength;
    return line.size() > length && line.at(length) == QLatin1Char('|')
        && EventRecord::ParseKey(line.left(length).toString(), key);
}

EventsFileParser::Result EventsFileParser::Parse(QByteArrayView bytes)
{
    Result result;
    // The to-do part, line by line, up to the first separator line.
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = lineEnd(bytes, start);
        const QByteArrayView lineBytes = bytes.sliced(start, end - start);
        start = nextLine(bytes, end);
        if (!validBytes(lineBytes)) {
            result.valid = false;
            return result;
        }
        const QString line = QString::fromUtf8(lineBytes);
        if (IsSeparator(line)) {
            result.hasSeparator = true;
            break;
        }
        result.todoLines << line;
    }
    EventLines events;
    if (result.hasSeparator) {
        result.valid = eventLines(bytes.sliced(std::min(start, bytes.size())), events);
    } else {
        // The separator was removed or misspelt by hand: the lines shaped like events are
        // the events, so that the next save, which writes the separator, keeps them.
        const QStringList lines = std::move(result.todoLines);
        result.todoLines.clear();
        for (const QString& line : lines) {
            if (IsEventShaped(line))
                events.add(line);
            else
                result.todoLines << line;
        }
    }
    result.events = std::move(events.events);
    result.countdownKeys = std::move(events.countdownKeys);
    return result;
}

QString EventsFileParser::FaultOf(QByteArrayView bytes)
{
    int lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        ++lineNumber;
        const qsizetype end = lineEnd(bytes, start);
        const QByteArrayView line = bytes.sliced(start, end - start);
        if (line.contains('\0'))
            return QStringLiteral("it holds a NUL byte on line %1").arg(lineNumber);
        if (!line.isValidUtf8())
            return QStringLiteral("it is not UTF-8 text (line %1)").arg(lineNumber);
        start = nextLine(bytes, end);
    }
    return QStringLiteral("it is not UTF-8 text");
}

bool EventsFileParser::ReadsInParallel(qsizetype bytes) { return threadsFor(bytes) > 1; }
