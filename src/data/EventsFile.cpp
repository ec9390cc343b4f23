#include "data/EventsFile.h"
#include "data/EventRecord.h"
#include "data/EventsFileParser.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include <QFileInfo>

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

} // namespace

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
    case Files::ReadStatus::NotAFile:   // a FIFO, a device or a folder: error says which
        if (why)
            *why = error;
        return Status::Unreadable;
    case Files::ReadStatus::Ok: break;
    }
    QByteArrayView text(bytes);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    EventsFileParser::Result parsed = EventsFileParser::Parse(text);
    if (!parsed.valid) {
        if (why)
            *why = EventsFileParser::FaultOf(text);
        return Status::Unreadable;
    }
    out.todoLines = std::move(parsed.todoLines);
    out.events = std::move(parsed.events);
    out.countdownKeys = std::move(parsed.countdownKeys);
    out.hasSeparator = parsed.hasSeparator;
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
    Contents contents;
    QString why;
    const Status status = Read(path, contents, &why);
    return Take(path, status, contents, why, store, todoLines, countdown, message);
}

EventsFile::Status EventsFile::Take(const QString& path, Status status, Contents& contents, const QString& why,
                                    Dictionary& store, QStringList& todoLines, Date& countdown, QString& message)
{
    message.clear();
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
    // The file's entries replace the store's under the same key; they are moved, not copied.
    store.Merge(std::move(contents.events));
    contents.events.clear();
    // The countdown is the file's last countdown record in the store's order, the order the
    // file is written in: so a file whose lines are out of order (edited by hand) keeps its
    // countdown through the next save, and a record that a later line with the same key
    // replaced no longer counts.
    const QString* last = nullptr;
    for (const QString& key : contents.countdownKeys) {
        Date parsed(2000, 1, 1);
        if ((!last || *last < key) && EventRecord::IsCountdown(store.Lookup(key)) && EventRecord::ParseKey(key, parsed)) {
            last = &key;
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
    if (path.isEmpty()) {
        error = QStringLiteral("There is no Documents folder.");
    } else {
        // A file that holds these bytes already is left as it is: nothing would change, and
        // a quit with nothing new to save then cannot fail on a file that may not be written.
        const QByteArray bytes = Format(todoLines, snapshot);
        written = Files::Holds(path, bytes) || Files::WriteAtomic(path, bytes, &error);
    }
    g_writing = false;
    if (!written)
        message = QStringLiteral("Your events could not be saved to \"%1\". %2")
                      .arg(path.isEmpty() ? QStringLiteral("Calendar.tpc") : QFileInfo(path).fileName(), error);
    return written;
}

bool EventsFile::IsWriting() { return g_writing; }
