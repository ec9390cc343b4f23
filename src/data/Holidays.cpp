#include "data/Holidays.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"

namespace {

// Day of the nth occurrence of weekday in month (n = -1: the last one).
Date nthWeekday(int year, int month, int weekday, int n)
{
    const Date first(year, month, 1);
    const int firstMatch = 1 + (weekday - first.DayOfWeek() + 7) % 7;
    if (n > 0)
        return Date(year, month, firstMatch + 7 * (n - 1));
    int day = firstMatch;
    while (day + 7 <= first.DaysInMonth())
        day += 7;
    return Date(year, month, day);
}

Holidays::Entry entry(const Date& day, const QString& name)
{
    const QString key = day.SQLDateTime();
    return {key, EventRecord::Make(key, name)};
}

constexpr int Monday = 2;
constexpr int Thursday = 5;

} // namespace

QVector<Holidays::Entry> Holidays::ForYear(int year)
{
    return {
        entry(Date(year, 1, 1), QStringLiteral("New Years")),
        entry(Date(year, 7, 4), QStringLiteral("Independence Day")),
        entry(Date(year, 11, 11), QStringLiteral("Veterans Day")),
        entry(Date(year, 12, 25), QStringLiteral("Christmas")),
        entry(nthWeekday(year, 11, Thursday, 4), QStringLiteral("Thanksgiving")),
        entry(nthWeekday(year, 2, Monday, 3), QStringLiteral("Washington's Day")),
        entry(nthWeekday(year, 5, Monday, -1), QStringLiteral("Memorial Day")),
        entry(nthWeekday(year, 9, Monday, 1), QStringLiteral("Labor Day")),
    };
}

void Holidays::Load(Dictionary& store, int firstYear)
{
    for (int year = firstYear; year <= firstYear + 2; ++year)
        for (const Entry& e : ForYear(year))
            store.SetValue(e.first, e.second);
}
