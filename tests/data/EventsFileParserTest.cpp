// Large events files are cut into lines by several threads: whatever the cut, the result is
// the one of a plain line-by-line reading.
#include "data/EventRecord.h"
#include "data/EventsFileParser.h"
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>

namespace {

// The reading rule, line after line: to-do lines up to the first separator line, then events
// (key before the first "|"); a later line replaces an earlier one.
EventsFileParser::Result reference(const QString& text)
{
    EventsFileParser::Result result;
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    for (const QString& line : lines) {
        if (!result.hasSeparator) {
            if (line.trimmed().compare(QStringLiteral("Events Data:"), Qt::CaseInsensitive) == 0)
                result.hasSeparator = true;
            else
                result.todoLines << line;
            continue;
        }
        const qsizetype bar = line.indexOf('|');
        const QString key = bar < 0 ? line : line.left(bar);
        const QString record = bar < 0 ? QString() : line.mid(bar + 1);
        result.events[key] = record;
        if (EventRecord::IsCountdown(record))
            result.countdownKeys << key;
    }
    return result;
}

// A file of about count event lines: keys mostly rising but repeated, out of order and
// damaged here and there, every kind of line end, titles in several scripts, a byte order
// mark starting a key or a record now and then (a character there like any other).
QString randomFile(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    const char* ends[] = {"\n", "\r\n", "\r"};
    QString text = QStringLiteral("1\tBuy milk\r\n0\tÜber Events Data: notes\n  events DATA:  \r\n");
    int day = 0;
    for (int i = 0; i < count; ++i) {
        if (random.bounded(40) == 0)
            day = std::max(0, day - int(random.bounded(30)));   // a run written again, out of order
        else if (random.bounded(20) == 0)
            ++day;
        const int minute = random.bounded(3) == 0 ? 0 : int(random.bounded(1440));
        QString key = QStringLiteral("2025-%1-%2 %3:%4:00")
                          .arg(1 + day / 28 % 12, 2, 10, QChar('0')).arg(1 + day % 28, 2, 10, QChar('0'))
                          .arg(minute / 60, 2, 10, QChar('0')).arg(minute % 60, 2, 10, QChar('0'));
        QString line = key + QStringLiteral("|2025-12-31 00:00:00//Entry %1 ÿ日本").arg(i);
        switch (random.bounded(25)) {
        case 0: line += QStringLiteral("//Countdown"); break;
        case 1: line = key; break;                           // no "|"
        case 2: line = QString(); break;                     // an empty line
        case 3: line.replace(0, 4, QStringLiteral("20x5")); break;
        case 4: line.prepend(QChar(0xFEFF)); break;          // a byte order mark in the text
        case 5: line.insert(key.size() + 1, QChar(0xFEFF)); break;
        default: break;
        }
        text += line + QLatin1String(ends[random.bounded(3)]);
    }
    return text;
}

void expectSame(const EventsFileParser::Result& got, const EventsFileParser::Result& want)
{
    ASSERT_TRUE(got.valid);
    EXPECT_EQ(got.hasSeparator, want.hasSeparator);
    EXPECT_EQ(got.todoLines, want.todoLines);
    EXPECT_EQ(got.countdownKeys, want.countdownKeys);
    ASSERT_EQ(got.events.size(), want.events.size());
    EXPECT_TRUE(got.events == want.events);
}

} // namespace

TEST(EventsFileParser, ALargeFileReadsAsLineByLine)
{
    // Large enough for the most threads; a few seeds move the cuts between runs.
    for (const quint32 seed : {1u, 2u, 3u}) {
        const QString text = randomFile(80000, seed);
        const QByteArray bytes = text.toUtf8();
        ASSERT_GT(bytes.size(), 8 * 512 * 1024);
        expectSame(EventsFileParser::Parse(bytes), reference(text));
    }
    // A small one is read by one thread.
    const QString small = randomFile(300, 4);
    expectSame(EventsFileParser::Parse(small.toUtf8()), reference(small));
}

TEST(EventsFileParser, AFaultInAnyRunMakesTheFileUnreadableAndIsFoundOnItsLine)
{
    const QString text = randomFile(80000, 5);
    QByteArray bytes = text.toUtf8();
    // Count the lines up to a place far into the file, where a later thread reads.
    const qsizetype place = bytes.indexOf('\n', bytes.size() * 7 / 8) + 1;
    int line = 1;
    for (qsizetype i = 0; i < place; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    for (const char* fault : {"\xff", "\0"}) {
        QByteArray broken = bytes;
        broken.insert(place, fault, 1);
        EXPECT_FALSE(EventsFileParser::Parse(broken).valid);
        const QString why = EventsFileParser::FaultOf(broken);
        EXPECT_TRUE(why.endsWith(QStringLiteral("line %1").arg(line)) || why.contains(QStringLiteral("line %1)").arg(line)))
            << why.toStdString();
    }
}
