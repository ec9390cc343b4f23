#include "data/EventsFile.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include "framework/MessageBox.h"
#include "framework/TextFunctions.h"
#include "shell/app.h"
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace {

bool g_writing = false;

// Line ends inside a text would split its line; they become blanks.
QString oneLine(QString text)
{
    for (QChar& c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return text;
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

EventsFile::Contents EventsFile::Parse(const QString& text)
{
    Contents contents;
    for (const QString& line : Files::SplitLines(text)) {
        if (!contents.hasSeparator) {
            if (IsSeparator(line))
                contents.hasSeparator = true;
            else
                contents.todoLines << line;
        } else {
            contents.entries << ParseEventLine(line);
        }
    }
    return contents;
}

EventsFile::Status EventsFile::Read(const QString& path, Contents& out)
{
    out = Contents();
    QByteArray bytes;
    switch (Files::ReadAll(path, bytes)) {
    case Files::ReadStatus::Missing: return Status::Missing;
    case Files::ReadStatus::Unreadable: return Status::Unreadable;
    case Files::ReadStatus::Ok: break;
    }
    if (bytes.contains('\0'))
        return Status::Unreadable;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError())
        return Status::Unreadable;
    out = Parse(text);
    return Status::Loaded;
}

QByteArray EventsFile::Format(const QStringList& todoLines, const Dictionary& store)
{
    QString text;
    for (const QString& line : todoLines)
        text += oneLine(line) + QLatin1Char('\n');
    text += SeparatorLine + QLatin1Char('\n');
    const QMap<QString, QString>& entries = store.Entries();
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
        // An entry without a value (a line that had no "|") is written back as it was read.
        text += oneLine(it.key());
        if (!it.value().isEmpty())
            text += QLatin1Char('|') + oneLine(it.value());
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
    checked = NthField(line, QStringLiteral("\t"), 1) == QLatin1String("1");
    text = NthField(line, QStringLiteral("\t"), 2);
}

EventsFile::Status EventsFile::Load(const QString& path, Dictionary& store, QStringList& todoLines, Date& countdown)
{
    Contents contents;
    const Status status = Read(path, contents);
    if (status == Status::Missing)
        return status;
    if (status == Status::Unreadable) {
        // The file stays where it is, untouched; a copy is kept beside it as well.
        const QString copy = Files::KeepCopy(path);
        QString message = QStringLiteral("Your events file \"%1\" could not be read.").arg(QFileInfo(path).fileName());
        if (!copy.isEmpty())
            message += QStringLiteral(" A copy has been kept as \"%1\".").arg(QFileInfo(copy).fileName());
        message += QStringLiteral(" The calendar will not change the file: events and to-do items are not saved "
                                  "while it cannot be read. Repair or remove it to save your calendar again.");
        MsgBox(message);
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

bool EventsFile::Write(const QString& path, const QStringList& todoLines, const Dictionary& store)
{
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
        MsgBox(QStringLiteral("Your events could not be saved to \"%1\". %2")
                   .arg(path.isEmpty() ? QStringLiteral("Calendar.tpc") : QFileInfo(path).fileName(), error));
    return written;
}

bool EventsFile::Save(const QStringList& todoLines)
{
    if (App().eventsFileLocked)
        return false;
    return Write(app::EventsPath(), todoLines, App().eventDict);
}

bool EventsFile::IsWriting() { return g_writing; }
