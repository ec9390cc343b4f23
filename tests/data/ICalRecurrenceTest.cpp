// Repeating events: every rule part, several rules, extra and excluded dates, and the bounds of
// the walk; the dates in the comments are worked out by hand from a calendar.
#include "ICalTestSupport.h"
#include "data/ICalImporter.h"
#include "framework/Dictionary.h"
#include <QElapsedTimer>
#include <gtest/gtest.h>

using IcalTest::ExpectCases;
using IcalTest::ImportEvent;

TEST(ICalRecurrence, RepeatRulesGiveTheirRealDates)
{
    const IcalTest::LocalZone zone("UTC");
    ExpectCases({
        {"weekly, count 3", "DTSTART:20050103T100000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n",
         {"2005-01-03 10:00:00", "2005-01-10 10:00:00", "2005-01-17 10:00:00"}},
        {"daily until, inclusive", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050105T100000\r\n",
         {"2005-01-03 10:00:00", "2005-01-04 10:00:00", "2005-01-05 10:00:00"}},
        {"a date UNTIL on a timed event includes its day", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050104\r\n",
         {"2005-01-03 10:00:00", "2005-01-04 10:00:00"}},
        // 2005-05-13, 2006-01-13, 2006-10-13 and 2007-04-13 are Fridays; no 13th between them is.
        {"every Friday the 13th", "DTSTART:20050513T090000\r\nRRULE:FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13;COUNT=4\r\n",
         {"2005-05-13 09:00:00", "2006-01-13 09:00:00", "2006-10-13 09:00:00", "2007-04-13 09:00:00"}},
        // 2005-01-03 is a Monday: no Saturday or Sunday.
        {"weekday stand-up", "DTSTART:20050103T093000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;COUNT=7\r\n",
         {"2005-01-03 09:30:00", "2005-01-04 09:30:00", "2005-01-05 09:30:00", "2005-01-06 09:30:00",
          "2005-01-07 09:30:00", "2005-01-10 09:30:00", "2005-01-11 09:30:00"}},
        // First Tuesdays of 2005: 4 January, 1 February, 1 March, 5 April.
        {"first Tuesday", "DTSTART:20050104T180000\r\nRRULE:FREQ=MONTHLY;BYDAY=1TU;COUNT=4\r\n",
         {"2005-01-04 18:00:00", "2005-02-01 18:00:00", "2005-03-01 18:00:00", "2005-04-05 18:00:00"}},
        // Last weekdays: Monday 31 January, Monday 28 February, Thursday 31 March.
        {"last weekday (BYSETPOS)", "DTSTART:20050131T170000\r\nRRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=3\r\n",
         {"2005-01-31 17:00:00", "2005-02-28 17:00:00", "2005-03-31 17:00:00"}},
        {"two month days", "DTSTART:20050101T120000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=1,15;COUNT=4\r\n",
         {"2005-01-01 12:00:00", "2005-01-15 12:00:00", "2005-02-01 12:00:00", "2005-02-15 12:00:00"}},
        // Fourth Thursdays of November: the 24th, 23rd and 22nd.
        {"yearly by month and weekday", "DTSTART;VALUE=DATE:20051124\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=4TH\r\n",
         {"2005-11-24 00:00:01", "2006-11-23 00:00:01", "2007-11-22 00:00:01"}},
        {"31st of the month skips short months", "DTSTART:20050131T100000\r\nRRULE:FREQ=MONTHLY;COUNT=3\r\n",
         {"2005-01-31 10:00:00", "2005-03-31 10:00:00", "2005-05-31 10:00:00"}},
        {"two rules add up",
         "DTSTART:20050103T080000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=2\r\nRRULE:FREQ=WEEKLY;BYDAY=TH;COUNT=2\r\n",
         {"2005-01-03 08:00:00", "2005-01-06 08:00:00", "2005-01-10 08:00:00", "2005-01-13 08:00:00"}},
        {"every five hours", "DTSTART:20050103T080000\r\nRRULE:FREQ=HOURLY;INTERVAL=5;COUNT=3\r\n",
         {"2005-01-03 08:00:00", "2005-01-03 13:00:00", "2005-01-03 18:00:00"}},
        {"every ninety minutes", "DTSTART:20050103T080000\r\nRRULE:FREQ=MINUTELY;INTERVAL=90;COUNT=3\r\n",
         {"2005-01-03 08:00:00", "2005-01-03 09:30:00", "2005-01-03 11:00:00"}},
        {"yearly from long before", "DTSTART;VALUE=DATE:19800704\r\nRRULE:FREQ=YEARLY\r\n",
         {"2005-07-04 00:00:01", "2006-07-04 00:00:01", "2007-07-04 00:00:01"}},
        {"counted from long before", "DTSTART;VALUE=DATE:19990704\r\nRRULE:FREQ=YEARLY;COUNT=7\r\n",
         {"2005-07-04 00:00:01"}},
    });
}

