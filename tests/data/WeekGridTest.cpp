// The week grid's tags computed from the store, without the list control.
#include "RandomStore.h"
#include "data/EventRecord.h"
#include "data/SlotTag.h"
#include "data/WeekGrid.h"
#include "framework/Dictionary.h"
#include <gtest/gtest.h>

namespace {

constexpr int StartHour = 8;

// The non-empty tags of a fill as "row,column=tag" lines.
QStringList tagged(const WeekGrid::Fill& fill)
{
    QStringList out;
    for (int row = 0; row < WeekGrid::SlotRows; ++row)
        for (int column = 0; column < WeekGrid::ColumnCount; ++column)
            if (!fill.Tag(row, column).isEmpty())
                out << QStringLiteral("%1,%2=%3").arg(row).arg(column).arg(fill.Tag(row, column));
    return out;
}

} // namespace

TEST(WeekGrid, SpansOfEventsOfDifferentLengths)
{
    // The week of Wednesday 8 June 2005: Sunday 5 June to Saturday 11 June.
    struct Case { const char* name; const char* key; const char* end; QStringList tags; };
    const Case cases[] = {
        {"empty store", nullptr, nullptr, {}},
        {"30 minutes, Sunday 08:00", "2005-06-05 08:00:00", "2005-06-05 08:30:00",
         {"0,1=2005-06-05 08:00:00|4"}},
        {"60 minutes", "2005-06-07 09:30:00", "2005-06-07 10:30:00",
         {"3,3=2005-06-07 09:30:00|1", "4,3=2005-06-07 09:30:00|3"}},
        {"90 minutes, Monday 09:00", "2005-06-06 09:00:00", "2005-06-06 10:30:00",
         {"2,2=2005-06-06 09:00:00|1", "3,2=2005-06-06 09:00:00|2", "4,2=2005-06-06 09:00:00|3"}},
        {"last slot, Saturday", "2005-06-11 20:00:00", "2005-06-11 21:00:00",
         {"24,7=2005-06-11 20:00:00|1", "25,7=2005-06-11 20:00:00|3"}},
        {"45 minutes touch two cells", "2005-06-08 12:00:00", "2005-06-08 12:45:00",
         {"8,4=2005-06-08 12:00:00|1", "9,4=2005-06-08 12:00:00|3"}},
        {"10 minutes", "2005-06-08 12:00:00", "2005-06-08 12:10:00", {"8,4=2005-06-08 12:00:00|4"}},
        {"all-day note", "2005-06-08 00:00:01", "2005-06-08 00:00:01", {}},
        {"holiday", "2005-06-08 00:00:00", "2005-06-08 00:00:00", {}},
        {"off the half hour", "2005-06-08 08:15:00", "2005-06-08 09:15:00", {}},
        {"before the first slot", "2005-06-08 07:30:00", "2005-06-08 08:30:00", {}},
        {"end before start", "2005-06-08 09:00:00", "2005-06-08 08:00:00", {}},
        {"another week", "2005-06-12 09:00:00", "2005-06-12 10:00:00", {}},
    };
    for (const Case& c : cases) {
        Dictionary store;
        if (c.key)
            store.SetValue(c.key, QString(c.end) + "//Title");
        const Dictionary before = store;
        const WeekGrid::Fill fill = WeekGrid::Compute(store, Date(2005, 6, 8, 15, 0, 0), StartHour);
        EXPECT_EQ(tagged(fill), c.tags) << c.name;
        EXPECT_TRUE(fill.messages.isEmpty()) << c.name;
        EXPECT_EQ(store.Entries(), before.Entries()) << c.name;
    }
}

TEST(WeekGrid, WeekAcrossTheYearEndFromASaturday)
{
    Dictionary store;
    store.SetValue("2004-12-26 08:00:00", "2004-12-26 08:30:00//Sunday");
    store.SetValue("2005-01-01 08:00:00", "2005-01-01 08:30:00//Saturday");
    const WeekGrid::Fill fill = WeekGrid::Compute(store, Date(2005, 1, 1, 0, 0, 1), StartHour);
    EXPECT_EQ(fill.sunday, Date(2004, 12, 26));
    EXPECT_EQ(tagged(fill), (QStringList{"0,1=2004-12-26 08:00:00|4", "0,7=2005-01-01 08:00:00|4"}));
}

