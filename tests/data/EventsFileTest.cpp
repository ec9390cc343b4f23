#include "data/EventRecord.h"
// The events file "Calendar.tpc": reading, writing and the round trip through the store.
#include "TestSupport.h"
#include "data/EventsFile.h"
#include "data/Holidays.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// What EventsFile::Load gives for the file at path, read into an empty store.
struct Loaded {
    EventsFile::Status status = EventsFile::Status::Missing;
    Dictionary store;
    QStringList todo;
    Date countdown{2001, 1, 1};
    QString message;
};

Loaded load(const QString& path)
{
    Loaded loaded;
    loaded.status = EventsFile::Load(path, loaded.store, loaded.todo, loaded.countdown, loaded.message);
    return loaded;
}

} // namespace

TEST(EventsFile, SeededFileComesBackWithEveryLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Calendar.tpc");
    // Mixed line ends, a to-do text that mentions the separator, a separator with odd case
    // and blanks, an empty line, a line without "|", a title holding "|" and a countdown
    // record on a holiday's day.
    const QByteArray seed =
        "1\tBuy milk\r\n"
        "0\tRead Events Data: notes\r"
        "0\t\n"
        "  events data:  \r\n"
        "2005-06-07 09:00:00|2005-06-07 10:00:00//Dentist\n"
        "\n"
        "lonely line\r\n"
        "2005-06-08 10:00:00|2005-06-08 11:00:00//A | B\n"
        "2005-12-25 00:00:00|2005-12-25 00:00:00//Holidays at home//Countdown\n"
        "2005-06-09 00:00:01|2005-06-09 00:00:01//Countdown to vacation\n"
        "Ünïcödé key|2005-01-01 00:00:00//Grüße\n";
    writeBytes(path, seed);

    Dictionary store;
    Holidays::Load(store, 2005);
    QStringList todo;
    Date countdown(2001, 1, 1);
    QString message = "stale";
    ASSERT_EQ(EventsFile::Load(path, store, todo, countdown, message), EventsFile::Status::Loaded);
    EXPECT_TRUE(message.isEmpty());

    EXPECT_EQ(todo, (QStringList{"1\tBuy milk", "0\tRead Events Data: notes", "0\t"}));
    EXPECT_EQ(store.Count(), 24 + 6);   // the countdown replaced Christmas 2005
    EXPECT_EQ(store.Value("2005-12-25 00:00:00"), "2005-12-25 00:00:00//Holidays at home//Countdown");
    EXPECT_EQ(store.Value("2005-06-08 10:00:00"), "2005-06-08 11:00:00//A | B");
    EXPECT_EQ(store.Value("lonely line"), "");
    EXPECT_EQ(store.Value(""), "");
    EXPECT_EQ(store.Value("Ünïcödé key"), "2005-01-01 00:00:00//Grüße");
    // Only the kind field makes a countdown record, not a title that holds the word.
    EXPECT_EQ(countdown.SQLDateTime(), "2005-12-25 00:00:00");

    const QString out = dir.filePath("out/Calendar.tpc");   // its folder does not exist yet
    ASSERT_TRUE(EventsFile::Write(out, todo, store, message));
    EXPECT_TRUE(message.isEmpty());
    const QString written = QString::fromUtf8(readBytes(out));
    EXPECT_FALSE(written.contains('\r'));
    const QStringList lines = written.split('\n');
    EXPECT_EQ(lines.last(), "");   // every line ends with LF
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"1\tBuy milk", "0\tRead Events Data: notes", "0\t", "Events Data:"}));
    for (const QString& line : Files::SplitLines(QString::fromUtf8(seed)).mid(4))
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
    EXPECT_FALSE(lines.contains("2005-12-25 00:00:00|2005-12-25 00:00:00//Christmas"));
    EXPECT_TRUE(lines.contains("2005-11-24 00:00:00|2005-11-24 00:00:00//Thanksgiving"));
    EXPECT_EQ(lines.size(), 4 + store.Count() + 1);

    // Read back, the written file gives the same store and to-do lines.
    Dictionary again;
    QStringList todoAgain;
    Date countdownAgain(2001, 1, 1);
    ASSERT_EQ(EventsFile::Load(out, again, todoAgain, countdownAgain, message), EventsFile::Status::Loaded);
    EXPECT_EQ(again.Entries(), store.Entries());
    EXPECT_EQ(todoAgain, todo);
    EXPECT_EQ(countdownAgain, countdown);
    EXPECT_EQ(readBytes(out), EventsFile::Format(todoAgain, again));
}

