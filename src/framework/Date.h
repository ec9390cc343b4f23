#pragma once
#include <QString>
#include <cstdint>
#include <functional>

// A local wall-clock date and time in whole seconds.
//
// Field setters carry over into the neighbouring fields: day 0 is the last day of the
// previous month, month 13 is January of the next year, minute 60 is the next hour and
// 31 January with its month set to 2 is 3 March (2 March in a leap year).
// TotalSeconds is naive wall-clock arithmetic: adding 1800 always moves one half-hour
// slot, whatever daylight saving does. Text forms are fixed US English.
class Date
{
public:
    Date();                                   // now, as the clock gives it
    Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    static Date Now() { return Date(); }

    // Where "now" comes from. Unset (the default) it is the system's local time; a test
    // sets a clock to run the program on a day of its choosing. Returns the clock it
    // replaces, so that it can be put back.
    using Clock = std::function<Date()>;
    static Clock SetClock(Clock clock);

    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int Day() const { return m_day; }
    int Hour() const { return m_hour; }
    int Minute() const { return m_minute; }
    int Second() const { return m_second; }

    void SetYear(int v);
    void SetMonth(int v);
    void SetDay(int v);
    void SetHour(int v);
    void SetMinute(int v);
    void SetSecond(int v);

    int DayOfWeek() const;                    // 1 = Sunday ... 7 = Saturday
    int DayOfYear() const;                    // 1 = 1 January
    int WeekOfYear() const;                   // weeks counted from Sunday; the week of 1 January is 1
    int DaysInMonth() const;

    int64_t TotalSeconds() const;
    void SetTotalSeconds(int64_t seconds);
    void AddSeconds(int64_t seconds) { SetTotalSeconds(TotalSeconds() + seconds); }

    QString SQLDate() const;                  // yyyy-MM-dd
    QString SQLDateTime() const;              // yyyy-MM-dd HH:mm:ss
    QString ShortDate() const;                // M/d/yyyy
    QString LongDate() const;                 // Weekday, Month d, yyyy
    QString ShortTime() const;                // h:mm AM
    QString LongTime() const;                 // h:mm:ss AM
    QString MonthName() const;                // January ...

    // Strict parses; on failure they return false and leave the date unchanged.
    bool SetSQLDate(const QString& text);
    bool SetSQLDateTime(const QString& text);  // also accepts a bare SQL date (time 00:00:00)
    static bool ParseSQLDateTime(QStringView text, Date& out);
    // Parses the ShortDate form "M/d/yyyy" (and "yyyy-MM-dd"); false when it is not a date.
    static bool ParseDate(const QString& text, Date& out);

    static QString MonthNameOf(int month);    // 1..12, English
    static QString WeekdayNameOf(int dayOfWeek); // 1 = Sunday, English
    static bool IsLeapYear(int year);
    // Days since 1970-01-01 of a proleptic Gregorian date.
    static int64_t DaysFromCivil(int64_t year, int month, int day);
    static int DaysIn(int year, int month);

    bool operator==(const Date& o) const { return TotalSeconds() == o.TotalSeconds(); }
    bool operator!=(const Date& o) const { return !(*this == o); }
    bool operator<(const Date& o) const { return TotalSeconds() < o.TotalSeconds(); }

private:
    void normalize();
    int64_t m_year = 2000, m_month = 1, m_day = 1, m_hour = 0, m_minute = 0, m_second = 0;
};
