// The events file "Calendar.tpc": whatever it holds, reading it, writing what was read
// (the to-do items the way the to-do list keeps them) and reading that again gives the same
// events, to-do items and countdown.
#include "FuzzHost.h"
#include "data/EventsFile.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"

namespace {

struct Read {
    Dictionary store;
    QStringList todoLines;
    Date countdown{2000, 1, 1};
};

bool load(const QString& path, Read& out)
{
    QString message;
    return EventsFile::Load(path, out.store, out.todoLines, out.countdown, message) == EventsFile::Status::Loaded;
}

// The to-do list shows each line as a tick and a text and writes its rows back from them.
QStringList throughTodoList(const QStringList& lines)
{
    QStringList rows;
    for (const QString& line : lines) {
        bool checked = false;
        QString text;
        EventsFile::ParseTodoLine(line, checked, text);
        rows << EventsFile::TodoLine(checked, text);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzHost& host = FuzzHost::Get();
    const QString folder = host.FreshFolder();
    Read first;
    if (!load(FuzzHost::WriteFile(folder, QStringLiteral("Calendar.tpc"), data, size), first))
        return 0;
    const QStringList rows = throughTodoList(first.todoLines);
    const QString written = folder + QStringLiteral("/Written.tpc");
    QString message;
    FuzzHost::Require(EventsFile::Write(written, rows, first.store, message), "what was read could not be written",
                      message);

    Read second;
    FuzzHost::Require(load(written, second), "the written file cannot be read");
    FuzzHost::Require(second.store.Entries() == first.store.Entries(), "the events changed on the way round",
                      QString::fromUtf8(EventsFile::Format(rows, first.store)));
    FuzzHost::Require(throughTodoList(second.todoLines) == rows, "the to-do items changed on the way round",
                      rows.join(QLatin1Char('\n')));
    FuzzHost::Require(second.countdown.SQLDateTime() == first.countdown.SQLDateTime(), "the countdown changed",
                      first.countdown.SQLDateTime() + QStringLiteral(" -> ") + second.countdown.SQLDateTime());
    return 0;
}