TEST(EventsFile, FilesWithoutEventsLoadNoEntries)
{
    struct Case { const char* name; QByteArray bytes; QStringList todo; };
    const Case cases[] = {
        {"zero bytes", "", {}},
        {"separator last", "0\tx\nEvents Data:\n", {"0\tx"}},
        {"no separator", "0\ta\nsome text\n", {"0\ta", "some text"}},
        {"separator inside a line", "0\tEvents Data: and more\n2005-01-01 00:00:00 x\n",
         {"0\tEvents Data: and more", "2005-01-01 00:00:00 x"}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.filePath("Calendar.tpc");
        writeBytes(path, c.bytes);
        Dictionary store;
        QStringList todo;
        Date countdown(2001, 1, 1);
        QString message;
        EXPECT_EQ(EventsFile::Load(path, store, todo, countdown, message), EventsFile::Status::Loaded) << c.name;
        EXPECT_EQ(store.Count(), 0) << c.name;
        EXPECT_EQ(todo, c.todo) << c.name;
        EXPECT_EQ(countdown, Date(2001, 1, 1)) << c.name;
    }
}

// A separator removed or misspelt by hand: the lines shaped like events (a valid key, then
// "|") are the events, every other line a to-do item with its whole text; written back,
// the file has its separator again and nothing is lost.
TEST(EventsFile, WithoutItsSeparatorAFileKeepsItsEvents)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Calendar.tpc");
    writeBytes(path, "1\tBuy milk\n"
                     "Event Data:\n"
                     "2025-03-10 09:00:00|2025-03-10 10:00:00//Dentist\n"
                     "2025-02-30 09:00:00|not a day\n"
                     "2025-03-11 09:00:00 no bar\n"
                     "2025-03-12 00:00:00|2025-03-12 00:00:00//Trip//Countdown\n");
    const Loaded loaded = load(path);
    ASSERT_EQ(loaded.status, EventsFile::Status::Loaded);
    EXPECT_EQ(loaded.todo, (QStringList{"1\tBuy milk", "Event Data:", "2025-02-30 09:00:00|not a day",
                                        "2025-03-11 09:00:00 no bar"}));
    EXPECT_EQ(loaded.store.Count(), 2);
    EXPECT_EQ(loaded.store.Value("2025-03-10 09:00:00"), "2025-03-10 10:00:00//Dentist");
    EXPECT_EQ(loaded.countdown.SQLDateTime(), "2025-03-12 00:00:00");

    QString message;
    ASSERT_TRUE(EventsFile::Write(path, loaded.todo, loaded.store, message));
    EXPECT_EQ(readBytes(path), "1\tBuy milk\nEvent Data:\n2025-02-30 09:00:00|not a day\n2025-03-11 09:00:00 no bar\n"
                               "Events Data:\n"
                               "2025-03-10 09:00:00|2025-03-10 10:00:00//Dentist\n"
                               "2025-03-12 00:00:00|2025-03-12 00:00:00//Trip//Countdown\n");
    // With its separator, an event-shaped line above it stays a to-do line.
    writeBytes(path, "2025-03-10 09:00:00|x\nEvents Data:\n");
    const Loaded above = load(path);
    ASSERT_EQ(above.status, EventsFile::Status::Loaded);
    EXPECT_EQ(above.todo, QStringList{"2025-03-10 09:00:00|x"});
    EXPECT_EQ(above.store.Count(), 0);
}

TEST(EventsFile, CountdownNeedsTheKindFieldAndADateTimeKey)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Calendar.tpc");
    writeBytes(path, "Events Data:\n"
                     "2006-03-01 00:00:00|2006-03-01 00:00:00//Trip//countdown\n"
                     "not a date|x//y//Countdown\n"
                     "2006-13-40 00:00:00|x//y//Countdown\n"
                     "2006-04-01 09:00:00|2006-04-01 10:00:00//Countdown meeting\n");
    const Loaded loaded = load(path);
    ASSERT_EQ(loaded.status, EventsFile::Status::Loaded);
    EXPECT_EQ(loaded.store.Count(), 4);   // malformed keys are kept as they are
    EXPECT_EQ(loaded.countdown.SQLDateTime(), "2006-03-01 00:00:00");
}

TEST(EventsFile, CountdownIsTheLastInWrittenOrderSoASaveKeepsIt)
{
    // Lines out of key order (edited by hand), and a countdown record that a later line with
    // the same key replaces: the countdown is the one a save and a new read give.
    QTemporaryDir dir;
    const QString path = dir.filePath("Calendar.tpc");
    writeBytes(path, "Events Data:\n"
                     "2026-03-19 00:00:01|2026-03-19 00:00:01//Spring//Countdown\n"
                     "2013-12-25 02:00:00|2013-12-25 00:00:00//Christmas//Countdown\n"
                     "2027-01-01 00:00:00|2027-01-01 00:00:00//New Year//Countdown\n"
                     "2027-01-01 00:00:00|2027-01-01 00:00:00//New Year\n");
    const Loaded loaded = load(path);
    ASSERT_EQ(loaded.status, EventsFile::Status::Loaded);
    EXPECT_EQ(loaded.countdown.SQLDateTime(), "2026-03-19 00:00:01");

    const QString saved = dir.filePath("Saved.tpc");
    QString message;
    ASSERT_TRUE(EventsFile::Write(saved, loaded.todo, loaded.store, message));
    const Loaded again = load(saved);
    ASSERT_EQ(again.status, EventsFile::Status::Loaded);
    EXPECT_EQ(again.countdown, loaded.countdown);
}

