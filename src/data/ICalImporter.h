#pragma once
#include "framework/Date.h"
#include <QString>
#include <QStringList>

class Dictionary;

// Reads events from iCalendar (".ics") text into the event store.
//
// Each event becomes ordinary store entries: a timed event is stored under its start
// (minutes rounded down to the half hour) with its end (rounded up to the half hour, at
// least half an hour later, on the same day) and its SUMMARY as title; an event whose start
// is a date without a time becomes an all-day entry at 00:00:01. DTEND is exclusive: an
// event without a repeat rule gives one entry for each day it touches before its end. A
// repeat rule steps by day, week, month or year (any other frequency by day) times its
// INTERVAL, honours COUNT and UNTIL, and otherwise repeats to the end of the calendar's years. Only entries within
// the calendar's three years are stored, at most 1000 per event; an event whose start
// cannot be read is skipped.
class ICalImporter
{
public:
    // The working fields of the event being read, by index: 1 DTSTART, 2 DTEND, 3 SUMMARY,
    // 4 FREQ, 5 COUNT, 6 UNTIL, 7 INTERVAL (index 0 unused).
    enum Field { Start = 1, End = 2, Title = 3, Frequency = 4, Count = 5, Until = 6, Interval = 7,
                 FieldCount = 8 };
    static constexpr int MaxOccurrences = 1000;

    // Entries go into store; only days of firstYear to firstYear + 2 are stored.
    ICalImporter(Dictionary& store, int firstYear);

    // One content line (already unfolded). At the end of an event it calls FillEvent.
    void ExtractLine(const QString& line);
    // Turns the current fields into store entries; returns how many were stored.
    int FillEvent();
    // A whole file's text: lines are unfolded and passed to ExtractLine.
    void ImportText(const QString& text);
    // Every readable file of folder whose name contains ".ics"; returns how many entries
    // were stored.
    int ImportFolder(const QString& folder);

    const QStringList& Fields() const { return m_fields; }
    int Stored() const { return m_stored; }

    // An iCalendar date ("YYYYMMDD") or date-time ("YYYYMMDDTHHMMSS", a trailing "Z"
    // allowed). False when it is no valid date; hasTime tells the two forms apart.
    static bool ParseDate(const QString& value, Date& out, bool& hasTime);
    // Undoes the escapes of an iCalendar text value and makes it fit the events file.
    static QString UnescapeText(const QString& value);

private:
    void clearFields();
    void readRule(const QString& rule);
    bool store(const Date& start, const Date& end);

    Dictionary& m_store;
    int m_firstYear;
    QStringList m_fields;
    bool m_inAlarm = false;
    int m_stored = 0;
};
