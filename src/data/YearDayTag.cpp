#include "data/YearDayTag.h"
#include "data/EventKey.h"
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
    Date start = day;   // a copy: a Date made empty would read the clock
    for (const auto& [key, record] : EventKey::Days(store, day)) {
        if (!skipKey.isEmpty() && key == skipKey)
            continue;
        if (EventRecord::FitForYearView(key, record, start) != EventRecord::YearViewFit::Shown)
            continue;
        tag += Run(record);
    }
    return tag;
}