TEST(WeekGrid, OverlappingEventsMarkOnlyTheFirst)
{
    Dictionary store;
    store.SetValue("2005-06-07 09:00:00", "2005-06-07 10:30:00//First");
    store.SetValue("2005-06-07 09:30:00", "2005-06-07 10:00:00//Inside");
    store.SetValue("2005-06-07 10:30:00", "2005-06-07 11:00:00//After");
    const WeekGrid::Fill fill = WeekGrid::Compute(store, Date(2005, 6, 7), StartHour);
    EXPECT_EQ(tagged(fill), (QStringList{"2,3=2005-06-07 09:00:00|1", "3,3=2005-06-07 09:00:00|2",
                                         "4,3=2005-06-07 09:00:00|3", "5,3=2005-06-07 10:30:00|4"}));
    EXPECT_EQ(store.Count(), 3);
}

TEST(WeekGrid, EventsPastTheLastSlotAreRepairedAndTheFillGoesOn)
{
    Dictionary store;
    store.SetValue("2005-06-06 20:30:00", "2005-06-06 23:00:00//Late");
    store.SetValue("2005-06-07 20:30:00", "2005-06-07 21:30:00//Into the day note row");
    store.SetValue("2005-06-08 14:00:00", "2005-06-09 09:00:00//Overnight//Special");
    store.SetValue("2005-06-09 09:00:00", "garbage//Broken");
    store.SetValue("2005-06-09 10:00:00", "also garbage//Broken too");
    store.SetValue("2005-06-10 08:00:00", "2005-06-10 09:00:00//Fine");
    const WeekGrid::Fill fill = WeekGrid::Compute(store, Date(2005, 6, 8), StartHour);

    EXPECT_EQ(store.Value("2005-06-06 20:30:00"), "2005-06-06 21:00:00//Late");
    EXPECT_EQ(store.Value("2005-06-07 20:30:00"), "2005-06-07 21:00:00//Into the day note row");
    EXPECT_EQ(store.Value("2005-06-08 14:00:00"), "2005-06-08 14:30:00//Overnight//Special");
    EXPECT_EQ(store.Value("2005-06-09 09:00:00"), "garbage//Broken");   // unreadable: left alone
    EXPECT_EQ(tagged(fill), (QStringList{"0,6=2005-06-10 08:00:00|1", "1,6=2005-06-10 08:00:00|3",
                                         "12,4=2005-06-08 14:00:00|4", "25,2=2005-06-06 20:30:00|4",
                                         "25,3=2005-06-07 20:30:00|4"}));
    EXPECT_EQ(fill.messages, (QStringList{
        "The event Late has an invalid ending time - resetting. Please check this event's end time.",
        "The event Into the day note row has an invalid ending time - resetting. Please check this event's end time.",
        "The event Overnight has an invalid ending time - resetting. Please check this event's end time.",
        "an error"}));

    // The next fill finds nothing left to repair.
    const WeekGrid::Fill again = WeekGrid::Compute(store, Date(2005, 6, 8), StartHour);
    EXPECT_EQ(again.messages, QStringList{"an error"});
    EXPECT_EQ(tagged(again), tagged(fill));
}

TEST(WeekGrid, RowsOfStartsAndCellsOfLengths)
{
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 8, 0, 0), StartHour), 0);
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 9, 30, 0), StartHour), 3);
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 20, 30, 0), StartHour), 25);
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 21, 0, 0), StartHour), -1);
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 7, 30, 0), StartHour), -1);
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 9, 15, 0), StartHour), -1);
    EXPECT_EQ(WeekGrid::RowOf(Date(2005, 6, 7, 0, 0, 1), StartHour), -1);
    const std::pair<int, int> lengths[] = {{0, 1}, {30, 1}, {31, 2}, {60, 2}, {61, 3}, {90, 3}, {780, 26}};
    for (const auto& [minutes, cells] : lengths)
        EXPECT_EQ(WeekGrid::CellsFor(minutes), cells) << minutes;
    EXPECT_EQ(WeekGrid::GridEnd(Date(2005, 6, 7, 13, 0, 0), StartHour), Date(2005, 6, 7, 21, 0, 0));
}

