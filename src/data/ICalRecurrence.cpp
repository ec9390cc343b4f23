#include "data/ICalRecurrence.h"
#include "data/ICalTimeZones.h"
#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

bool hasByParts(const icalrecurrencetype& rule)
{
    const short* parts[] = {rule.by_second, rule.by_minute, rule.by_hour, rule.by_day, rule.by_month_day,
                            rule.by_year_day, rule.by_week_no, rule.by_month, rule.by_set_pos};
    for (const short* part : parts)
        if (part[0] != ICAL_RECURRENCE_ARRAY_MAX)
            return true;
    return false;
}

bool finerThanDaily(icalrecurrencetype_frequency freq)
{
    return freq == ICAL_SECONDLY_RECURRENCE || freq == ICAL_MINUTELY_RECURRENCE || freq == ICAL_HOURLY_RECURRENCE;
}

int64_t unitSeconds(icalrecurrencetype_frequency freq)
{
    switch (freq) {
    case ICAL_SECONDLY_RECURRENCE: return 1;
    case ICAL_MINUTELY_RECURRENCE: return 60;
    case ICAL_HOURLY_RECURRENCE: return 3600;
    default: return 86400;
    }
}

bool inSpan(int64_t at, const icaltimetype& spanStart, const icaltimetype& spanEnd)
{
    return at >= ICalTimeZones::Seconds(spanStart) && at <= ICalTimeZones::Seconds(spanEnd);
}

// An iterator over rule from dtstart that begins near spanStart. libical can jump ahead for
// daily and coarser rules; its jump loses the phase of an hourly interval, so finer rules
// move DTSTART itself on by whole multiples of the interval in days instead, which keeps
// every later occurrence where it was. A rule with COUNT must count from DTSTART.
icalrecur_iterator* iteratorNear(const icalrecurrencetype& rule, const icaltimetype& dtstart,
                                 const icaltimetype& spanStart)
{
    const int64_t ahead = ICalTimeZones::Seconds(spanStart) - ICalTimeZones::Seconds(dtstart);
    if (rule.count > 0 || ahead <= 0)
        return icalrecur_iterator_new(rule, dtstart);
    if (finerThanDaily(rule.freq)) {
        const int64_t interval = std::max<int64_t>(1, rule.interval);
        const int64_t days = ahead / 86400 / interval * interval;
        icaltimetype moved = dtstart;
        icaltime_adjust(&moved, int(days), 0, 0, 0);
        return icalrecur_iterator_new(rule, moved);
    }
    icalrecur_iterator* it = icalrecur_iterator_new(rule, dtstart);
    if (it)
        icalrecur_iterator_set_start(it, spanStart);
    return it;
}

enum class Walk { Done, Refused, TooLong };

