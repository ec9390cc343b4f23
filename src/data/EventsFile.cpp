#include "data/EventsFile.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include "framework/TextFunctions.h"
#include <QFileInfo>
#include <algorithm>
#include <future>
#include <thread>
#include <vector>

namespace {

bool g_writing = false;

// Line ends inside a text would split its line; they become blanks.
QString oneLine(const QString& text)
{
    // Most texts have no line end: they are shared, not copied.
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString copy = text;
    for (QChar& c : copy)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return copy;
}

// Where the line that starts at start ends: its CR or LF, or the text's end.
qsizetype lineEnd(QStringView text, qsizetype start)
{
    const QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype i = start;
    while (i < size && data[i] != QLatin1Char('\n') && data[i] != QLatin1Char('\r'))
        ++i;
    return i;
}

// The start of the line after the line end at end (a CR LF pair is one line end).
qsizetype nextLine(QStringView text, qsizetype end)
{
    if (end + 1 < text.size() && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n'))
        return end + 2;
    return end + 1;
}

bool isSeparator(QStringView line)
{
    // Most lines are events: their length tells them apart before any case folding.
    const QStringView trimmed = line.trimmed();
    return trimmed.size() == EventsFile::SeparatorLine.size()
        && trimmed.compare(EventsFile::SeparatorLine, Qt::CaseInsensitive) == 0;
}

EventsFile::Entry eventLine(QStringView line)
{
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {line.toString(), QString()};
    return {line.left(bar).toString(), line.mid(bar + 1).toString()};
}

bool isEventShaped(const QString& line)
{
    // A full SQL date-time, then the bar: no to-do line the calendar writes starts so.
    // The date is parsed into a fixed one: an empty Date would read the clock per line.
    Date key(2000, 1, 1);
    return line.size() > EventsFile::KeyLength && line.at(EventsFile::KeyLength) == QLatin1Char('|')
        && EventRecord::ParseKey(line.left(EventsFile::KeyLength), key);
}

// The event lines of text, in their order.
QVector<EventsFile::Entry> eventLinesOf(QStringView text)
{
    QVector<EventsFile::Entry> entries;
    entries.reserve(text.size() / 64);
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = lineEnd(text, start);
        entries << eventLine(text.mid(start, end - start));
        start = nextLine(text, end);
    }
    return entries;
}

// The event lines of text, in their order. A large file's lines are cut out by several
// threads at once, each taking a run of whole lines: after an LF a new line always begins.
QVector<EventsFile::Entry> eventLines(QStringView text)
{
    constexpr qsizetype kRunLength = 256 * 1024;
    const int threads = int(std::min<qsizetype>(std::max(1u, std::thread::hardware_concurrency()),
                                                 std::min<qsizetype>(8, text.size() / kRunLength)));
    if (threads <= 1)
        return eventLinesOf(text);
    std::vector<std::future<QVector<EventsFile::Entry>>> parts;
    qsizetype from = 0;
    for (int t = 1; t <= threads && from < text.size(); ++t) {
        qsizetype to = text.size();
        if (t < threads) {
            to = text.indexOf(QLatin1Char('\n'), std::max(from, text.size() * t / threads));
            to = to < 0 ? text.size() : to + 1;
        }
        const QStringView run = text.mid(from, to - from);
        parts.push_back(std::async(std::launch::async, [run] { return eventLinesOf(run); }));
        from = to;
    }
    QVector<EventsFile::Entry> entries = parts.front().get();
    for (size_t i = 1; i < parts.size(); ++i)
        entries += parts[i].get();
    return entries;
}

// Why bytes are no events file, naming the line of the first fault. UTF-8 sequences never
// hold a CR or LF byte, so the bytes can be checked line by line.
QString faultOf(QByteArrayView bytes)
{
    int lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        ++lineNumber;
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        const QByteArrayView line = bytes.sliced(start, end - start);
        if (line.contains('\0'))
            return QStringLiteral("it holds a NUL byte on line %1").arg(lineNumber);
        if (!line.isValidUtf8())
            return QStringLiteral("it is not UTF-8 text (line %1)").arg(lineNumber);
        if (end + 1 < bytes.size() && bytes.at(end) == '\r' && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;
    }
    return QStringLiteral("it is not UTF-8 text");
}

} // namespace

bool EventsFile::IsSeparator(const QString& line) { return isSeparator(line); }

EventsFile::Entry EventsFile::ParseEventLine(const QString& line) { return eventLine(line); }

bool EventsFile::IsEventShaped(const QString& line) { return isEventShaped(line); }

EventsFile::Contents EventsFile::Parse(const QString& text)
{
    Contents contents;
    const QStringView all(text);
    // The to-do part runs up to the first separator line; every line after it is an event.
    qsizetype start = 0;
    while (start < all.size()) {
        const qsizetype end = lineEnd(all, start);
        const QStringView line = all.mid(start, end - start);
        start = nextLine(all, end);
        if (isSeparator(line)) {
            contents.hasSeparator = true;
            break;
        }
        contents.todoLines << line.toString();
    }
    if (contents.hasSeparator) {
        contents.entries = eventLines(all.mid(start));
        return contents;
    }
    // The separator was removed or misspelt by hand: the lines shaped like events are the
    // events, so that the next save, which writes the separator, keeps them.
    const QStringList lines = std::move(contents.todoLines);
    contents.todoLines.clear();
    for (const QString& line : lines) {
        if (isEventShaped(line))
            contents.entries << eventLine(line);
        else
            contents.todoLines << line;
    }
    return contents;
}

