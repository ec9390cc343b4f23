#pragma once
#include <QString>
#include <cstdint>
#include <libical/ical.h>
#include <map>

// The instances of one VEVENT that may touch a span of time, worked out by libical's
// recurrence iterator: DTSTART itself, every RRULE (all of its parts; several rules add
// up), every RDATE (a date, a date-time or a period), less every EXDATE (a date EXDATE
// removes every instance on that day).
//
// The walk is bounded so that no rule can hang the program: a rule without COUNT is
// clipped to the span and starts near it; a rule with COUNT walks from DTSTART, at most
// MaxSteps steps and MaxSeconds of time per event; rules that repeat more often than hourly are taken only when they have
// no BY parts and repeat at most every half hour, since the calendar's smallest slot is
// half an hour. A rule libical refuses, or one that runs past these bounds, makes the
// whole event unplaceable: Expand then returns false and names the reason.
class ICalRecurrence
{
public:
    static constexpr int MaxSteps = 100000;
    static constexpr int MaxSeconds = 2;

    struct Instance
    {
        icaltimetype start;
        int64_t periodSeconds = -1;   // an RDATE period's own length; -1 for the event's
    };
    // Instances by ICalTimeZones::Seconds of their start, so that each is listed once and
    // in order.
    using Instances = std::map<int64_t, Instance>;

    // event's instances whose start lies from spanStart to spanEnd (both in the frame of
    // dtstart, the event's resolved DTSTART), at most limit per rule.
    static bool Expand(icalcomponent* event, const icaltimetype& dtstart, const icaltimetype& spanStart,
                       const icaltimetype& spanEnd, int limit, Instances& out, QString& why);
};
