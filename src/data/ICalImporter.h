#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Dictionary;
class Date;
typedef struct icalcomponent_impl icalcomponent;
struct icaltimetype;

// Reads events from iCalendar (".ics") text into the event store.
//
// The text is read with libical: folded lines, quoted parameters, escaped text, time zones
// and recurrence (see ICalTimeZones and ICalRecurrence). Every VEVENT of every calendar
// in the text is placed on the user's local clock:
// - a timed event that starts and ends on one day becomes one entry under its start with
//   the minutes rounded down to the half hour; its value is the end, rounded up to the half
//   hour and at least half an hour after the start, "//" and the SUMMARY ("New Event"
//   when it has none);
// - an event that starts at midnight (after that rounding) is keyed at 00:00:01 of its day,
//   its value unchanged, since 00:00:00 is the key of the day's holiday or countdown record;
// - a date event, and a timed event that runs into a later day, becomes one all-day entry
//   (00:00:01, its value ending at that same time) for each day it covers; DTEND is
//   exclusive, an end at midnight covers no part of its day.
// Each instance of a repeating event is placed that way; an instance replaced through
// RECURRENCE-ID is placed as its replacement says; a cancelled event or instance
// (STATUS:CANCELLED) is left out.
// Only days of the calendar's three years are stored, at most MaxOccurrences entries per
// event. An entry never replaces one already in the store (a holiday, the countdown, the
// user's own event, an earlier import): it is skipped and counted in Taken(). An event that
// cannot be placed (no readable start, a zone nobody knows, a rule that cannot be walked)
// is skipped whole, counted in Skipped() and named on stderr; nothing is stored for it on a
// guessed date.
class ICalImporter
{
public:
    // The fields of the last event read, as app.evarray holds them: 1 DTSTART, 2 DTEND,
    // 3 SUMMARY, 4 FREQ, 5 COUNT (index 0 unused).
    enum Field { Start = 1, End = 2, Title = 3, Frequency = 4, Count = 5, FieldCount = 6 };
    static constexpr int MaxOccurrences = 1000;

    // Entries go into store; only days of firstYear to firstYear + 2 are stored.
    ICalImporter(Dictionary& store, int firstYear);

    // One line of a file, as read (folded continuation lines may follow it). Lines are
    // gathered until the outermost component (a VCALENDAR, or a bare VEVENT) ends; that
    // component is then read as a whole, because its time zones and replaced instances
    // may come anywhere in it.
    void ExtractLine(const QString& line);
    // Reads what ExtractLine has gathered and not yet read; returns how many entries were
    // stored.
    int FillEvent();
    // A whole text, LF, CRLF or CR line ends: every calendar in it is read.
    void ImportText(const QString& text);
    // The same for the bytes of a file (UTF-8, a byte order mark allowed): folded lines are
    // joined before the bytes are decoded, since a fold may fall inside a character.
    void ImportBytes(const QByteArray& bytes);
    // Every readable file of folder whose name contains ".ics", in name order; returns how
    // many entries were stored.
    int ImportFolder(const QString& folder);

    const QStringList& Fields() const { return m_fields; }
    int Stored() const { return m_stored; }
    int Taken() const { return m_taken; }
    int Skipped() const { return m_skipped; }

private:
    void importComponent(icalcomponent* root);
    void importEvent(icalcomponent* event, icalcomponent* master, const QList<icaltimetype>& replaced);
    void placeInstance(const Date& start, const Date& end, bool allDay, const QString& title, int& stored);
    bool storeEntry(const Date& key, const Date& end, const QString& title, int& stored);
    void skip(const QString& why);

    Dictionary& m_store;
    int m_firstYear;
    QStringList m_fields;
    QByteArray m_pending;   // the lines of the component being gathered
    QStringList m_open;     // the names of its components not yet ended, outermost first
    bool m_discarding = false;
    int m_stored = 0;
    int m_taken = 0;
    int m_skipped = 0;
};
