#pragma once
#include "framework/Dictionary.h"
#include <QString>

class Date;

// The key of an event-store entry: the entry's start as SQL date-time text,
// "yyyy-MM-dd HH:mm:ss". Such keys sort as they run in time, so the entries of a day, a week
// or a few years stand together in the store and are found as one range of it, in
// O(log n + k) for k entries, whatever else the store holds.
//
// A range holds every key that begins with its days' dates (or its years' numbers), also
// keys that are damaged past that beginning ("2025-03-07x"): readers still check each key.
class EventKey
{
public:
    // The entries of the days [first, first + days), in key order; first's time is ignored.
    static Dictionary::Span Days(const Dictionary& store, const Date& first, int days = 1);
    // The entries of the years [firstYear, firstYear + years), in key order.
    static Dictionary::Span Years(const Dictionary& store, int firstYear, int years);
    // The lowest key of year and of every later year: the bound of Years' range.
    static QString YearBound(int year);
};