EventsFile::Status EventsFile::Read(const QString& path, Contents& out, QString* why)
{
    out = Contents();
    QByteArray bytes;
    QString error;
    switch (Files::ReadAll(path, bytes, &error)) {
    case Files::ReadStatus::Missing: return Status::Missing;
    case Files::ReadStatus::Unreadable:
        if (why)
            *why = QStringLiteral("it cannot be opened (%1)").arg(error);
        return Status::Unreadable;
    case Files::ReadStatus::Ok: break;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QByteArrayView whole(bytes);
    if (whole.contains('\0') || !whole.isValidUtf8()) {
        if (why)
            *why = faultOf(whole);
        return Status::Unreadable;
    }
    out = Parse(QString::fromUtf8(bytes));
    return Status::Loaded;
}

QByteArray EventsFile::Format(const QStringList& todoLines, const Dictionary& store)
{
    QString text;
    for (const QString& line : todoLines)
        text += oneLine(line) + QLatin1Char('\n');
    text += SeparatorLine + QLatin1Char('\n');
    // An event line is about three times as long as its key.
    text.reserve(text.size() + qsizetype(store.Count()) * 64);
    for (const auto& [key, value] : store.Entries().asKeyValueRange()) {
        // An entry without a value (a line that had no "|") is written back as it was read.
        text += oneLine(key);
        if (!value.isEmpty()) {
            text += QLatin1Char('|');
            text += oneLine(value);
        }
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString EventsFile::TodoLine(bool checked, const QString& text)
{
    return (checked ? QStringLiteral("1") : QStringLiteral("0")) + QLatin1Char('\t') + text;
}

void EventsFile::ParseTodoLine(const QString& line, bool& checked, QString& text)
{
    // A line that another tool or a hand edit left without its check field is an open item;
    // a text that holds a TAB keeps it, so that the next save writes the line back whole.
    const int tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0) {
        checked = false;
        text = line;
        return;
    }
    checked = QStringView(line).left(tab) == QLatin1String("1");
    text = line.mid(tab + 1);
}

EventsFile::Status EventsFile::Load(const QString& path, Dictionary& store, QStringList& todoLines, Date& countdown,
                                    QString& message)
{
    message.clear();
    Contents contents;
    QString why;
    const Status status = Read(path, contents, &why);
    if (status == Status::Missing)
        return status;
    if (status == Status::Unreadable) {
        // The file stays where it is, untouched; a copy is kept beside it as well.
        const QString copy = Files::KeepCopy(path);
        message = QStringLiteral("Your events file \"%1\" could not be read: %2.").arg(QFileInfo(path).fileName(), why);
        if (!copy.isEmpty())
            message += QStringLiteral(" A copy has been kept as \"%1\".").arg(QFileInfo(copy).fileName());
        message += QStringLiteral(" The calendar will not change the file: events and to-do items are not saved "
                                  "while it cannot be read. Repair or remove it to save your calendar again.");
        return status;
    }
    todoLines = contents.todoLines;
    QVector<const QString*> countdowns;   // the keys of the file's countdown lines
    for (const Entry& entry : contents.entries) {
        store.SetValue(entry.first, entry.second);
        if (EventRecord::IsCountdown(entry.second))
            countdowns << &entry.first;
    }
    // The countdown is the file's last countdown record in the store's order, the order the
    // file is written in: so a file whose lines are out of order (edited by hand) keeps its
    // countdown through the next save, and a record that a later line with the same key
    // replaced no longer counts.
    const QString* last = nullptr;
    for (const QString* key : countdowns) {
        Date parsed(2000, 1, 1);
        if ((!last || *last < *key) && EventRecord::IsCountdown(store.Lookup(*key)) && EventRecord::ParseKey(*key, parsed)) {
            last = key;
            countdown = parsed;
        }
    }
    return status;
}

bool EventsFile::Write(const QString& path, const QStringList& todoLines, const Dictionary& store, QString& message)
{
    message.clear();
    if (g_writing)
        return false;
    g_writing = true;
    const Dictionary snapshot = store;
    QString error;
    bool written = false;
    if (path.isEmpty())
        error = QStringLiteral("There is no Documents folder.");
    else
        written = Files::WriteAtomic(path, Format(todoLines, snapshot), &error);
    g_writing = false;
    if (!written)
        message = QStringLiteral("Your events could not be saved to \"%1\". %2")
                      .arg(path.isEmpty() ? QStringLiteral("Calendar.tpc") : QFileInfo(path).fileName(), error);
    return written;
}

bool EventsFile::IsWriting() { return g_writing; }