TEST(EventsFile, MissingFileLoadsNothingAndSaysNothing)
{
    QTemporaryDir dir;
    Dictionary store;
    store.SetValue("k", "v");
    QStringList todo{"kept"};
    Date countdown(2001, 1, 1);
    QString message = "stale";
    EXPECT_EQ(EventsFile::Load(dir.filePath("Calendar.tpc"), store, todo, countdown, message), EventsFile::Status::Missing);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(todo, QStringList{"kept"});
    EXPECT_TRUE(message.isEmpty());
}

// The message says why: the line of a NUL byte or of the first bytes that are not UTF-8
// (line ends of every kind counted), or the system's reason when it cannot be opened.
TEST(EventsFile, UnreadableFileIsReportedWithItsReasonLeftUnchangedAndCopied)
{
    QByteArray withNul("Events Data:\r\n2005-01-01 00:00:00|");
    withNul.append('\0').append("x\n");
    struct Case { QByteArray bytes; const char* reason; };
    const Case cases[] = {
        {withNul, "could not be read: it holds a NUL byte on line 2."},
        {"\xEF\xBB\xBF" "0\tok\r0\tgr\xc3\xbc\xc3\x9f\n\n0\tcaf\xe9\nEvents Data:\n",
         "could not be read: it is not UTF-8 text (line 4)."},
    };
    for (const Case& c : cases) {
        const QByteArray& bytes = c.bytes;
        QTemporaryDir dir;
        const QString path = dir.filePath("Calendar.tpc");
        writeBytes(path, bytes);
        Dictionary store;
        QStringList todo;
        Date countdown(2001, 1, 1);
        MessageLog log;
        QString message;
        EXPECT_EQ(EventsFile::Load(path, store, todo, countdown, message), EventsFile::Status::Unreadable);
        EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
        EXPECT_TRUE(message.contains("Calendar.tpc.unreadable-1"));
        EXPECT_TRUE(log.messages.isEmpty());   // the caller shows it
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_EQ(readBytes(path + ".unreadable-1"), bytes);
        EXPECT_EQ(store.Count(), 0);
    }
}

// A folder or a FIFO where the file should be: said what it is, never waited on. A link that
// loops is no missing file either: said why, and a save leaves the link.
TEST(EventsFile, AFileThatCannotBeOpenedSaysSo)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("Calendar.tpc");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fifo = dir.filePath("fifo.tpc");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString loop = dir.filePath("loop.tpc");
    ASSERT_TRUE(QFile::link(loop, loop));
    for (const auto& [path, reason] : {std::pair{folder, "it is a folder"}, std::pair{fifo, "it is a FIFO (named pipe)"},
                                       std::pair{loop, "it cannot be opened (Too many levels of symbolic links)"}}) {
        EventsFile::Contents contents;
        QString why;
        EXPECT_EQ(EventsFile::Read(path, contents, &why), EventsFile::Status::Unreadable);
        EXPECT_EQ(why, reason);
    }
    QString message;
    EXPECT_FALSE(EventsFile::Write(loop, {}, Dictionary(), message));
    EXPECT_TRUE(QFileInfo(loop).isSymLink());
}

TEST(EventsFile, FailedWriteIsReportedAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    Dictionary store;
    store.SetValue("2005-01-01 00:00:00", "2005-01-01 00:00:00//New Years");
    // A folder where the file should be: the write fails and the folder stays.
    const QString blocked = dir.filePath("Calendar.tpc");
    ASSERT_TRUE(QDir().mkpath(blocked));
    // A plain file where the Documents folder should be.
    writeBytes(dir.filePath("Documents"), "old");
    MessageLog log;
    QString message;
    EXPECT_FALSE(EventsFile::Write(blocked, {}, store, message));
    EXPECT_TRUE(message.startsWith("Your events could not be saved to \"Calendar.tpc\"."));
    EXPECT_FALSE(EventsFile::Write(dir.filePath("Documents/Calendar.tpc"), {}, store, message));
    EXPECT_TRUE(message.startsWith("Your events could not be saved"));
    EXPECT_TRUE(log.messages.isEmpty());   // the caller shows it
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_EQ(readBytes(dir.filePath("Documents")), "old");
    EXPECT_FALSE(EventsFile::IsWriting());
}

