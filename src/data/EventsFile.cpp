#include "data/EventsFile.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include "framework/TextFunctions.h"
#include <QFileInfo>
#include <QSet>

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

bool EventsFile::IsSeparator(const QString& line)
{
    return TextEquals(line.trimmed(), SeparatorLine);
}

EventsFile::Entry EventsFile::ParseEventLine(const QString& line)
{
    const int bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {line, QString()};
    return {line.left(bar), line.mid(bar + 1)};
}

bool EventsFile::IsEventShaped(const QString& line)
{
    // A full SQL date-time, then the bar: no to-do line the calendar writes starts so.
    Date key;
    return line.size() > KeyLength && line.at(KeyLength) == QLatin1Char('|')
        && EventRecord::ParseKey(line.left(KeyLength), key);
}

EventsFile::Contents EventsFile::Parse(const QString& text)
{
    const QStringList lines = Files::SplitLines(text);
    Contents contents;
    for (const QString& line : lines)
        if (IsSeparator(line))
            contents.hasSeparator = true;
    if (!contents.hasSeparator) {
        // The separator was removed or misspelt by hand: the lines shaped like events are
        // the events, so that the next save, which writes the separator, keeps them.
        for (const QString& line : lines) {
            if (IsEventShaped(line))
                contents.entries << ParseEventLine(line);
            else
                contents.todoLines << line;
        }
        return contents;
    }
    bool inEvents = false;
    for (const QString& line : lines) {
        if (inEvents)
            contents.entries << ParseEventLine(line);
        else if (IsSeparator(line))
            inEvents = true;
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
    // The line of the first fault tells the user where to look. UTF-8 sequences never hold
    // a CR or LF byte, so the bytes can be checked line by line.
    int lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        ++lineNumber;
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        const QByteArrayView line(bytes.constData() + start, end - start);
        if (line.contains('\0') || !line.isValidUtf8()) {
            if (why)
                *why = line.contains('\0') ? QStringLiteral("it holds a NUL byte on line %1").arg(lineNumber)
                                           : QStringLiteral("it is not UTF-8 text (line %1)").arg(lineNumber);
            return Status::Unreadable;
        }
        if (end + 1 < bytes.size() && bytes.at(end) == '\r' && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;
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
    QSet<QString> keys;
    for (const Entry& entry : contents.entries) {
        store.SetValue(entry.first, entry.second);
        keys.insert(entry.first);
    }
    // The countdown is the file's last countdown record in the store's order, the order the
    // file is written in: so a file whose lines are out of order (edited by hand) keeps its
    // countdown through the next save, and a record that a later line with the same key
    // replaced no longer counts.
    for (auto it = store.Entries().cbegin(); it != store.Entries().cend(); ++it) {
        Date key;
        if (keys.contains(it.key()) && EventRecord::IsCountdown(it.value()) && EventRecord::ParseKey(it.key(), key))
            countdown = key;
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
