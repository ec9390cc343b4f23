#pragma once
#include <QString>

class Date;
class Dictionary;

// The text of a day's cell in the year view: the day's short date, then "//" + title + "//"
// + kind for each entry of the store on that day, in the store's order. Entries the year
// view cannot show are left out, as when the year view is built: a key that is no SQL
// date-time, an end that cannot be read or that lies before the start.
class YearDayTag
{
public:
    // The tag of day's cell from every entry of store on that day; an entry under skipKey
    // (one about to be removed) is left out.
    static QString Build(const Dictionary& store, const Date& day, const QString& skipKey = QString());
    // The run of one entry: "//" + title + "//" + kind.
    static QString Run(const QString& record);
};
