#include "glance/YearDayTag.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"

QString YearDayTag::Run(const QString& record)
{
    return EventRecord::Separator + EventRecord::Title(record) + EventRecord::Separator + EventRecord::Kind(record);
}

QString YearDayTag::Build(const Dictionary& store, const Date& day, const QString& skipKey)
{
    QString tag = day.ShortDate();
    // Keys sort chronologically: the day's entries stand together from its date on.
    const QString prefix = day.SQLDate() + QLatin1Char(' ');
    const auto& entries = store.Entries();
    for (auto it = entries.lowerBound(prefix); it != entries.cend() && it.key().startsWith(prefix); ++it) {
        if (!skipKey.isEmpty() && it.key() == skipKey)
            continue;
        Date start;
        if (EventRecord::FitForYearView(it.key(), it.value(), start) != EventRecord::YearViewFit::Shown)
            continue;
        tag += Run(it.value());
    }
    return tag;
}
