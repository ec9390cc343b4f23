#pragma once
#include "data/EventRecord.h"
#include "framework/Date.h"
#include <QString>
#include <QVector>

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
    // Appends the run of record to runs.
    static void AppendRun(QString& runs, const QString& record);

    // The tag of every day of some years that has entries to show, in key order, and what
    // was wrong with the first entry in key order that could not be shown.
    struct Years {
        struct Day {
            Date date;    // the day (the time of its first shown entry)
            QString tag;  // its short date, then the runs of its shown entries in key order
        };
        QVector<Day> days;
        EventRecord::YearViewFit problem = EventRecord::YearViewFit::Shown;
    };
    // The days' tags of the years [firstYear, firstYear + years) of store: the year view
    // takes them as they are. The months are walked by several threads at once: nothing may
    // change store meanwhile.
    static Years BuildYears(const Dictionary& store, int firstYear, int years);
};
