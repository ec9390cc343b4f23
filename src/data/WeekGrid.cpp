#include "data/WeekGrid.h"
#include "data/EventRecord.h"
#include "data/SlotTag.h"
#include "framework/Dictionary.h"

Date WeekGrid::WeekSunday(const Date& day)
{
    return Date(day.Year(), day.Month(), day.Day() - (day.DayOfWeek() - 1));
}

Date WeekGrid::SlotTime(const Date& sunday, int column, int row, int startHour)
{
    return Date(sunday.Year(), sunday.Month(), sunday.Day() + column - 1, 0,
                startHour * 60 + SlotMinutes * row, 0);
}

int WeekGrid::RowOf(const Date& start, int startHour)
{
    if (start.Second() != 0 || start.Minute() % SlotMinutes != 0)
        return -1;
    const int row = (start.Hour() - startHour) * 2 + start.Minute() / SlotMinutes;
    return row >= 0 && row < SlotRows ? row : -1;
}

Date WeekGrid::GridEnd(const Date& day, int startHour)
{
    return Date(day.Year(), day.Month(), day.Day(), 0, startHour * 60 + SlotMinutes * SlotRows, 0);
}

int64_t WeekGrid::LengthMinutes(const Date& start, const Date& end)
{
    return (end.TotalSeconds() - start.TotalSeconds()) / 60;
}

int WeekGrid::CellsFor(int64_t minutes)
{
    if (minutes <= SlotMinutes)
        return 1;
    const int64_t cells = (minutes + SlotMinutes - 1) / SlotMinutes;
    return cells > RowCount ? RowCount + 1 : int(cells);
}

QString WeekGrid::RepairMessage(const QString& title)
{
    return QStringLiteral("The event ") + title
        + QStringLiteral(" has an invalid ending time - resetting. Please check this event's end time.");
}

WeekGrid::Fill WeekGrid::Compute(Dictionary& store, const Date& selected, int startHour)
{
    Fill fill;
    fill.sunday = WeekSunday(selected);
    bool reportedError = false;
    QVector<QPair<QString, QString>> repairs;   // written after the walk, which they would upset
    QStringList slotKeys;
    for (int column = 1; column < ColumnCount; ++column) {
        // The day's slot keys run in the store's order: one walk over the store's entries
        // from the first slot to the end of the last meets every entry that starts on a slot.
        slotKeys.clear();
        for (int row = 0; row < SlotRows; ++row)
            slotKeys << SlotTime(fill.sunday, column, row, startHour).SQLDateTime();
        const QString gridEnd = SlotTime(fill.sunday, column, SlotRows, startHour).SQLDateTime();
        int row = 0;    // the slot compared with the entry
        int free = 0;   // the first row that no event placed so far covers
        for (const auto& [key, record] : store.Range(slotKeys.first(), gridEnd)) {
            while (row < SlotRows && slotKeys.at(row) < key)
                ++row;
            if (row == SlotRows)
                break;
            // An entry between two slots, or inside an earlier event's span, is not shown.
            if (slotKeys.at(row) != key || row < free)
                continue;
            const Date start = SlotTime(fill.sunday, column, row, startHour);
            Date end = start;
            if (!EventRecord::End(record, end)) {
                if (!reportedError)
                    fill.messages << FillErrorMessage;
                reportedError = true;
                free = row + 1;
                continue;
            }
            if (!(start < end)) {
                free = row + 1;
                continue;
            }
            int cells = CellsFor(LengthMinutes(start, end));
            if (row + cells > SlotRows) {
                // It runs past the last slot (or into another day): it gets one half hour.
                const QString title = EventRecord::Title(record);
                Date repaired = start;
                repaired.AddSeconds(SlotMinutes * 60);
                repairs.append({key, EventRecord::Make(repaired, title, EventRecord::Kind(record))});
                fill.messages << RepairMessage(title);
                cells = 1;
            }
            for (int i = 0; i < cells; ++i)
                fill.SetTag(row + i, column, SlotTag::Make(key, SlotTag::CodeFor(i, cells)));
            free = row + cells;
        }
    }
    for (const auto& [key, record] : repairs)
        store.SetValue(key, record);
    return fill;
}
