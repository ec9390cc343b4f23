#pragma once
#include "framework/Date.h"
#include <QString>
#include <QStringList>
#include <cstdint>
#include <libical/ical.h>

// What the times of an iCalendar file mean on the user's clock.
//
// A date-time is floating (no zone: it is already the user's wall clock), UTC ("Z"), or
// tied to a zone by its TZID parameter. A TZID is looked up, in this order, among the
// calendar's own VTIMEZONE blocks, libical's zone names (the system's zone data, so IANA
// names and their old aliases), the same names behind a vendor prefix
// ("/mozilla.org/20050126_1/America/New_York"), Windows zone ids ("Eastern Standard
// Time", through QTimeZone's table) and the common Windows display names
// ("(UTC-05:00) Eastern Time (US & Canada)"). A TZID found nowhere cannot be placed: the
// caller skips the event rather than guess.
//
// Local time is the C library's (the TZ variable or the system zone); call SyncLocalZone
// once before converting so that a changed TZ is seen.
class ICalTimeZones
{
public:
    // Reads the date or date-time value of prop (DTSTART, DTEND, EXDATE, RDATE,
    // RECURRENCE-ID) with its zone attached. An RDATE period gives its start, and its
    // length in periodSeconds when asked (-1 when the value is no period). False when the
    // value is missing, not a real date, or names a zone that cannot be found.
    static bool Read(icalproperty* prop, icalcomponent* event, icaltimetype& out,
                     int64_t* periodSeconds = nullptr);

    // The zone a TZID names (see above), or nullptr.
    static icaltimezone* Find(const QString& tzid, icalcomponent* event);
    // The place lists of the Windows display names Find knows ("Eastern Time (US & Canada)").
    static QStringList DisplayNamePlaces();

    // Seconds that order time values: since 1970 in UTC for zoned and UTC times; floating
    // times and dates count their wall-clock fields as if they were UTC.
    static int64_t Seconds(const icaltimetype& t);
    // Whether t is tied to a point in time (UTC or a zone) rather than a wall clock.
    static bool IsAbsolute(const icaltimetype& t);
    // t, a time that names an instance of an event starting at dtstart (EXDATE,
    // RECURRENCE-ID); a floating t is read in dtstart's zone, the only reading under which it
    // can name one of its instances.
    static icaltimetype AsInstanceOf(icaltimetype t, const icaltimetype& dtstart);

    // The user's wall-clock time seconds after t (dates and floating times move on the
    // wall clock, absolute times are converted to local time).
    static Date ToLocal(const icaltimetype& t, int64_t seconds = 0);

    static void SyncLocalZone();

    // Removes from calendar (and the calendars inside it) every VTIMEZONE whose changes
    // repeat more often than on some days of each year: libical works out a zone's changes
    // for every year up to 2037 when it first converts a time, which an hourly rule, say,
    // would make endless. Times
    // in a removed zone are then looked up by name like any other. Returns how many went.
    static int DropUnsafeZones(icalcomponent* calendar);
};
