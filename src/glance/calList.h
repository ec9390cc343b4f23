#pragma once
#include "framework/Date.h"
#include "framework/ListBox.h"
#include <QStringList>
#include <QVector>

// The list control behind the week at a glance's grids: the header strip, the half-hour
// week grid and the two month lists. It fills a month grid or the week grid from the event
// store and adds and removes one event with its grid cells.
//
// It reads App().selectedDate, App().StartTime and App().eventDict.
class calList : public ListBox
{
    Q_OBJECT
public:
    explicit calList(QWidget* parent = nullptr);

    // One hover flag per column; the header strip uses element 0 for its return arrow.
    QVector<bool> MouseEnteredColumn = QVector<bool>(15, false);

    // Fills the list with the month offset months after the selected date's month: row 0
    // empty (its title is painted), row 1 the weekday initials, rows 2 to 7 six weeks from
    // the Sunday on or before the 1st. Days of that month get their number (a blank before
    // 1 to 9) and their short date as tag; with offset 0 the selected day's row is selected.
    void loadMonth(int offset);

    // Refills list (the week grid; this list when none is given) for the week of the
    // selected date: 28 untagged rows, then the tag of every slot cell that a timed event
    // covers. Events that run past the last slot are repaired; every message is shown once
    // the grid is filled. The header strip's day cells are repainted.
    void LoadEvents(ListBox* list = nullptr);

    // Stores the event from the selected date to end named title and tags its cells. An
    // end on another day, an end not after the start (or past the grid's last slot) and a
    // start off the grid are refused with a message and store nothing. An all-day entry
    // (start seconds 1) is stored with its end equal to its start.
    void AddEvent(const Date& end, const QString& title);

    // Removes the entry under the selected date and frees the cells that showed it.
    void RemoveEvent();

    static inline const QString DifferentDayMessage = QStringLiteral(
        "Unable to add event. The start of the event is on a different day than the end of the event!");
    static inline const QString OutOfBoundsMessage = QStringLiteral(
        "Unable to add event. The event ending time is out of bounds.");
    static inline const QString TimeFormatMessage = QStringLiteral(
        "Unable to add event. An incorrect event time format was encountered.\r\rPlease report this problem.");

private:
    // Whether the cells of a start on day are shown by this grid (the week it was last
    // filled for; any week before the first fill).
    bool showsWeekOf(const Date& day) const;
    void setSlotTag(int row, int column, const QString& tag);
    // Frees the slot cells of column from fromRow on whose tag belongs to key.
    void freeCells(int column, int fromRow, const QString& key);

    bool m_filled = false;
    Date m_weekSunday;
};