TEST(EventsFile, WrittenTextCannotBreakItsLines)
{
    Dictionary store;
    store.SetValue("2005-01-01 09:00:00", "2005-01-01 09:30:00//two\nlines");
    const QString text = QString::fromUtf8(EventsFile::Format({"0\tto\rdo"}, store));
    EXPECT_EQ(text, "0\tto do\nEvents Data:\n2005-01-01 09:00:00|2005-01-01 09:30:00//two lines\n");
    EXPECT_EQ(EventsFile::Format({}, Dictionary()), "Events Data:\n");
}

TEST(EventsFile, TodoLines)
{
    EXPECT_EQ(EventsFile::TodoLine(true, "Call"), "1\tCall");
    EXPECT_EQ(EventsFile::TodoLine(false, ""), "0\t");
    struct Case { const char* line; bool checked; const char* text; };
    const Case cases[] = {
        {"1\tCall\tafter 5pm", true, "Call\tafter 5pm"}, {"0\tx", false, "x"}, {"0\t", false, ""},
        // Without a TAB the whole line is the text of an open item.
        {"Buy milk", false, "Buy milk"}, {"1", false, "1"}, {"", false, ""},
        {"yes\tx", false, "x"}, {"1\t\t", true, "\t"},
    };
    for (const Case& c : cases) {
        bool checked = !c.checked;
        QString text = "junk";
        EventsFile::ParseTodoLine(c.line, checked, text);
        EXPECT_EQ(checked, c.checked) << c.line;
        EXPECT_EQ(text, c.text) << c.line;
    }
    // Lines the calendar writes come back whole.
    for (const QString line : {"1\tCall Ann\tafter 5pm", "0\t", "0\t50\t%\t"}) {
        bool checked = false;
        QString text;
        EventsFile::ParseTodoLine(line, checked, text);
        EXPECT_EQ(EventsFile::TodoLine(checked, text), line);
    }
}

TEST(EventRecord, ACountdownIsTheKindFieldOnly)
{
    struct Case { const char* record; bool countdown; };
    const Case cases[] = {
        {"2006-03-01 00:00:00//Trip//Countdown", true},
        {"2006-03-01 00:00:00//Trip//countDOWN", true},          // letter case ignored
        {"2006-03-01 00:00:00//Trip//Countdown//more", true},    // the third field, whatever follows
        {"2006-03-01 00:00:00//Countdown", false},               // a title, not a kind
        {"2006-03-01 00:00:00//Trip//Countdowns", false},
        {"2006-03-01 00:00:00//Trip//", false},
        {"2006-03-01 00:00:00//A/B///Countdown", false},         // the first two slashes part: "/Countdown"
        {"2006-03-01 00:00:00//A/B//Countdown", true},
        {"2006-03-01 00:00:00//A/B/Countdown", false},
        {"2006-03-01 00:00:00//Trip//Countdown/", false},
        {"Countdown", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EventRecord::IsCountdown(c.record), c.countdown) << c.record;
}

TEST(EventRecord, TheSeparatorIsFoundWhereAPlainSearchFindsIt)
{
    const QString texts[] = {"", "/", "//", "///", "a/b", "a/b//c", "a/ /b//", "x//y///z/", "/a/", "ab/",
                             QString::fromUtf8("\u00e9t\u00e9//f\u00eate/")};
    for (const QString& text : texts)
        for (qsizetype from = 0; from <= text.size() + 1; ++from)
            EXPECT_EQ(EventRecord::FindSeparator(text, from), text.indexOf(EventRecord::Separator, from))
                << text.toStdString() << " from " << from;
}

TEST(EventRecord, HowTheYearViewTakesAnEntry)
{
    using Fit = EventRecord::YearViewFit;
    struct Case { const char* key; const char* record; Fit fit; };
    const Case cases[] = {
        {"2006-03-01 09:00:00", "2006-03-01 10:00:00//Dentist", Fit::Shown},
        {"2006-03-01 00:00:00", "2006-03-01 00:00:00//Holiday", Fit::Shown},
        {"2006-03-01 09:00:00", "2006-03-01 08:00:00//Backwards", Fit::Hidden},
        {"no bar here", "", Fit::BadKey},
        {"", "", Fit::BadKey},
        {"2006-03-01", "2006-03-01 10:00:00//Date only", Fit::BadKey},
        {"2006-03-01 09:00:00", "garbage//Broken", Fit::BadEnd},
        {"2006-03-01 09:00:00", "", Fit::BadEnd},
        {"2006-03-01 09:00:00", "2006-03-01 10:00:00/Dentist", Fit::BadEnd},   // one slash is no separator
        {"2006-03-01 09:00:00", "2006-03-01 10:00:00", Fit::Shown},           // an end alone
    };
    for (const Case& c : cases) {
        Date start;
        EXPECT_EQ(EventRecord::FitForYearView(c.key, c.record, start), c.fit) << c.key << " " << c.record;
    }
}