TEST(ICalRecurrence, ExtraAndExcludedDates)
{
    const IcalTest::LocalZone zone("UTC");
    ExpectCases({
        {"EXDATE removes instances", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n"
                                     "EXDATE:20050104T100000,20050106T100000\r\n",
         {"2005-01-03 10:00:00", "2005-01-05 10:00:00", "2005-01-07 10:00:00"}},
        {"a date EXDATE removes its day", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
                                          "EXDATE;VALUE=DATE:20050104\r\n",
         {"2005-01-03 10:00:00", "2005-01-05 10:00:00"}},
        {"EXDATE in UTC for a zoned event", "DTSTART;TZID=America/New_York:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
                                            "EXDATE:20050104T150000Z\r\n",
         {"2005-01-03 15:00:00", "2005-01-05 15:00:00"}},
        {"a floating EXDATE is read in the event's zone",
         "DTSTART;TZID=America/New_York:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=3\r\nEXDATE:20050104T100000\r\n",
         {"2005-01-03 15:00:00", "2005-01-05 15:00:00"}},
        {"RDATE adds instances", "DTSTART:20050103T100000\r\nDTEND:20050103T110000\r\nSUMMARY:S\r\n"
                                 "RDATE:20050120T100000,20050125T140000\r\n",
         {"2005-01-03 10:00:00|2005-01-03 11:00:00//S", "2005-01-20 10:00:00|2005-01-20 11:00:00//S",
          "2005-01-25 14:00:00|2005-01-25 15:00:00//S"}},
        {"an RDATE period has its own length", "DTSTART:20050103T100000\r\nSUMMARY:S\r\n"
                                               "RDATE;VALUE=PERIOD:20050201T090000/20050201T113000\r\n",
         {"2005-01-03 10:00:00|2005-01-03 10:30:00//S", "2005-02-01 09:00:00|2005-02-01 11:30:00//S"}},
    });
}

TEST(ICalRecurrence, EndlessRepeatsStopAtTheLimits)
{
    const IcalTest::LocalZone zone("UTC");
    // Daily from long before: only the three years, and at most 1000 entries.
    const Dictionary daily = ImportEvent("DTSTART:19900101T080000\r\nRRULE:FREQ=DAILY\r\nSUMMARY:x\r\n");
    EXPECT_EQ(daily.Count(), ICalImporter::MaxOccurrences);
    EXPECT_EQ(daily.Keys().first(), "2005-01-01 08:00:00");
    // Weekly without an end fills the three years: 2005-01-03 to 2007-12-31 is 156 weeks.
    const Dictionary weekly = ImportEvent("DTSTART:20050103T080000\r\nRRULE:FREQ=WEEKLY\r\n");
    EXPECT_EQ(weekly.Count(), 157);
    EXPECT_EQ(weekly.Keys().last(), "2007-12-31 08:00:00");
    // Every five hours since 2000-01-01 09:00: 2005-01-01 00:00 is 43848 hours after
    // 2000-01-01 00:00, and the first 9 + 5k at or after it is 43849, 01:00.
    const QStringList hourly = ImportEvent("DTSTART:20000101T090000\r\nRRULE:FREQ=HOURLY;INTERVAL=5\r\n").Keys();
    EXPECT_EQ(hourly.mid(0, 3), (QStringList{"2005-01-01 01:00:00", "2005-01-01 06:00:00", "2005-01-01 11:00:00"}));
}

TEST(ICalRecurrence, RulesThatCannotBeWalkedSkipTheirEventQuickly)
{
    const IcalTest::LocalZone zone("UTC");
    // No 30 February: libical would search for centuries, hour by hour.
    EXPECT_EQ(ImportEvent("DTSTART:20050103T080000\r\nRRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30\r\n").Keys(),
              QStringList{"2005-01-03 08:00:00"});
    EXPECT_EQ(ImportEvent("DTSTART:20050103T080000\r\nRRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30;COUNT=5\r\n").Keys(),
              QStringList{"2005-01-03 08:00:00"});
    // Every quarter of an hour cannot be shown in half-hour slots.
    EXPECT_TRUE(ImportEvent("DTSTART:20050103T080000\r\nRRULE:FREQ=MINUTELY;INTERVAL=15\r\n").Keys().isEmpty());
    EXPECT_TRUE(ImportEvent("DTSTART:20050103T080000\r\nRRULE:FREQ=SECONDLY;BYMONTH=4\r\n").Keys().isEmpty());
    // A rule libical cannot read is left out; the start is still a date of the event.
    EXPECT_EQ(ImportEvent("DTSTART:20050103T080000\r\nRRULE:FREQ=FORTNIGHTLY\r\n").Keys(),
              QStringList{"2005-01-03 08:00:00"});
}

TEST(ICalRecurrence, ACountedRuleThatSearchesForDecadesGivesUpInTime)
{
    // Hourly on Mondays that are 29 February, counted from the year 1: 2016 has one, and
    // every step towards it searches decades hour by hour.
    const IcalTest::LocalZone zone("UTC");
    QElapsedTimer clock;
    clock.start();
    Dictionary store;
    ICalImporter importer(store, 2016);
    importer.ImportText("BEGIN:VEVENT\r\nDTSTART:00010101T000000\r\n"
                        "RRULE:FREQ=HOURLY;COUNT=100000000;BYMONTH=2;BYMONTHDAY=29;BYDAY=MO\r\nEND:VEVENT\r\n");
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(importer.Skipped(), 1);
    EXPECT_LT(clock.elapsed(), 15000);
}
