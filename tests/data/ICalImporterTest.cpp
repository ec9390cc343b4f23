// The iCal importer: the events file's format, replaced instances, the entries it never
// replaces, damaged text, and the ways files and lines reach it.
#include "ICalTestSupport.h"
#include "data/Holidays.h"
#include "data/ICalImporter.h"
#include "framework/Dictionary.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using IcalTest::ExpectCases;
using IcalTest::ImportEvent;

TEST(ICalImporter, SingleEventsKeepTheEventsFileFormat)
{
    const IcalTest::LocalZone zone("UTC");
    ExpectCases({
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

    // A zoned event: its instances are named in UTC, or in its zone, or (a slip) floating.
    // 10:00 in New York is 15:00 UTC in January.
    Dictionary zoned;
    ICalImporter again(zoned, 2005);
    const QString moved = "BEGIN:VEVENT\r\nUID:z\r\nRECURRENCE-ID%1\r\nDTSTART;TZID=America/New_York:%2T120000\r\n"
                          "SUMMARY:moved\r\nEND:VEVENT\r\n";
    again.ImportText("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:z\r\nDTSTART;TZID=America/New_York:20050103T100000\r\n"
                     "RRULE:FREQ=WEEKLY;COUNT=4\r\nSUMMARY:z\r\nEND:VEVENT\r\n"
                     + moved.arg(":20050110T150000Z", "20050110") + moved.arg(";TZID=America/New_York:20050117T100000", "20050117")
                     + moved.arg(":20050124T100000", "20050124") + "END:VCALENDAR\r\n");
    EXPECT_EQ(zoned.Keys(), (QStringList{"2005-01-03 15:00:00", "2005-01-10 17:00:00", "2005-01-17 17:00:00",
                                         "2005-01-24 17:00:00"}));
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
    ExpectCases({
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
    const Dictionary stay = ImportEvent("DTSTART:20050601T090000\r\nDTEND:20050831T170000\r\nSUMMARY:Stay\r\n");
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
    // Folds that cut a character in two, after CRLF, LF and CR; a byte order mark first.
    write("split.ics", "\xEF\xBB\xBF" "BEGIN:VEVENT\r\nDTSTART:20050115T080000\r\nSUMMARY:Caf\xC3\r\n \xA9 Z\xC3\n\t\xBC"
                       "rich \xE2\x98\r \x95\r\nEND:VEVENT\r\n");
    write("notes.txt", "BEGIN:VEVENT\nDTSTART:20050114T080000\nEND:VEVENT\n");
    write("binary.ics", QByteArray("BEGIN:VEVENT\0", 13));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ics"));

    Dictionary store;
    ICalImporter importer(store, 2005);
    EXPECT_EQ(importer.ImportFolder(dir.path()), 4);
    EXPECT_EQ(IcalTest::Lines(store), (QStringList{"2005-01-10 08:00:00|2005-01-10 08:30:00//One",
                                                   "2005-01-12 08:00:00|2005-01-12 08:30:00//Two",
                                                   "2005-01-13 08:00:00|2005-01-13 08:30:00//Three",
                                                   "2005-01-15 08:00:00|2005-01-15 08:30:00//Café Zürich ☕"}));
}
