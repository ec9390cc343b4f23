#include "data/YearDayTag.h"
#include "data/EventKey.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include <algorithm>
#include <future>
#include <thread>
#include <vector>

namespace {

// A month's bounds within the store's keys: the year's own bound before February, the next
// year's after December, so that the months of a year cover exactly its key range.
QString monthBound(int year, int month)
{
    if (month == 1 || month == 13)
        return EventKey::YearBound(month == 1 ? year : year + 1);
    return QString::asprintf("%04d-%02d", year, month);
}

// The tags of the days of one span, in key order.
YearDayTag::Years daysOf(const Dictionary::Span& span, int firstYear)
{
    YearDayTag::Years result;
    QStringView day;   // the date of the day being gathered
    Date start(firstYear, 1, 1);
    for (const auto& [key, record] : span) {
        const auto fit = EventRecord::FitForYearView(key, record, start);
        if (fit != EventRecord::YearViewFit::BadKey && start.Year() < firstYear)
            continue;
        if (fit == EventRecord::YearViewFit::Hidden)
            continue;
        if (fit != EventRecord::YearViewFit::Shown) {
            if (result.problem == EventRecord::YearViewFit::Shown)
                result.problem = fit;
            continue;
        }
        const QStringView date = QStringView(key).left(10);
        if (result.days.isEmpty() || date != day) {
            result.days.append({start, start.ShortDate()});
            day = date;
        }
        YearDayTag::AppendRun(result.days.last().tag, record);
    }
    return result;
}

} // namespace

QString YearDayTag::Run(const QString& record)
{
    QString run;
    AppendRun(run, record);
    return run;
}

void YearDayTag::AppendRun(QString& runs, const QString& record)
{
    // "//" + field 2 + "//" + field 3 is the record from its first separator up to its third.
    const QString& sep = EventRecord::Separator;
    const qsizetype first = EventRecord::FindSeparator(record);
    if (first < 0) {
        runs += sep;
        runs += sep;
        return;
    }
    const qsizetype second = EventRecord::FindSeparator(record, first + sep.size());
    if (second < 0) {
        runs += QStringView(record).mid(first);
        runs += sep;
        return;
    }
    const qsizetype third = EventRecord::FindSeparator(record, second + sep.size());
    runs += third < 0 ? QStringView(record).mid(first) : QStringView(record).mid(first, third - first);
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
        AppendRun(tag, record);
    }
    return tag;
}

YearDayTag::Years YearDayTag::BuildYears(const Dictionary& store, int firstYear, int years)
{
    // Months hold whole days, so the threads' parts join without a seam.
    QVector<QPair<QString, QString>> months;
    for (int year = firstYear; year < firstYear + years; ++year)
        for (int month = 1; month <= 12; ++month)
            months.append({monthBound(year, month), monthBound(year, month + 1)});
    // A thread for every 12,000 entries or so, at most 8 and one core fewer than the machine
    // has (as for the events file's readers: the window is made beside them): a thread that
    // gathers less costs more to start, and keeps more memory, than it saves.
    const qsizetype spareCores = qsizetype(std::max(1u, std::thread::hardware_concurrency())) - 1;
    const int threads = int(std::clamp<qsizetype>(std::min<qsizetype>(spareCores, store.Count() / 12000), 1,
                                                  std::min<qsizetype>(8, months.size())));
    std::vector<std::future<std::vector<Years>>> parts;
    for (int t = 0; t < threads; ++t) {
        const qsizetype from = months.size() * t / threads, to = months.size() * (t + 1) / threads;
        const auto work = [&store, &months, from, to, firstYear] {
            std::vector<Years> result;
            for (qsizetype m = from; m < to; ++m)
                result.push_back(daysOf(store.Range(months[m].first, months[m].second), firstYear));
            return result;
        };
        parts.push_back(std::async(t == 0 ? std::launch::deferred : std::launch::async, work));
    }
    Years all;
    for (auto& part : parts) {
        for (Years& month : part.get()) {
            if (all.problem == EventRecord::YearViewFit::Shown)
                all.problem = month.problem;
            all.days += std::move(month.days);
        }
    }
    return all;
}
