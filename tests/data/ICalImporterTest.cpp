// The iCal importer on small calendars of its own.
#include "TestSupport.h"
#include "data/ICalImporter.h"
#include "framework/Dictionary.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Imports one calendar whose events are given as their content lines, into a store for
// the years 2005 to 2007.
Dictionary import(const QString& eventLines)
{
    Dictionary store;
    ICalImporter importer(store, 2005);
    importer.ImportText("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\n" + eventLines
                        + "END:VEVENT\r\nEND:VCALENDAR\r\n");
    return store;
}

QStringList entries(const Dictionary& store)
{
    QStringList out;
    for (const auto& [key, value] : store.Range("", QString(QChar(0xFFFF))))
        out << key + "|" + value;
    return out;
}

} // namespace

TEST(ICalImporter, SingleEvents)
{
    struct Case { const char* name; QString lines; QStringList expected; };
    const Case cases[] = {
        {"half past, no end", "DTSTART:20050101T093000\r\nSUMMARY:Breakfast\r\n",
         {"2005-01-01 09:30:00|2005-01-01 10:00:00//Breakfast"}},
        {"end is kept, minutes rounded to the half hour",
         "DTSTART;TZID=Europe/Berlin:20050103T094500\r\nDTEND;TZID=Europe/Berlin:20050103T111000\r\nSUMMARY:Meeting\r\n",
         {"2005-01-03 09:30:00|2005-01-03 11:30:00//Meeting"}},
        {"date without time is an all-day entry", "DTSTART;VALUE=DATE:20050214\r\nSUMMARY:Valentine\r\n",
         {"2005-02-14 00:00:01|2005-02-14 00:00:01//Valentine"}},
        {"all-day end is exclusive",
         "DTSTART;VALUE=DATE:20050301\r\nDTEND;VALUE=DATE:20050303\r\nSUMMARY:Trip\r\n",
         {"2005-03-01 00:00:01|2005-03-01 00:00:01//Trip", "2005-03-02 00:00:01|2005-03-02 00:00:01//Trip"}},
        {"one-day all-day event", "DTSTART;VALUE=DATE:20050301\r\nDTEND;VALUE=DATE:20050302\r\nSUMMARY:Day\r\n",
         {"2005-03-01 00:00:01|2005-03-01 00:00:01//Day"}},
        {"alarm summary is not the title",
         "SUMMARY:Real title\r\nDTSTART:20050105T080000\r\nBEGIN:VALARM\r\nSUMMARY:Alarm text\r\nEND:VALARM\r\n",
         {"2005-01-05 08:00:00|2005-01-05 08:30:00//Real title"}},
        {"escapes and folded lines, no separators in the title",
         "DTSTART:20050106T080000\r\nSUMMARY:Lunch\\, talk\\; and a | bar // \r\n and more\r\n",
         {"2005-01-06 08:00:00|2005-01-06 08:30:00//Lunch, talk; and a   bar / and more"}},
        {"no summary", "DTSTART:20050107T080000\r\n", {"2005-01-07 08:00:00|2005-01-07 08:30:00//New Event"}},
        {"unreadable start", "DTSTART:2005-01-07\r\nSUMMARY:x\r\n", {}},
        {"impossible date", "DTSTART:20050230T080000\r\nSUMMARY:x\r\n", {}},
        {"outside the three years", "DTSTART:20080101T080000\r\nSUMMARY:x\r\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(entries(import(c.lines)), c.expected) << c.name;
}

TEST(ICalImporter, Repeats)
{
    struct Case { const char* name; QString lines; QStringList keys; };
    const Case cases[] = {
        {"weekly, count 3", "DTSTART:20050103T100000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n",
         {"2005-01-03 10:00:00", "2005-01-10 10:00:00", "2005-01-17 10:00:00"}},
        {"daily until, inclusive", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050105T100000Z\r\n",
         {"2005-01-03 10:00:00", "2005-01-04 10:00:00", "2005-01-05 10:00:00"}},
        {"until a date", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050104\r\n",
         {"2005-01-03 10:00:00", "2005-01-04 10:00:00"}},
        {"monthly by calendar month", "DTSTART:20050131T100000\r\nRRULE:FREQ=MONTHLY;COUNT=3\r\n",
         {"2005-01-31 10:00:00", "2005-03-31 10:00:00", "2005-05-31 10:00:00"}},
        {"yearly, never past the third year", "DTSTART;VALUE=DATE:20050704\r\nRRULE:FREQ=YEARLY\r\n",
         {"2005-07-04 00:00:01", "2006-07-04 00:00:01", "2007-07-04 00:00:01"}},
        {"begins before the three years", "DTSTART;VALUE=DATE:19990704\r\nRRULE:FREQ=YEARLY;COUNT=7\r\n",
         {"2005-07-04 00:00:01"}},
        {"hourly steps by day", "DTSTART:20050103T100000\r\nRRULE:FREQ=HOURLY;COUNT=2\r\n",
         {"2005-01-03 10:00:00", "2005-01-04 10:00:00"}},
        {"every other week", "DTSTART:20050103T100000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;COUNT=2\r\n",
         {"2005-01-03 10:00:00", "2005-01-17 10:00:00"}},
        {"rule before the start", "RRULE:FREQ=WEEKLY;COUNT=2\r\nDTSTART:20050103T100000\r\n",
         {"2005-01-03 10:00:00", "2005-01-10 10:00:00"}},
    };
    for (const Case& c : cases) {
        const Dictionary store = import(c.lines);
        EXPECT_EQ(store.Keys(), c.keys) << c.name;
    }
}

TEST(ICalImporter, EndlessRepeatsStopAtTheLimits)
{
    // Daily from long before: only the three years, and at most 1000 entries.
    const Dictionary daily = import("DTSTART:19900101T080000\r\nRRULE:FREQ=DAILY\r\nSUMMARY:x\r\n");
    EXPECT_EQ(daily.Count(), ICalImporter::MaxOccurrences);
    EXPECT_EQ(daily.Entries().firstKey(), "2005-01-01 08:00:00");
    // Weekly without an end fills the three years.
    const Dictionary weekly = import("DTSTART:20050103T080000\r\nRRULE:FREQ=WEEKLY\r\n");
    EXPECT_EQ(weekly.Count(), 157);
    EXPECT_EQ(weekly.Entries().lastKey(), "2007-12-31 08:00:00");
}

TEST(ICalImporter, EveryEventOfEveryCalendarFile)
{
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("home.ics", "BEGIN:VEVENT\nDTSTART:20050110T080000\nSUMMARY:One\nEND:VEVENT\n"
                      "BEGIN:VTODO\nDTSTART:20050111T080000\nSUMMARY:Not an event\nEND:VTODO\n"
                      "BEGIN:VEVENT\nDTSTART:20050112T080000\nSUMMARY:Two\nEND:VEVENT\n");
    write("work.ics.backup", "BEGIN:VEVENT\rDTSTART:20050113T080000\rSUMMARY:Three\rEND:VEVENT\r");
    write("notes.txt", "BEGIN:VEVENT\nDTSTART:20050114T080000\nEND:VEVENT\n");
    write("binary.ics", QByteArray("BEGIN:VEVENT\0", 13));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ics"));

    Dictionary store;
    ICalImporter importer(store, 2005);
    EXPECT_EQ(importer.ImportFolder(dir.path()), 3);
    EXPECT_EQ(entries(store), (QStringList{"2005-01-10 08:00:00|2005-01-10 08:30:00//One",
                                           "2005-01-12 08:00:00|2005-01-12 08:30:00//Two",
                                           "2005-01-13 08:00:00|2005-01-13 08:30:00//Three"}));
}

TEST(ICalImporter, ParsesOnlyRealDates)
{
    struct Case { const char* text; bool ok; bool hasTime; };
    const Case cases[] = {
        {"20050101", true, false}, {"20050101T093000", true, true}, {"20050101T093000Z", true, true},
        {"2005011", false, false}, {"20051301", false, false}, {"20050101T250000", false, false}, {"", false, false},
    };
    for (const Case& c : cases) {
        Date d;
        bool hasTime = !c.hasTime;
        EXPECT_EQ(ICalImporter::ParseDate(c.text, d, hasTime), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(hasTime, c.hasTime) << c.text;
        }
    }
}
