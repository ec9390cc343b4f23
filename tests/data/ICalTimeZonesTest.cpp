// Times of iCalendar files on the user's clock: UTC, zones by every kind of name, VTIMEZONE
// blocks; the user's zone is set through TZ in each test.
#include "ICalTestSupport.h"
#include "data/ICalImporter.h"
#include "data/ICalTimeZones.h"
#include "framework/Dictionary.h"
#include <gtest/gtest.h>

using IcalTest::ImportEvent;

TEST(ICalTimeZones, TimesAreConvertedToTheUsersZone)
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

TEST(ICalTimeZones, AZoneNobodyKnowsSkipsTheEventRatherThanGuess)
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

TEST(ICalTimeZones, RepeatsFollowTheZoneAcrossDaylightSaving)
{
    // 10:00 in New York is 15:00 UTC before 3 April 2005 and 14:00 UTC after it; the rule's
    // UNTIL in UTC includes 5 January 10:00 New York time (15:00 UTC).
    const IcalTest::LocalZone zone("UTC");
    EXPECT_EQ(ImportEvent("DTSTART;TZID=America/New_York:20050328T100000\r\nRRULE:FREQ=WEEKLY;COUNT=2\r\n").Keys(),
              (QStringList{"2005-03-28 15:00:00", "2005-04-04 14:00:00"}));
    EXPECT_EQ(ImportEvent("DTSTART;TZID=America/New_York:20050103T100000\r\nRRULE:FREQ=DAILY;UNTIL=20050105T150000Z\r\n").Keys(),
              (QStringList{"2005-01-03 15:00:00", "2005-01-04 15:00:00", "2005-01-05 15:00:00"}));
}

TEST(ICalTimeZones, ZoneBlocksThatWouldNeverEndAreLeftOut)
{
    // A zone block whose changes come every second would have libical work out billions of
    // them: it is left out, and the zone is looked up by its name instead.
    const IcalTest::LocalZone zone("UTC");
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
}

TEST(ICalTimeZones, EveryKnownWindowsDisplayNameFindsAZone)
{
    // A misspelt Windows id in the table would leave its events unplaceable.
    for (const QString& place : ICalTimeZones::DisplayNamePlaces()) {
        EXPECT_TRUE(ICalTimeZones::Find("(UTC+01:00) " + place, nullptr)) << place.toStdString();
        EXPECT_TRUE(ICalTimeZones::Find("(GMT) " + place, nullptr)) << place.toStdString();
    }
    EXPECT_FALSE(ICalTimeZones::Find("(UTC+01:00) Nowhere", nullptr));
    EXPECT_FALSE(ICalTimeZones::Find("../../../etc/passwd", nullptr));
}
