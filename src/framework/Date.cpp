#include "framework/Date.h"
#include <QDateTime>
#include <QRegularExpression>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian civil date (Howard Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                               "August", "September", "October", "November", "December"};
const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

Date::Clock& installedClock()
{
    static Date::Clock current;
    return current;
}

} // namespace

Date::Clock Date::SetClock(Clock clock)
{
    Clock previous = std::move(installedClock());
    installedClock() = std::move(clock);
    return previous;
}

Date::Date()
{
    if (const Clock& fixed = installedClock()) {
        *this = fixed();
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    m_year = now.date().year();
    m_month = now.date().month();
    m_day = now.date().day();
    m_hour = now.time().hour();
    m_minute = now.time().minute();
    m_second = now.time().second();
}

Date::Date(int year, int month, int day, int hour, int minute, int second)
    : m_year(year), m_month(month), m_day(day), m_hour(hour), m_minute(minute), m_second(second)
{
    normalize();
}

void Date::normalize()
{
    // Carry seconds into minutes, minutes into hours, hours into days.
    m_minute += floorDiv(m_second, 60);
    m_second -= floorDiv(m_second, 60) * 60;
    m_hour += floorDiv(m_minute, 60);
    m_minute -= floorDiv(m_minute, 60) * 60;
    int64_t dayCarry = floorDiv(m_hour, 24);
    m_hour -= dayCarry * 24;
    // Months carry into years before the day is placed.
    m_year += floorDiv(m_month - 1, 12);
    m_month -= floorDiv(m_month - 1, 12) * 12;
    const int64_t days = daysFromCivil(m_year, m_month, 1) + (m_day - 1) + dayCarry;
    civilFromDays(days, m_year, m_month, m_day);
}

void Date::SetYear(int v) { m_year = v; normalize(); }
void Date::SetMonth(int v) { m_month = v; normalize(); }
void Date::SetDay(int v) { m_day = v; normalize(); }
void Date::SetHour(int v) { m_hour = v; normalize(); }
void Date::SetMinute(int v) { m_minute = v; normalize(); }
void Date::SetSecond(int v) { m_second = v; normalize(); }

int Date::DayOfWeek() const
{
    const int64_t days = daysFromCivil(m_year, m_month, m_day); // 1970-01-01 was a Thursday
    return int(((days + 4) % 7 + 7) % 7) + 1;
}

int Date::DayOfYear() const
{
    return int(daysFromCivil(m_year, m_month, m_day) - daysFromCivil(m_year, 1, 1)) + 1;
}

int Date::WeekOfYear() const
{
    const int firstWeekday = Date(int(m_year), 1, 1).DayOfWeek();
    return (DayOfYear() - 1 + firstWeekday - 1) / 7 + 1;
}

bool Date::IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int Date::DaysIn(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int Date::DaysInMonth() const { return DaysIn(int(m_year), int(m_month)); }

int64_t Date::TotalSeconds() const
{
    return daysFromCivil(m_year, m_month, m_day) * 86400 + m_hour * 3600 + m_minute * 60 + m_second;
}

void Date::SetTotalSeconds(int64_t seconds)
{
    const int64_t days = floorDiv(seconds, 86400);
    int64_t rest = seconds - days * 86400;
    civilFromDays(days, m_year, m_month, m_day);
    m_hour = rest / 3600;
    rest %= 3600;
    m_minute = rest / 60;
    m_second = rest % 60;
}

QString Date::SQLDate() const
{
    return QString::asprintf("%04d-%02d-%02d", int(m_year), int(m_month), int(m_day));
}

QString Date::SQLDateTime() const
{
    return SQLDate() + QString::asprintf(" %02d:%02d:%02d", int(m_hour), int(m_minute), int(m_second));
}

QString Date::ShortDate() const
{
    return QString::asprintf("%d/%d/%d", int(m_month), int(m_day), int(m_year));
}

QString Date::MonthNameOf(int month)
{
    return month >= 1 && month <= 12 ? QString::fromLatin1(kMonths[month - 1]) : QString();
}

QString Date::WeekdayNameOf(int dayOfWeek)
{
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? QString::fromLatin1(kWeekdays[dayOfWeek - 1]) : QString();
}

QString Date::MonthName() const { return MonthNameOf(int(m_month)); }

QString Date::LongDate() const
{
    return QStringLiteral("%1, %2 %3, %4").arg(WeekdayNameOf(DayOfWeek()), MonthName())
        .arg(m_day).arg(m_year);
}

QString Date::ShortTime() const
{
    const int h12 = m_hour % 12 == 0 ? 12 : int(m_hour % 12);
    return QString::asprintf("%d:%02d %s", h12, int(m_minute), m_hour < 12 ? "AM" : "PM");
}

QString Date::LongTime() const
{
    const int h12 = m_hour % 12 == 0 ? 12 : int(m_hour % 12);
    return QString::asprintf("%d:%02d:%02d %s", h12, int(m_minute), int(m_second),
                             m_hour < 12 ? "AM" : "PM");
}

bool Date::ParseSQLDateTime(const QString& text, Date& out)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?: (\\d{2}):(\\d{2}):(\\d{2}))?$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int y = m.captured(1).toInt(), mo = m.captured(2).toInt(), d = m.captured(3).toInt();
    const int h = m.captured(4).isEmpty() ? 0 : m.captured(4).toInt();
    const int mi = m.captured(5).isEmpty() ? 0 : m.captured(5).toInt();
    const int s = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
    if (mo < 1 || mo > 12 || d < 1 || d > DaysIn(y, mo) || h > 23 || mi > 59 || s > 59)
        return false;
    out = Date(y, mo, d, h, mi, s);
    return true;
}

bool Date::SetSQLDateTime(const QString& text) { return ParseSQLDateTime(text, *this); }

bool Date::SetSQLDate(const QString& text)
{
    Date parsed;
    if (text.size() != 10 || !ParseSQLDateTime(text, parsed))
        return false;
    parsed.m_hour = m_hour;
    parsed.m_minute = m_minute;
    parsed.m_second = m_second;
    *this = parsed;
    return true;
}

bool Date::ParseDate(const QString& text, Date& out)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return ParseSQLDateTime(text.trimmed(), out);
    const int mo = m.captured(1).toInt(), d = m.captured(2).toInt(), y = m.captured(3).toInt();
    if (mo < 1 || mo > 12 || d < 1 || d > DaysIn(y, mo))
        return false;
    out = Date(y, mo, d);
    return true;
}
