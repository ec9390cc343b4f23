// Holidays, the Tervin edition's special events and the season index.
#include "data/EventRecord.h"
#include "data/Holidays.h"
#include "data/Seasons.h"
#include "data/EditionEvents.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include <gtest/gtest.h>

TEST(Holidays, ThreeYearsFrom2005GiveExactlyTheTwentyFourEntries)
{
    Dictionary store;
    Holidays::Load(store, 2005);
    const QStringList expected = {
        "2005-01-01 00:00:00//New Years", "2005-02-21 00:00:00//Washington's Day",
        "2005-05-30 00:00:00//Memorial Day", "2005-07-04 00:00:00//Independence Day",
        "2005-09-05 00:00:00//Labor Day", "2005-11-11 00:00:00//Veterans Day",
        "2005-11-24 00:00:00//Thanksgiving", "2005-12-25 00:00:00//Christmas",
        "2006-01-01 00:00:00//New Years", "2006-02-20 00:00:00//Washington's Day",
        "2006-05-29 00:00:00//Memorial Day", "2006-07-04 00:00:00//Independence Day",
        "2006-09-04 00:00:00//Labor Day", "2006-11-11 00:00:00//Veterans Day",
        "2006-11-23 00:00:00//Thanksgiving", "2006-12-25 00:00:00//Christmas",
        "2007-01-01 00:00:00//New Years", "2007-02-19 00:00:00//Washington's Day",
        "2007-05-28 00:00:00//Memorial Day", "2007-07-04 00:00:00//Independence Day",
        "2007-09-03 00:00:00//Labor Day", "2007-11-11 00:00:00//Veterans Day",
        "2007-11-22 00:00:00//Thanksgiving", "2007-12-25 00:00:00//Christmas",
    };
    ASSERT_EQ(store.Count(), 24);
    // The store walks in key order: chronological.
    EXPECT_EQ(store.Entries().values(), expected);
    for (const auto& [key, value] : store.Range("2005", "2008")) {
        EXPECT_EQ(key, EventRecord::EndText(value));
        EXPECT_EQ(EventRecord::Kind(value), QString());
    }
    EXPECT_EQ(store.Value("2005-11-24 00:00:00"), "2005-11-24 00:00:00//Thanksgiving");
}

TEST(Holidays, MovingHolidaysOfOtherYearsFallOnTheirRule)
{
    struct Case { int year; const char* thanksgiving; const char* washington; const char* memorial; const char* labor; };
    const Case cases[] = {
        {2008, "2008-11-27", "2008-02-18", "2008-05-26", "2008-09-01"},
        {2010, "2010-11-25", "2010-02-15", "2010-05-31", "2010-09-06"},
    };
    for (const Case& c : cases) {
        const auto year = Holidays::ForYear(c.year);
        ASSERT_EQ(year.size(), 8);
        EXPECT_EQ(year.at(4).first, QString(c.thanksgiving) + " 00:00:00") << c.year;
        EXPECT_EQ(year.at(5).first, QString(c.washington) + " 00:00:00") << c.year;
        EXPECT_EQ(year.at(6).first, QString(c.memorial) + " 00:00:00") << c.year;
        EXPECT_EQ(year.at(7).first, QString(c.labor) + " 00:00:00") << c.year;
    }
}

TEST(Holidays, ReplaceEntriesUnderTheirKeysAndLeaveOthers)
{
    Dictionary store;
    store.SetValue("2005-12-25 00:00:00", "old");
    store.SetValue("2005-12-25 00:00:01", "2005-12-25 00:00:01//Note");
    Holidays::Load(store, 2005);
    EXPECT_EQ(store.Count(), 25);
    EXPECT_EQ(store.Value("2005-12-25 00:00:00"), "2005-12-25 00:00:00//Christmas");
    EXPECT_EQ(store.Value("2005-12-25 00:00:01"), "2005-12-25 00:00:01//Note");
}

TEST(EditionEvents, TervinEditionAddsTheThirteenRaceDays)
{
    Dictionary store;
    EditionEvents::Load(store, "Lumora tervin Racing");   // the word anywhere, any case
    ASSERT_EQ(store.Count(), 13);
    EXPECT_EQ(store.Value("2005-06-05 00:00:00"), "2005-06-05 00:00:00//Dover Speedway//Special");
    EXPECT_EQ(store.Value("2005-07-24 00:00:00"), "2005-07-24 00:00:00//Pocono Raceway//Special");
    EXPECT_EQ(store.Value("2005-09-18 00:00:00"), "2005-09-18 00:00:00//New Hampshire Speedway//Special");
    for (const QString& value : store.Entries())
        EXPECT_EQ(EventRecord::Kind(value), "Special");
}

TEST(EditionEvents, OtherEditionsRemoveTheirKeysOnly)
{
    Dictionary store;
    Holidays::Load(store, 2005);
    EditionEvents::Load(store, "Tervin");
    EXPECT_EQ(store.Count(), 24 + 13);   // no race day is a holiday
    EditionEvents::Load(store, "Lumora Pellion");
    EXPECT_EQ(store.Count(), 24);
    EXPECT_FALSE(store.HasKey("2005-06-05 00:00:00"));
    EditionEvents::Load(store, QString());
    EXPECT_EQ(store.Count(), 24);
}

TEST(Seasons, BoundaryDaysAndTheTurnOfTheYear)
{
    struct Case { int month, day, season; };
    const Case cases[] = {
        {3, 19, 3}, {3, 20, 0}, {6, 20, 0}, {6, 21, 1}, {9, 21, 1}, {9, 22, 2},
        {12, 20, 2}, {12, 21, 3}, {12, 31, 3}, {1, 1, 3}, {2, 29, 3}, {7, 15, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Seasons::Index(Date(2008, c.month, c.day)), c.season) << c.month << "/" << c.day;
        // Neither the year nor the time of day matters.
        EXPECT_EQ(Seasons::Index(Date(2005 + c.day % 3, c.month, c.month == 2 ? 28 : c.day, 23, 59, 59)),
                  c.month == 2 ? 3 : c.season);
    }
}
