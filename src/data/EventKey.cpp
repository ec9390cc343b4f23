#include "data/EventKey.h"
#include "framework/Date.h"

QString EventKey::YearBound(int year)
{
    // Keys have four-digit years: past year 9999 the bound is the end of every key of year 9999.
    return year > 9999 ? QStringLiteral("9999") + QChar(0xFFFF) : QString::asprintf("%04d", year);
}

Dictionary::Span EventKey::Days(const Dictionary& store, const Date& first, int days)
{
    const Date end(first.Year(), first.Month(), first.Day() + days);
    const QString upper = end.Year() > 9999 ? YearBound(end.Year()) : end.SQLDate();
    return store.Range(first.SQLDate(), upper);
}

Dictionary::Span EventKey::Years(const Dictionary& store, int firstYear, int years)
{
    return store.Range(YearBound(firstYear), YearBound(firstYear + years));
}