TEST(SlotTag, PartsOfATag)
{
    EXPECT_EQ(SlotTag::Make("2005-06-07 09:00:00", SlotTag::Middle), "2005-06-07 09:00:00|2");
    EXPECT_EQ(SlotTag::Start("2005-06-07 09:00:00|3"), "2005-06-07 09:00:00");
    EXPECT_EQ(SlotTag::CodeOf("2005-06-07 09:00:00|3"), SlotTag::Last);
    // Anything without "|" is a free cell, even an old-style own date-time.
    EXPECT_EQ(SlotTag::CodeOf("2005-06-07 09:00:00"), SlotTag::Free);
    EXPECT_EQ(SlotTag::Start("2005-06-07 09:00:00"), "");
    EXPECT_EQ(SlotTag::CodeOf(""), SlotTag::Free);
    EXPECT_EQ(SlotTag::CodeOf("x|9"), SlotTag::Free);
}

namespace {

// The fill as the grid's rule states it, one store look-up per slot: down each day's
// column, an entry under a slot's own date-time with a readable end after its start
// covers its cells (one when it would run past the last slot, and it is repaired); the
// walk goes on after the cells it covers.
WeekGrid::Fill referenceFill(Dictionary& store, const Date& selected, int startHour)
{
    WeekGrid::Fill fill;
    fill.sunday = WeekGrid::WeekSunday(selected);
    bool reported = false;
    for (int column = 1; column < WeekGrid::ColumnCount; ++column) {
        for (int row = 0; row < WeekGrid::SlotRows;) {
            const Date start = WeekGrid::SlotTime(fill.sunday, column, row, startHour);
            const QString key = start.SQLDateTime();
            Date end = start;
            if (!store.HasKey(key)) {
                ++row;
            } else if (!EventRecord::End(store.Value(key), end)) {
                if (!reported)
                    fill.messages << WeekGrid::FillErrorMessage;
                reported = true;
                ++row;
            } else if (!(start < end)) {
                ++row;
            } else {
                const QString record = store.Value(key);
                int cells = WeekGrid::CellsFor(WeekGrid::LengthMinutes(start, end));
                if (row + cells > WeekGrid::SlotRows) {
                    Date repaired = start;
                    repaired.AddSeconds(1800);
                    store.SetValue(key, EventRecord::Make(repaired, EventRecord::Title(record), EventRecord::Kind(record)));
                    fill.messages << WeekGrid::RepairMessage(EventRecord::Title(record));
                    cells = 1;
                }
                for (int i = 0; i < cells; ++i)
                    fill.SetTag(row + i, column, SlotTag::Make(key, SlotTag::CodeFor(i, cells)));
                row += cells;
            }
        }
    }
    return fill;
}

} // namespace

TEST(WeekGrid, EveryWeekOfAFewThousandRandomEntriesFillsAsTheSlotBySlotRule)
{
    for (const int startHour : {8, 0, 6, 14}) {
        Dictionary store = RandomStore(4000, 20250307 + startHour);
        Dictionary reference = store;
        int shown = 0;
        for (Date day(2024, 12, 1); day < Date(2028, 2, 1); day.SetDay(day.Day() + 7)) {
            const WeekGrid::Fill expected = referenceFill(reference, day, startHour);
            const WeekGrid::Fill fill = WeekGrid::Compute(store, day, startHour);
            ASSERT_EQ(tagged(fill), tagged(expected)) << day.SQLDate().toStdString() << " from " << startHour;
            ASSERT_EQ(fill.messages, expected.messages) << day.SQLDate().toStdString() << " from " << startHour;
            shown += tagged(fill).size();
        }
        EXPECT_EQ(store.Entries(), reference.Entries()) << "the same repairs, from " << startHour;
        EXPECT_GT(shown, 1000) << "the random store puts events on the grid";
    }
}
