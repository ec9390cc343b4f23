// The iCal importer on small calendars, each checked against dates worked out by hand.
#include "ICalTestSupport.h"
#include "data/Holidays.h"
#include "data/ICalImporter.h"
#include "framework/Dictionary.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Imports one calendar whose one event is given as its content lines, into a store for the
// years 2005 to 2007.
Dictionary import(const QString& eventLines, const QString& moreComponents = QString())
{
    Dictionary store;
    ICalImporter importer(store, 2005);
    importer.ImportText("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + moreComponents + "BEGIN:VEVENT\r\nUID:u1\r\n"
                        + eventLines + "END:VEVENT\r\nEND:VCALENDAR\r\n");
    return store;
}

struct Case
{
    const char* name;
    QString lines;
    QStringList expected;   // "key|value" lines, or only the keys when no line holds "|"
};

void expectCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const Dictionary store = import(c.lines);
        const bool keysOnly = !c.expected.isEmpty() && !c.expected.first().contains('|');
        EXPECT_EQ(keysOnly ? store.Keys() : IcalTest::Lines(store), c.expected) << c.name;
    }
}

} // namespace

TEST(ICalImporter, SingleEventsKeepTheEventsFileFormat)
{
    const IcalTest::LocalZone zone("UTC");
    expectCases({
        {"half past, no end", "DTSTART:20050101T093000\r\nSUMMARY:Breakfast\r\n",
         {"2005-01-01 09:30:00|2005-01-01 10:00:00//Breakfast"}},
        {"start rounded down, end rounded up to the half hour",
         "DTSTART:20050103T094500\r\nDTEND:20050103T111000\r\nSUMMARY:Meeting\r\n",
         {"2005-01-03 09:30:00|2005-01-03 11:30:00//Meeting"}},
        {"a date is an all-day entry", "DTSTART;VALUE=DATE:20050214\r\nSUMMARY:Valentine\r\n",
         {"2005-02-14 00:00:01|2005-02-14 00:00:01//Valentine"}},
        {"an all-day end is exclusive",
         "DTSTART;VALUE=DATE:20050301\r\nDTEND;VALUE=DATE:20050303\r\nSUMMARY:Trip\r\n",
         {"2005-03-01 00:00:01|2005-03-01 00:00:01//Trip", "2005-03-02 00:00:01|2005-03-02 00:00:01//Trip"}},
        {"an alarm's summary is not the title",
         "SUMMARY:Real title\r\nDTSTART:20050105T080000\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
         "SUMMARY:Alarm text\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n",
         {"2005-01-05 08:00:00|2005-01-05 08:30:00//Real title"}},
        {"escapes and folded lines; no field separators in the title",
         "DTSTART:20050106T080000\r\nSUMMARY:Lunch\\, talk\\; and a | bar // \r\n and more\\nnext line\r\n",
         {"2005-01-06 08:00:00|2005-01-06 08:30:00//Lunch, talk; and a   bar / and more next line"}},
        {"non-ASCII title", "DTSTART:20050107T080000\r\nSUMMARY:Café in Zürich ☕\r\n",
         {"2005-01-07 08:00:00|2005-01-07 08:30:00//Café in Zürich ☕"}},
        {"no summary", "DTSTART:20050107T080000\r\n", {"2005-01-07 08:00:00|2005-01-07 08:30:00//New Event"}},
        {"DURATION gives the end", "DTSTART:20050110T100000\r\nDURATION:PT1H30M\r\nSUMMARY:Talk\r\n",
         {"2005-01-10 10:00:00|2005-01-10 11:30:00//Talk"}},
        {"DURATION of days on a date", "DTSTART;VALUE=DATE:20050110\r\nDURATION:P2D\r\nSUMMARY:Fair\r\n",
         {"2005-01-10 00:00:01|2005-01-10 00:00:01//Fair", "2005-01-11 00:00:01|2005-01-11 00:00:01//Fair"}},
        {"an end at midnight stays on its day", "DTSTART:20050111T220000\r\nDTEND:20050112T000000\r\nSUMMARY:Late\r\n",
         {"2005-01-11 22:00:00|2005-01-12 00:00:00//Late"}},
        {"outside the three years", "DTSTART:20080101T080000\r\nSUMMARY:x\r\n", {}},
    });
}

