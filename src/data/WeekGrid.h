#pragma once
#include "framework/Date.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

class Dictionary;

// The arithmetic of the week at a glance's grid, apart from the list control that shows
// it: 28 rows (0 to 25 half-hour slots from the start hour, 26 "Day Note", 27 "Holiday")
// and 8 columns (0 the time labels, 1 to 7 Sunday to Saturday).
class WeekGrid
{
public:
    static constexpr int SlotRows = 26;
    static constexpr int DayNoteRow = 26;
    static constexpr int HolidayRow = 27;
    static constexpr int RowCount = 28;
    static constexpr int ColumnCount = 8;
    static constexpr int SlotMinutes = 30;

    // The Sunday on or before day, at 00:00:00.
    static Date WeekSunday(const Date& day);
    // The start of row (0 to 25) in column (1 to 7) of the week that begins on sunday.
    static Date SlotTime(const Date& sunday, int column, int row, int startHour);
    // The row of a timed start, or -1 when the start is no slot time of the grid.
    static int RowOf(const Date& start, int startHour);
    // The end of the grid's last slot on the day of day (start hour + 13 hours).
    static Date GridEnd(const Date& day, int startHour);
    // Whole minutes from start to end.
    static int64_t LengthMinutes(const Date& start, const Date& end);
    // Cells an event of that length covers: at least one, and a partial half hour takes
    // the cell it touches.
    static int CellsFor(int64_t minutes);

    // The text of the repair message for an event that does not fit the grid.
    static QString RepairMessage(const QString& title);
    static inline const QString FillErrorMessage = QStringLiteral("an error");

    // The tags of one week's slot cells and what the fill has to report.
    struct Fill {
        Date sunday;
        QVector<QString> tags = QVector<QString>(SlotRows * ColumnCount);
        QStringList messages;      // to show once the fill is done
        QString Tag(int row, int column) const { return tags.at(row * ColumnCount + column); }
        void SetTag(int row, int column, const QString& tag) { tags[row * ColumnCount + column] = tag; }
    };

    // Marks every cell of the week of selected that a timed entry of store covers. An entry
    // that would run past the last slot row is repaired in store (its end becomes start +
    // 30 minutes) and reported; an entry whose end cannot be read is skipped and reported.
    // Entries that start inside an earlier event's span, or between two slots, are not
    // shown. The store is asked for one range of keys per day: O(log n + k) for k entries.
    static Fill Compute(Dictionary& store, const Date& selected, int startHour);
};
