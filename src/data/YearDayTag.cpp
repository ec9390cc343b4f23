#include "data/YearDayTag.h"
#include "data/EventKey.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"

QString YearDayTag::Run(const QString& record)
{
    // "//" + field 2 + "//" + field 3 is the record from its first separator up to its third.
    const QString& sep = EventRecord::Separator;
    const qsizetype first = record.indexOf(sep);
    if (first < 0)
        return sep + sep;
    const qsizetype second = record.indexOf(sep, first + sep.size());
    if (second < 0)
        return record.mid(first) + sep;
    const qsizetype third = record.indexOf(sep, second + sep.size());
    return third < 0 ? record.mid(first) : record.mid(first, third - first);
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