TEST(ICalImporter, TimesAreConvertedToTheUsersZone)
{
    const QString eastern = IcalTest::EasternVTimeZone(QStringLiteral("Custom Eastern"));
    struct ZoneCase { const char* name; const char* tz; QString lines; QString components; QString expectedKey; };
    const ZoneCase cases[] = {
        // 10:00 UTC is 11:00 in Berlin in winter (UTC+1) and 12:00 in summer (UTC+2).
        {"UTC in winter", "Europe/Berlin", "DTSTART:20050103T100000Z\r\n", {}, "2005-01-03 11:00:00"},
        {"UTC in summer", "Europe/Berlin", "DTSTART:20050704T100000Z\r\n", {}, "2005-07-04 12:00:00"},
        // 10:00 in New York in January is 15:00 UTC, 16:00 in Berlin.
        {"IANA zone", "Europe/Berlin", "DTSTART;TZID=America/New_York:20050103T100000\r\n", {}, "2005-01-03 16:00:00"},
        {"quoted Windows display name", "UTC",
         "DTSTART;TZID=\"(UTC-05:00) Eastern Time (US & Canada)\":20050103T100000\r\n", {}, "2005-01-03 15:00:00"},
        {"old GMT display name", "UTC",
         "DTSTART;TZID=\"(GMT-05:00) Eastern Time (US & Canada)\":20050704T100000\r\n", {}, "2005-07-04 14:00:00"},
        {"Windows zone id", "UTC", "DTSTART;TZID=Eastern Standard Time:20050103T100000\r\n", {}, "2005-01-03 15:00:00"},
        {"vendor prefix before the zone name", "UTC",
         "DTSTART;TZID=/mozilla.org/20050126_1/America/New_York:20050103T100000\r\n", {}, "2005-01-03 15:00:00"},
        // The calendar's own VTIMEZONE: daylight time from the first Sunday of April 2005 (the 3rd).
        {"VTIMEZONE, standard time", "UTC", "DTSTART;TZID=Custom Eastern:20050401T100000\r\n", eastern,
         "2005-04-01 15:00:00"},
        {"VTIMEZONE, daylight time", "UTC", "DTSTART;TZID=Custom Eastern:20050404T100000\r\n", eastern,
         "2005-04-04 14:00:00"},
        {"VTIMEZONE wins over a zone of the same name", "UTC", "DTSTART;TZID=Europe/Paris:20050110T100000\r\n",
         IcalTest::EasternVTimeZone(QStringLiteral("Europe/Paris")), "2005-01-10 15:00:00"},
        {"floating time is already local", "Asia/Tokyo", "DTSTART:20050103T100000\r\n", {}, "2005-01-03 10:00:00"},
        {"a date does not move", "Pacific/Auckland", "DTSTART;VALUE=DATE:20050214\r\n", {}, "2005-02-14 00:00:01"},
        // 05:00 in Tokyo (UTC+9) is 20:00 UTC the day before.
        {"the day changes", "UTC", "DTSTART;TZID=Asia/Tokyo:20050110T050000\r\n", {}, "2005-01-09 20:00:00"},
    };
    for (const ZoneCase& c : cases) {
        const IcalTest::LocalZone zone(c.tz);
        Dictionary store;
        ICalImporter importer(store, 2005);
        importer.ImportText("BEGIN:VCALENDAR\r\n" + c.components + "BEGIN:VEVENT\r\n" + c.lines
                            + "SUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        EXPECT_EQ(store.Keys(), QStringList{c.expectedKey}) << c.name;
    }
}

TEST(ICalImporter, AZoneNobodyKnowsSkipsTheEventRatherThanGuess)
{
    const IcalTest::LocalZone zone("UTC");
    Dictionary store;
    ICalImporter importer(store, 2005);
    importer.ImportText("BEGIN:VCALENDAR\r\n"
                        "BEGIN:VEVENT\r\nDTSTART;TZID=Mars/Olympus_Mons:20050103T100000\r\nSUMMARY:a\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART;TZID=\"(UTC+04:00) Somewhere New\":20050104T100000\r\nSUMMARY:b\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART:20050105T100000Z\r\nDTEND;TZID=Nowhere:20050105T110000\r\nSUMMARY:c\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART:20050106T100000Z\r\nSUMMARY:d\r\nEND:VEVENT\r\n"
                        "END:VCALENDAR\r\n");
    EXPECT_EQ(store.Keys(), QStringList{"2005-01-06 10:00:00"});
    EXPECT_EQ(importer.Skipped(), 3);
}

TEST(ICalImporter, RepeatRulesGiveTheirRealDates)
{
    const IcalTest::LocalZone zone("UTC");
    expectCases({
        {"weekly, count 3", "DTSTART:20050103T100000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n",
         {"2005-01-03 10:00:00", "2005-01-10 10:00:00", "2005-01-17 10:00:00"}},
        {"daily until, inclusive", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050105T100000\r\n",
         {"2005-01-03 10:00:00", "2005-01-04 10:00:00", "2005-01-05 10:00:00"}},
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

TEST(ICalImporter, RepeatsFollowTheZoneAcrossDaylightSaving)
{
    // 10:00 in New York is 15:00 UTC before 3 April 2005 and 14:00 UTC after it; the rule's
    // UNTIL in UTC includes 5 January 10:00 New York time (15:00 UTC).
    const IcalTest::LocalZone zone("UTC");
    EXPECT_EQ(import("DTSTART;TZID=America/New_York:20050328T100000\r\nRRULE:FREQ=WEEKLY;COUNT=2\r\n").Keys(),
              (QStringList{"2005-03-28 15:00:00", "2005-04-04 14:00:00"}));
    EXPECT_EQ(import("DTSTART;TZID=America/New_York:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050105T150000Z\r\n").Keys(),
              (QStringList{"2005-01-03 15:00:00", "2005-01-04 15:00:00", "2005-01-05 15:00:00"}));
}

TEST(ICalImporter, ExtraAndExcludedDates)
{
    const IcalTest::LocalZone zone("UTC");
    expectCases({
        {"EXDATE removes instances", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n"
                                     "EXDATE:20050104T100000,20050106T100000\r\n",
         {"2005-01-03 10:00:00", "2005-01-05 10:00:00", "2005-01-07 10:00:00"}},
        {"a date EXDATE removes its day", "DTSTART:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
                                          "EXDATE;VALUE=DATE:20050104\r\n",
         {"2005-01-03 10:00:00", "2005-01-05 10:00:00"}},
        {"EXDATE in UTC for a zoned event", "DTSTART;TZID=America/New_York:20050103T100000\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
                                            "EXDATE:20050104T150000Z\r\n",
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

TEST(ICalImporter, ReplacedAndCancelledInstances)
{
    const IcalTest::LocalZone zone("UTC");
    Dictionary store;
    ICalImporter importer(store, 2005);
    // The replacement comes before the repeating event, as some exports write it.
    importer.ImportText("BEGIN:VCALENDAR\r\n"
                        "BEGIN:VEVENT\r\nUID:team\r\nRECURRENCE-ID:20050110T100000\r\nDTSTART:20050111T150000\r\n"
                        "DTEND:20050111T160000\r\nSUMMARY:Team (moved)\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:team\r\nDTSTART:20050103T100000\r\nDTEND:20050103T110000\r\n"
                        "RRULE:FREQ=WEEKLY;COUNT=4\r\nSUMMARY:Team\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:team\r\nRECURRENCE-ID:20050117T100000\r\nSTATUS:CANCELLED\r\n"
                        "DTSTART:20050117T100000\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:team\r\nRECURRENCE-ID:20050124T100000\r\nDTSTART:20050124T120000\r\n"
                        "DTEND:20050124T130000\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:gone\r\nSTATUS:CANCELLED\r\nDTSTART:20050105T100000\r\nSUMMARY:x\r\nEND:VEVENT\r\n"
                        "END:VCALENDAR\r\n");
    EXPECT_EQ(IcalTest::Lines(store), (QStringList{"2005-01-03 10:00:00|2005-01-03 11:00:00//Team",
                                                   "2005-01-11 15:00:00|2005-01-11 16:00:00//Team (moved)",
                                                   "2005-01-24 12:00:00|2005-01-24 13:00:00//Team"}));
}

TEST(ICalImporter, EndlessRepeatsStopAtTheLimits)
{
    const IcalTest::LocalZone zone("UTC");
    // Daily from long before: only the three years, and at most 1000 entries.
    const Dictionary daily = import("DTSTART:19900101T080000\r\nRRULE:FREQ=DAILY\r\nSUMMARY:x\r\n");
    EXPECT_EQ(daily.Count(), ICalImporter::MaxOccurrences);
    EXPECT_EQ(daily.Keys().first(), "2005-01-01 08:00:00");
    // Weekly without an end fills the three years: 2005-01-03 to 2007-12-31 is 156 weeks.
    const Dictionary weekly = import("DTSTART:20050103T080000\r\nRRULE:FREQ=WEEKLY\r\n");
    EXPECT_EQ(weekly.Count(), 157);
    EXPECT_EQ(weekly.Keys().last(), "2007-12-31 08:00:00");
    // Every five hours since 2000-01-01 09:00: 2005-01-01 00:00 is 43848 hours after
    // 2000-01-01 00:00, and the first 9 + 5k at or after it is 43849, 01:00.
    const QStringList hourly = import("DTSTART:20000101T090000\r\nRRULE:FREQ=HOURLY;INTERVAL=5\r\n").Keys();
    EXPECT_EQ(hourly.mid(0, 3), (QStringList{"2005-01-01 01:00:00", "2005-01-01 06:00:00", "2005-01-01 11:00:00"}));
}

TEST(ICalImporter, RulesThatCannotBeWalkedSkipTheirEventQuickly)
{
    const IcalTest::LocalZone zone("UTC");
    // No 30 February: libical would search for centuries, hour by hour.
    EXPECT_EQ(import("DTSTART:20050103T080000\r\nRRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30\r\n").Keys(),
              QStringList{"2005-01-03 08:00:00"});
    EXPECT_EQ(import("DTSTART:20050103T080000\r\nRRULE:FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30;COUNT=5\r\n").Keys(),
              QStringList{"2005-01-03 08:00:00"});
    // Every quarter of an hour cannot be shown in half-hour slots.
    EXPECT_TRUE(import("DTSTART:20050103T080000\r\nRRULE:FREQ=MINUTELY;INTERVAL=15\r\n").Keys().isEmpty());
    EXPECT_TRUE(import("DTSTART:20050103T080000\r\nRRULE:FREQ=SECONDLY;BYMONTH=4\r\n").Keys().isEmpty());
    // A rule libical cannot read is left out; the start is still a date of the event.
    EXPECT_EQ(import("DTSTART:20050103T080000\r\nRRULE:FREQ=FORTNIGHTLY\r\n").Keys(),
              QStringList{"2005-01-03 08:00:00"});
}

TEST(ICalImporter, NoRuleOrZoneBlockCanHangTheImport)
{
    const IcalTest::LocalZone zone("UTC");
    QElapsedTimer clock;
    clock.start();
    // A zone block whose changes come every second would have libical work out billions of
    // them: it is left out, and the zone is looked up by its name instead.
    const QString secondly = "BEGIN:VTIMEZONE\r\nTZID:%1\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                             "RRULE:FREQ=SECONDLY\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
                             "END:VTIMEZONE\r\n";
    Dictionary store;
    ICalImporter importer(store, 2005);
    importer.ImportText("BEGIN:VCALENDAR\r\n" + secondly.arg("Odd") + secondly.arg("America/New_York")
                        + "BEGIN:VEVENT\r\nDTSTART;TZID=Odd:20050103T100000\r\nSUMMARY:a\r\nEND:VEVENT\r\n"
                          "BEGIN:VEVENT\r\nDTSTART;TZID=America/New_York:20050104T100000\r\nSUMMARY:b\r\nEND:VEVENT\r\n"
                          "END:VCALENDAR\r\n");
    EXPECT_EQ(store.Keys(), QStringList{"2005-01-04 15:00:00"});
    EXPECT_EQ(importer.Skipped(), 1);
    // Hourly on Mondays that are 29 February, counted from the year 1: 2016 has one, and
    // every step towards it searches decades hour by hour. The walk gives up in time.
    Dictionary leap;
    ICalImporter slow(leap, 2016);
    slow.ImportText("BEGIN:VEVENT\r\nDTSTART:00010101T000000\r\n"
                    "RRULE:FREQ=HOURLY;COUNT=100000000;BYMONTH=2;BYMONTHDAY=29;BYDAY=MO\r\nEND:VEVENT\r\n");
    EXPECT_EQ(leap.Count(), 0);
    EXPECT_EQ(slow.Skipped(), 1);
    EXPECT_LT(clock.elapsed(), 15000);
}

TEST(ICalImporter, MidnightEventsDoNotTakeTheHolidayKey)
{
    const IcalTest::LocalZone zone("UTC");
    Dictionary store;
    Holidays::Load(store, 2005);
    const QString christmas = store.Value("2005-12-25 00:00:00");
    ICalImporter importer(store, 2005);
    importer.ImportText("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20051225T000000\r\nDTEND:20051225T010000\r\n"
                        "SUMMARY:Midnight mass\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART:20051226T001500\r\n"
                        "SUMMARY:Quarter past\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(store.Value("2005-12-25 00:00:00"), christmas);
    EXPECT_EQ(store.Value("2005-12-25 00:00:01"), "2005-12-25 01:00:00//Midnight mass");
    EXPECT_EQ(store.Value("2005-12-26 00:00:01"), "2005-12-26 00:30:00//Quarter past");
    EXPECT_EQ(importer.Stored(), 2);
}

TEST(ICalImporter, TakenSlotsKeepTheirEntries)
{
    const IcalTest::LocalZone zone("UTC");
    Dictionary store;
    store.SetValue("2005-01-03 10:00:00", "2005-01-03 11:00:00//Dentist");
    store.SetValue("2005-12-25 00:00:00", "2005-12-25 00:00:00//Holidays at home//Countdown");
    store.SetValue("2005-03-02 00:00:01", "2005-03-02 00:00:01//My note");
    const QString calendar = "BEGIN:VCALENDAR\r\n"
                             "BEGIN:VEVENT\r\nDTSTART:20050103T101500\r\nSUMMARY:Imported\r\nEND:VEVENT\r\n"
                             "BEGIN:VEVENT\r\nDTSTART:20051225T000000Z\r\nSUMMARY:Midnight\r\nEND:VEVENT\r\n"
                             "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20050301\r\nDTEND;VALUE=DATE:20050304\r\n"
                             "SUMMARY:Trip\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    ICalImporter importer(store, 2005);
    importer.ImportText(calendar);
    EXPECT_EQ(store.Value("2005-01-03 10:00:00"), "2005-01-03 11:00:00//Dentist");
    EXPECT_EQ(store.Value("2005-12-25 00:00:00"), "2005-12-25 00:00:00//Holidays at home//Countdown");
    EXPECT_EQ(store.Value("2005-03-02 00:00:01"), "2005-03-02 00:00:01//My note");
    EXPECT_EQ(store.Value("2005-12-25 00:00:01"), "2005-12-25 00:30:00//Midnight");
    EXPECT_EQ(importer.Stored(), 3);   // the midnight entry and two days of the trip
    EXPECT_EQ(importer.Taken(), 2);
    // Importing the same calendar again changes nothing.
    const QStringList before = IcalTest::Lines(store);
    ICalImporter again(store, 2005);
    again.ImportText(calendar);
    EXPECT_EQ(IcalTest::Lines(store), before);
    EXPECT_EQ(again.Stored(), 0);
    EXPECT_EQ(again.Taken(), 5);
}

TEST(ICalImporter, TimedEventsOverSeveralDaysBecomeDayEntries)
{
    const IcalTest::LocalZone zone("UTC");
    auto day = [](const char* date, const char* title) {
        return QString("%1 00:00:01|%1 00:00:01//%2").arg(date, title);
    };
    expectCases({
        {"three days", "DTSTART:20050301T090000\r\nDTEND:20050303T170000\r\nSUMMARY:Conference\r\n",
         {day("2005-03-01", "Conference"), day("2005-03-02", "Conference"), day("2005-03-03", "Conference")}},
        {"overnight", "DTSTART:20050304T220000\r\nDTEND:20050305T020000\r\nSUMMARY:Party\r\n",
         {day("2005-03-04", "Party"), day("2005-03-05", "Party")}},
        {"an end at midnight covers no part of its day", "DTSTART:20050306T090000\r\nDTEND:20050308T000000\r\nSUMMARY:Fair\r\n",
         {day("2005-03-06", "Fair"), day("2005-03-07", "Fair")}},
        {"from before the three years", "DTSTART:20041230T120000\r\nDTEND:20050102T120000\r\nSUMMARY:Leave\r\n",
         {day("2005-01-01", "Leave"), day("2005-01-02", "Leave")}},
    });
    // A three-month stay: June, July and August have 30 + 31 + 31 = 92 days.
    const Dictionary stay = import("DTSTART:20050601T090000\r\nDTEND:20050831T170000\r\nSUMMARY:Stay\r\n");
    EXPECT_EQ(stay.Count(), 92);
    EXPECT_EQ(stay.Keys().first(), "2005-06-01 00:00:01");
    EXPECT_EQ(stay.Keys().last(), "2005-08-31 00:00:01");
}

TEST(ICalImporter, DamagedTextCostsOnlyItsOwnEvents)
{
    const IcalTest::LocalZone zone("UTC");
    Dictionary store;
    ICalImporter importer(store, 2005);
    // Components nested forty deep are not read at all.
    const QString deep = QString("BEGIN:X\r\n").repeated(40) + QString("END:X\r\n").repeated(40);
    importer.ImportText("garbage before\r\n" + deep +
                        "BEGIN:VCALENDAR\r\nX-UNKNOWN;FOO=\"a:b\":c\r\n"
                        "BEGIN:VEVENT\r\nDTSTART:07.01.2005\r\nSUMMARY:bad start\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART:20050230T080000\r\nSUMMARY:30 February\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nSUMMARY:no start\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nDTSTART;X-PARAM=\"odd\":20050108T080000\r\n"
                        "X-ODD-PROPERTY:1\r\nSUMMARY:good\r\nEND:VEVENT\r\n"
                        "END:VCALENDAR\r\n"
                        "END:VEVENT\r\nEND:VCALENDAR\r\n"
                        // A second calendar in the same text, CR line ends, no END lines.
                        "BEGIN:VCALENDAR\rBEGIN:VEVENT\rDTSTART:20050109T080000\rSUMMARY:last\r");
    EXPECT_EQ(IcalTest::Lines(store), (QStringList{"2005-01-08 08:00:00|2005-01-08 08:30:00//good",
                                                   "2005-01-09 08:00:00|2005-01-09 08:30:00//last"}));
    EXPECT_GE(importer.Skipped(), 3);
    for (const char* text : {"", "BEGIN:VCALENDAR", "END:VEVENT", "BEGIN:VEVENT\r\nDTSTART;TZID=\"", ":\r\n;\r\n"}) {
        ICalImporter empty(store, 2005);
        empty.ImportText(text);
        EXPECT_EQ(empty.Stored(), 0) << text;
    }
}

TEST(ICalImporter, LinesFedOneByOneAreReadAtTheEndOfTheirCalendar)
{
    // The application reads a file line by line (app.ExtractiCalEvents); each calendar is
    // read when it ends, with its time zones and replaced instances in hand.
    const IcalTest::LocalZone zone("UTC");
    Dictionary store;
    ICalImporter importer(store, 2005);
    const QStringList lines = {"BEGIN:VCALENDAR", "BEGIN:VEVENT", "DTSTART:20050103T100000",
                               "RRULE:FREQ=WEEKLY;COUNT=2", "SUMMARY:Folded", " title", "END:VEVENT"};
    for (const QString& line : lines)
        importer.ExtractLine(line);
    EXPECT_EQ(store.Count(), 0);
    importer.ExtractLine("END:VCALENDAR");
    EXPECT_EQ(store.Keys(), (QStringList{"2005-01-03 10:00:00", "2005-01-10 10:00:00"}));
    EXPECT_EQ(importer.Fields(), (QStringList{"", "20050103T100000", "", "Foldedtitle", "WEEKLY", "2"}));
    // An unfinished calendar is read when asked to (app.FillDateArray).
    importer.ExtractLine("BEGIN:VEVENT");
    importer.ExtractLine("DTSTART;VALUE=DATE:20050301");
    EXPECT_EQ(importer.FillEvent(), 1);
}

TEST(ICalImporter, EveryEventOfEveryCalendarFile)
{
    const IcalTest::LocalZone zone("UTC");
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
    EXPECT_EQ(IcalTest::Lines(store), (QStringList{"2005-01-10 08:00:00|2005-01-10 08:30:00//One",
                                                   "2005-01-12 08:00:00|2005-01-12 08:30:00//Two",
                                                   "2005-01-13 08:00:00|2005-01-13 08:30:00//Three"}));
}
