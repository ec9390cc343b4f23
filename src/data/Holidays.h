#pragma once
#include <QPair>
#include <QString>
#include <QVector>

class Dictionary;

// The eight holidays generated for each of the calendar's three years, stored under
// 00:00:00 of their day with the value key + "//" + name.
class Holidays
{
public:
    using Entry = QPair<QString, QString>;   // key, value

    // The eight entries of one year, in their fixed order.
    static QVector<Entry> ForYear(int year);
    // Stores the holidays of firstYear to firstYear + 2 into store (24 entries).
    static void Load(Dictionary& store, int firstYear);
};