// Adds rule's occurrences within the span to out; at most limit of them.
Walk walkRule(icalrecurrencetype rule, const icaltimetype& dtstart, const icaltimetype& spanStart,
              const icaltimetype& spanEnd, int limit, Clock::time_point deadline, ICalRecurrence::Instances& out)
{
    const int64_t from = ICalTimeZones::Seconds(spanStart), to = ICalTimeZones::Seconds(spanEnd);
    if (rule.until.is_date && !dtstart.is_date && !icaltime_is_null_time(rule.until)) {
        // A date UNTIL on a timed event (a common slip) includes that whole day; libical
        // would end the day before, at its midnight.
        icaltimetype until = dtstart;
        until.year = rule.until.year;
        until.month = rule.until.month;
        until.day = rule.until.day;
        until.hour = 23;
        until.minute = 59;
        until.second = 59;
        rule.until = until;
    }
    if (rule.count <= 0) {
        // Clipping the rule to the span bounds libical's search for a rule no day satisfies.
        if (icaltime_is_null_time(rule.until) || ICalTimeZones::Seconds(rule.until) > to)
            rule.until = spanEnd;
    } else {
        // A counted rule cannot be clipped; first make sure it has an occurrence in the span
        // at all, so that libical never searches centuries for one that does not exist.
        icalrecurrencetype probe = rule;
        probe.count = 0;
        probe.until = spanEnd;
        icalrecur_iterator* it = iteratorNear(probe, dtstart, spanStart);
        if (!it)
            return Walk::Refused;
        bool ended = false, reached = false;
        for (int steps = 0; steps < ICalRecurrence::MaxSteps && Clock::now() < deadline && !ended && !reached; ++steps) {
            const icaltimetype at = icalrecur_iterator_next(it);
            ended = icaltime_is_null_time(at);
            reached = !ended && ICalTimeZones::Seconds(at) >= from;
        }
        icalrecur_iterator_free(it);
        if (ended)
            return Walk::Done;   // no occurrence in the span
        if (!reached)
            return Walk::TooLong;
    }

    icalrecur_iterator* it = iteratorNear(rule, dtstart, spanStart);
    if (!it)
        return Walk::Refused;
    Walk result = Walk::TooLong;
    int found = 0;
    for (int steps = 0; steps < ICalRecurrence::MaxSteps && Clock::now() < deadline; ++steps) {
        icaltimetype at = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(at)) {
            result = Walk::Done;
            break;
        }
        at.zone = dtstart.zone;
        at.is_date = dtstart.is_date;
        const int64_t seconds = ICalTimeZones::Seconds(at);
        if (seconds > to) {
            result = Walk::Done;
            break;
        }
        if (seconds >= from) {
            out.emplace(seconds, ICalRecurrence::Instance{at, -1});
            if (++found >= limit) {
                result = Walk::Done;
                break;
            }
        }
    }
    icalrecur_iterator_free(it);
    return result;
}

} // namespace

bool ICalRecurrence::Expand(icalcomponent* event, const icaltimetype& dtstart, const icaltimetype& spanStart,
                            const icaltimetype& spanEnd, int limit, Instances& out, QString& why)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(MaxSeconds);
    // DTSTART is the first instance even when the rules would not give it.
    if (inSpan(ICalTimeZones::Seconds(dtstart), spanStart, spanEnd))
        out.emplace(ICalTimeZones::Seconds(dtstart), Instance{dtstart, -1});

    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE) {
            why = QStringLiteral("its repeat rule cannot be read");
            return false;
        }
        if ((rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE)
            && (hasByParts(rule) || unitSeconds(rule.freq) * std::max<int64_t>(1, rule.interval) < 1800)) {
            why = QStringLiteral("it repeats more often than every half hour");
            return false;
        }
        switch (walkRule(rule, dtstart, spanStart, spanEnd, limit, deadline, out)) {
        case Walk::Done: break;
        case Walk::Refused: why = QStringLiteral("its repeat rule is refused by libical"); return false;
        case Walk::TooLong: why = QStringLiteral("its repeat rule takes too many steps"); return false;
        }
    }

    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        Instance instance;
        if (!ICalTimeZones::Read(p, event, instance.start, &instance.periodSeconds)) {
            why = QStringLiteral("an extra date (RDATE) cannot be read");
            return false;
        }
        const int64_t seconds = ICalTimeZones::Seconds(instance.start);
        if (inSpan(seconds, spanStart, spanEnd))
            out.emplace(seconds, instance);
    }

    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        icaltimetype ex;
        if (!ICalTimeZones::Read(p, event, ex)) {
            why = QStringLiteral("an excluded date (EXDATE) cannot be read");
            return false;
        }
        if (ex.is_date && !dtstart.is_date) {
            // A date excludes every instance on that day of the event's own calendar.
            for (auto i = out.begin(); i != out.end();) {
                const icaltimetype& s = i->second.start;
                i = s.year == ex.year && s.month == ex.month && s.day == ex.day ? out.erase(i) : std::next(i);
            }
        } else {
            out.erase(ICalTimeZones::Seconds(ICalTimeZones::AsInstanceOf(ex, dtstart)));
        }
    }
    return true;
}
