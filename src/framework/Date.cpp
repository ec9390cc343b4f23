#include "framework/Date.h"
#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <ctime>

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
    // The clock is read on every call; the time zone's rules (a file check, which costs
    // more than all the rest) at most once a second. Many dates start as "now" only to be
    // set right afterwards, some once per event.
    static std::atomic<int64_t> zoneCheckedAt{-1};
    timespec coarse{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &coarse);
    if (zoneCheckedAt.exchange(coarse.tv_sec) != coarse.tv_sec)
        tzset();
    // The wall clock at full resolution, as QDateTime reads it: time() reads a coarse copy
    // that can still show the previous second for a few milliseconds after a second turns.
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    const time_t now = wall.tv_sec;
    tm local{};
    localtime_r(&now, &local);
    m_year = local.tm_year + 1900;
    m_month = local.tm_mon + 1;
    m_day = local.tm_mday;
    m_hour = local.tm_hour;
    m_minute = local.tm_min;
    m_second = std::min(local.tm_sec, 59);   // a leap second reads as the second before it
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
    // Asked once per event by the year view: day counts only, no date made for 1 January.
    const int64_t january1 = daysFromCivil(m_year, 1, 1);
    const int firstWeekday = int(((january1 + 4) % 7 + 7) % 7) + 1;
    return int(daysFromCivil(m_year, m_month, m_day) - january1 + firstWeekday - 1) / 7 + 1;
}

int64_t Date::DaysFromCivil(int64_t year, int month, int day) { return daysFromCivil(year, month, day); }

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

// The SQL texts are made and read once per event-store entry when a view is built, so they
// are written out digit by digit rather than through a format string or a pattern.
namespace {

void putDigits(QChar*& out, int64_t value, int digits)
{
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        out[i] = QLatin1Char(char('0' + value % 10));
    out += digits;
}

// The number in text[from, from + digits) when every character there is an ASCII digit.
bool readDigits(QStringView text, int from, int digits, int& value)
{
    value = 0;
    for (int i = from; i < from + digits; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

} // namespace

QString Date::SQLDate() const
{
    if (m_year < 0 || m_year > 9999)
        return QString::asprintf("%04d-%02d-%02d", int(m_year), int(m_month), int(m_day));
    QString text(10, Qt::Uninitialized);
    QChar* out = text.data();
    putDigits(out, m_year, 4);
    *out++ = QLatin1Char('-');
    putDigits(out, m_month, 2);
    *out++ = QLatin1Char('-');
    putDigits(out, m_day, 2);
    return text;
}

QString Date::SQLDateTime() const
{
    if (m_year < 0 || m_year > 9999)
        return SQLDate() + QString::asprintf(" %02d:%02d:%02d", int(m_hour), int(m_minute), int(m_second));
    QString text(19, Qt::Uninitialized);
    QChar* out = text.data();
    putDigits(out, m_year, 4);
    *out++ = QLatin1Char('-');
    putDigits(out, m_month, 2);
    *out++ = QLatin1Char('-');
    putDigits(out, m_day, 2);
    *out++ = QLatin1Char(' ');
    putDigits(out, m_hour, 2);
    *out++ = QLatin1Char(':');
    putDigits(out, m_minute, 2);
    *out++ = QLatin1Char(':');
    putDigits(out, m_second, 2);
    return text;
}

QString Date::ShortDate() const
{
    // Written directly for four-digit years: the year view makes one per day cell.
    if (m_year < 1000 || m_year > 9999)
        return QString::asprintf("%d/%d/%d", int(m_month), int(m_day), int(m_year));
    QChar text[10];
    QChar* out = text;
    putDigits(out, m_month, m_month >= 10 ? 2 : 1);
    *out++ = QLatin1Char('/');
    putDigits(out, m_day, m_day >= 10 ? 2 : 1);
    *out++ = QLatin1Char('/');
    putDigits(out, m_year, 4);
    return QString(text, out - text);
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

bool Date::ParseSQLDateTime(QStringView text, Date& out)
{
    // "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss", ASCII digits, nothing before or after.
    if (text.size() != 10 && text.size() != 19)
        return false;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!readDigits(text, 0, 4, y) || text[4] != QLatin1Char('-') || !readDigits(text, 5, 2, mo)
        || text[7] != QLatin1Char('-') || !readDigits(text, 8, 2, d))
        return false;
    if (text.size() == 19
        && (text[10] != QLatin1Char(' ') || !readDigits(text, 11, 2, h) || text[13] != QLatin1Char(':')
            || !readDigits(text, 14, 2, mi) || text[16] != QLatin1Char(':') || !readDigits(text, 17, 2, s)))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > DaysIn(y, mo) || h > 23 || mi > 59 || s > 59)
        return false;
    // Every field is in range: nothing to carry (the views parse a date or two per entry).
    out.m_year = y;
    out.m_month = mo;
    out.m_day = d;
    out.m_hour = h;
    out.m_minute = mi;
    out.m_second = s;
    return true;
}

bool Date::SetSQLDateTime(const QString& text) { return ParseSQLDateTime(text, *this); }

bool Date::SetSQLDate(const QString& text)
{
    Date parsed(2000, 1, 1);   // set by the parse; reading the clock here would be wasted
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
