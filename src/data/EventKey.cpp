#include "data/EventKey.h"
#include "framework/Date.h"

namespace {

// Keys have four-digit years: past year 9999 the bound is the end of every key of year 9999.
QString yearBound(int year)
{
    return year > 9999 ? QStringLiteral("9999") + QChar(0xFFFF) : QString::asprintf("%04d", year);
}

} // namespace

Dictionary::Span EventKey::Days(const Dictionary& store, const Date& first, int days)
{
    const Date end(first.Year(), first.Month(), first.Day() + days);
    const QString upper = end.Year() > 9999 ? yearBound(end.Year()) : end.SQLDate();
    return store.Range(first.SQLDate(), upper);
}

Dictionary::Span EventKey::Years(const Dictionary& store, int firstYear, int years)
{
    return store.Range(yearBound(firstYear), yearBound(firstYear + years));
}
