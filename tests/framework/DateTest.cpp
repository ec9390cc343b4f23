#include "framework/Date.h"
#include <QDateTime>
#include <QThread>
#include <ctime>
#include <gtest/gtest.h>

TEST(Date, NowIsTheLocalWallClockAndFollowsTheTimeZone)
{
    // Qt's local time read just before and just after: both read the one wall clock, so the
    // date's second is one of theirs (or lies between them, should the process stall).
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    const QString first = QDateTime::currentDateTime().toString(format);
    const QString date = Date().SQLDateTime();
    const QString last = QDateTime::currentDateTime().toString(format);
    EXPECT_TRUE(date == first || date == last || (first < date && date < last))
        << date.toStdString() << " read between " << first.toStdString() << " and " << last.toStdString();
    // A change of time zone shows within a second.
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "UTC0");
    tzset();
    const Date utc;
    qputenv("TZ", "XYZ-5");   // five hours east of UTC, no daylight saving
    QThread::msleep(1100);
    const Date east;
    if (oldZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldZone);
    tzset();
    const int64_t shift = east.TotalSeconds() - utc.TotalSeconds();
    EXPECT_GE(shift, 5 * 3600);
    EXPECT_LE(shift, 5 * 3600 + 5);
}

TEST(Date, FieldSettersCarryOver)
{
    struct Case { int y, mo, d, h, mi, s; const char* expected; };
    const Case cases[] = {
        {2007, 3, 0, 0, 0, 0, "2007-02-28 00:00:00"},   // day 0 = last day of previous month
        {2008, 3, 0, 0, 0, 0, "2008-02-29 00:00:00"},   // leap year
        {2006, 13, 1, 0, 0, 0, "2007-01-01 00:00:00"},  // month 13 = January next year
        {2006, 0, 15, 0, 0, 0, "2005-12-15 00:00:00"},  // month 0 = December previous year
        {2007, 2, 31, 0, 0, 0, "2007-03-03 00:00:00"},  // 31 January plus one month
        {2007, 1, 32, 0, 0, 0, "2007-02-01 00:00:00"},
        {2007, 1, 1, 8, 60, 0, "2007-01-01 09:00:00"},  // minute 60 = next hour
        {2007, 12, 31, 23, 30, 60, "2007-12-31 23:31:00"},
        {2007, 12, 31, 24, 0, 0, "2008-01-01 00:00:00"},
        {2007, 1, 1, 0, -30, 0, "2006-12-31 23:30:00"},
        {2007, 3, -1, 0, 0, 0, "2007-02-27 00:00:00"},
    };
    for (const Case& c : cases) {
        Date d(c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(d.SQLDateTime().toStdString(), c.expected) << c.y << "-" << c.mo << "-" << c.d;
    }
    Date jan31(2007, 1, 31);
    jan31.SetMonth(2);
    EXPECT_EQ(jan31.SQLDate(), "2007-03-03");
    Date step(2006, 12, 31, 20, 30);
    step.SetMinute(step.Minute() + 30);
    EXPECT_EQ(step.SQLDateTime(), "2006-12-31 21:00:00");
}

TEST(Date, WeekdaysAndWeeks)
{
    EXPECT_EQ(Date(2026, 12, 6).DayOfWeek(), 1);   // a Sunday
    EXPECT_EQ(Date(2026, 12, 12).DayOfWeek(), 7);  // a Saturday
    EXPECT_EQ(Date(1970, 1, 1).DayOfWeek(), 5);    // a Thursday
    EXPECT_EQ(Date(1900, 3, 1).DayOfWeek(), 5);
    EXPECT_EQ(Date(2005, 1, 1).DayOfWeek(), 7);
    EXPECT_EQ(Date(2005, 1, 1).WeekOfYear(), 1);
    EXPECT_EQ(Date(2005, 1, 2).WeekOfYear(), 2);   // the next Sunday starts week 2
    EXPECT_EQ(Date(2007, 1, 7).WeekOfYear(), 2);   // 2007 began on a Monday
    EXPECT_EQ(Date(2007, 1, 6).WeekOfYear(), 1);
    EXPECT_EQ(Date(2008, 12, 31).DayOfYear(), 366);
    EXPECT_EQ(Date(2008, 2, 1).DaysInMonth(), 29);
    EXPECT_EQ(Date(1900, 2, 1).DaysInMonth(), 28);
    EXPECT_EQ(Date(2000, 2, 1).DaysInMonth(), 29);
}

TEST(Date, TotalSecondsIsNaiveWallClock)
{
    Date d(2026, 3, 8, 1, 30);  // a daylight-saving night in many zones
    const auto before = d.TotalSeconds();
    d.AddSeconds(1800);
    EXPECT_EQ(d.SQLDateTime(), "2026-03-08 02:00:00");
    EXPECT_EQ(d.TotalSeconds() - before, 1800);
    Date back;
    back.SetTotalSeconds(Date(1999, 12, 31, 23, 59, 59).TotalSeconds() + 1);
    EXPECT_EQ(back.SQLDateTime(), "2000-01-01 00:00:00");
    Date early(1969, 12, 31, 23, 0, 0);
    Date copy;
    copy.SetTotalSeconds(early.TotalSeconds());
    EXPECT_EQ(copy.SQLDateTime(), "1969-12-31 23:00:00");
}

TEST(Date, TextForms)
{
    const Date d(2007, 3, 4, 13, 5, 9);
    EXPECT_EQ(d.SQLDate(), "2007-03-04");
    EXPECT_EQ(d.SQLDateTime(), "2007-03-04 13:05:09");
    EXPECT_EQ(d.ShortDate(), "3/4/2007");
    // Month and day without leading zeros, the year as it is, at every width.
    EXPECT_EQ(Date(2025, 12, 31).ShortDate(), "12/31/2025");
    EXPECT_EQ(Date(2025, 10, 1).ShortDate(), "10/1/2025");
    EXPECT_EQ(Date(1000, 1, 10).ShortDate(), "1/10/1000");
    EXPECT_EQ(Date(9999, 9, 9).ShortDate(), "9/9/9999");
    EXPECT_EQ(Date(999, 2, 3).ShortDate(), "2/3/999");
    EXPECT_EQ(Date(10000, 2, 3).ShortDate(), "2/3/10000");
    EXPECT_EQ(d.LongDate(), "Sunday, March 4, 2007");
    EXPECT_EQ(d.ShortTime(), "1:05 PM");
    EXPECT_EQ(Date(2007, 3, 4, 0, 30).ShortTime(), "12:30 AM");
    EXPECT_EQ(Date(2007, 3, 4, 12, 0).ShortTime(), "12:00 PM");
}

TEST(Date, StrictSQLParsing)
{
    struct Case { const char* text; bool ok; const char* expected; };
    const Case cases[] = {
        {"2005-11-24 00:00:00", true, "2005-11-24 00:00:00"},
        {"2005-11-24 09:30:00", true, "2005-11-24 09:30:00"},
        {"2005-11-24", true, "2005-11-24 00:00:00"},
        {"2005-02-29 00:00:00", false, ""},
        {"2005-13-01 00:00:00", false, ""},
        {"2005-11-24 24:00:00", false, ""},
        {"2005-11-24 10:60:00", false, ""},
        {"2005-11-24T10:00:00", false, ""},
        {" 2005-11-24 10:00:00", false, ""},
        {"garbage", false, ""},
        {"", false, ""},
        {"05-11-24 10:00:00", false, ""},
        {"2005-11-24 10:00:00\n", false, ""},
        {"2005-11-24 10:00", false, ""},
        {"2005-11-24 10:00:00x", false, ""},
        {"2005/11/24 10:00:00", false, ""},
        {"2005-11-2x 10:00:00", false, ""},
        {"0999-01-01 00:00:00", true, "0999-01-01 00:00:00"},
        {"2004-02-29 23:59:59", true, "2004-02-29 23:59:59"},
        {"2005-11-2a 10:00:00", false, ""},
        {"2005-11-24 1:00:000", false, ""},
        {"2005+11-24", false, ""},
        {"0001-01-01 00:00:59", true, "0001-01-01 00:00:59"},
        {"9999-12-31 23:59:59", true, "9999-12-31 23:59:59"},
    };
    for (const Case& c : cases) {
        Date d(2000, 1, 1, 7, 8, 9);   // a date alone sets the time to midnight
        EXPECT_EQ(Date::ParseSQLDateTime(QString::fromLatin1(c.text), d), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(d.SQLDateTime().toStdString(), c.expected);
        else
            EXPECT_EQ(d.SQLDateTime(), "2000-01-01 07:08:09") << "unchanged on failure: " << c.text;
    }
    // Digits of other scripts are no digits of a key.
    Date other(2000, 1, 1);
    EXPECT_FALSE(Date::ParseSQLDateTime(QString::fromUtf8("\u0662005-11-24"), other));
    // Years outside four digits are written as before.
    EXPECT_EQ(Date(12345, 1, 2, 3, 4, 5).SQLDateTime(), "12345-01-02 03:04:05");
    EXPECT_EQ(Date(-5, 1, 2).SQLDate(), "-005-01-02");
    Date shortForm;
    ASSERT_TRUE(Date::ParseDate(QStringLiteral("12/31/2006"), shortForm));
    EXPECT_EQ(shortForm.SQLDate(), "2006-12-31");
    EXPECT_FALSE(Date::ParseDate(QStringLiteral("2/30/2006"), shortForm));
    EXPECT_FALSE(Date::ParseDate(QString(), shortForm));
    // Every short date the program writes reads back.
    for (Date d(2005, 1, 1); d.Year() < 2008; d.SetDay(d.Day() + 1)) {
        Date again;
        ASSERT_TRUE(Date::ParseDate(d.ShortDate(), again));
        ASSERT_EQ(again.SQLDate(), d.SQLDate());
    }
}
