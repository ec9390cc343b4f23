// The list control of the week at a glance: month grids, the week grid's tags and adding
// and removing events, on the application's shared state.
#include "TestSupport.h"
#include "glance/calList.h"
#include "framework/Dictionary.h"
#include "shell/app.h"
#include <QCoreApplication>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Gives every test a clean shared state and restores the application's afterwards.
class CalListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_store = App().eventDict;
        m_selected = App().selectedDate;
        m_startTime = App().StartTime;
        App().eventDict.Clear();
        App().StartTime = 8;
        list.resize(560, 560);
    }
    void TearDown() override
    {
        App().eventDict = m_store;
        App().selectedDate = m_selected;
        App().StartTime = m_startTime;
    }

    // Texts of rows 2 to 7, one string per row, empty cells as ".".
    QStringList monthRows() const
    {
        QStringList rows;
        for (int row = 2; row < 8; ++row) {
            QStringList cells;
            for (int column = 0; column < 7; ++column)
                cells << (list.Cell(row, column).isEmpty() ? QStringLiteral(".") : list.Cell(row, column));
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    // The tags of one column's slot rows, "" for free cells.
    QStringList columnTags(int column) const
    {
        QStringList tags;
        for (int row = 0; row < 26; ++row)
            tags << list.CellTag(row, column);
        return tags;
    }

    // Tags of column for rows first.. given as codes ("1", "4", "" ...), others free.
    static QStringList expectTags(const QString& key, int first, const QStringList& codes)
    {
        QStringList tags(26);
        for (int i = 0; i < codes.size(); ++i)
            if (!codes.at(i).isEmpty())
                tags[first + i] = key + "|" + codes.at(i);
        return tags;
    }

    calList list;
    MessageLog log;

private:
    Dictionary m_store;
    Date m_selected;
    int m_startTime = 0;
};

} // namespace

TEST_F(CalListTest, MonthStartingOnSunday)
{
    App().selectedDate = Date(2009, 2, 14, 10, 30, 0);   // February 2009 begins on a Sunday
    list.loadMonth(0);
    ASSERT_EQ(list.ListCount(), 8);
    EXPECT_EQ(monthRows(), (QStringList{" 1| 2| 3| 4| 5| 6| 7", " 8| 9|10|11|12|13|14", "15|16|17|18|19|20|21",
                                        "22|23|24|25|26|27|28", ".|.|.|.|.|.|.", ".|.|.|.|.|.|."}));
    EXPECT_EQ(list.CellTag(2, 0), "2/1/2009");
    EXPECT_EQ(list.CellTag(5, 6), "2/28/2009");
    EXPECT_EQ(list.ListIndex(), 3);   // the week of the 14th
    QStringList initials;
    for (int column = 0; column < 7; ++column) {
        initials << list.Cell(1, column);
        EXPECT_EQ(list.CellAlignment(1, column), ListBox::AlignCenter);
        EXPECT_EQ(list.CellBorderBottom(1, column), ListBox::BorderThinSolid);
        EXPECT_EQ(list.CellTag(1, column), "");
        EXPECT_EQ(list.Cell(0, column), "");
    }
    EXPECT_EQ(initials.join(","), "S,M,T,W,T,F,S");
    EXPECT_EQ(App().selectedDate, Date(2009, 2, 14, 10, 30, 0));
}

TEST_F(CalListTest, MonthStartingOnSaturdayAsTheNextMonth)
{
    App().selectedDate = Date(2004, 12, 31);   // offset 1: January 2005, which begins on a Saturday
    list.loadMonth(1);
    EXPECT_EQ(monthRows(), (QStringList{".|.|.|.|.|.| 1", " 2| 3| 4| 5| 6| 7| 8", " 9|10|11|12|13|14|15",
                                        "16|17|18|19|20|21|22", "23|24|25|26|27|28|29", "30|31|.|.|.|.|."}));
    EXPECT_EQ(list.CellTag(2, 5), "");   // a day of December: no text, no tag
    EXPECT_EQ(list.CellTag(2, 6), "1/1/2005");
    EXPECT_EQ(list.CellTag(7, 1), "1/31/2005");
    EXPECT_EQ(list.ListIndex(), -1);   // the next month's list selects nothing

    // 31 January, offset 1: February whole; reloading drops the earlier selection.
    App().selectedDate = Date(2005, 1, 31);
    list.loadMonth(0);
    EXPECT_EQ(list.ListIndex(), 7);
    list.loadMonth(1);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.CellTag(6, 1), "2/28/2005");
    EXPECT_EQ(App().selectedDate, Date(2005, 1, 31));
}

TEST_F(CalListTest, WeekGridTagsForThirtySixtyAndNinetyMinutes)
{
    Dictionary& store = App().eventDict;
    store.SetValue("2005-06-05 08:00:00", "2005-06-05 08:30:00//Half hour");
    store.SetValue("2005-06-06 09:00:00", "2005-06-06 10:30:00//Ninety");
    store.SetValue("2005-06-07 10:00:00", "2005-06-07 11:00:00//Hour");
    store.SetValue("2005-06-07 10:30:00", "2005-06-07 11:00:00//Overlapped");
    store.SetValue("2005-06-08 00:00:01", "2005-06-08 00:00:01//Note");
    store.SetValue("2005-06-08 00:00:00", "2005-06-08 00:00:00//Holiday");
    App().selectedDate = Date(2005, 6, 11, 14, 0, 0);   // a Saturday
    list.SetColumnCount(8);
    list.AddRow();
    list.SetCellTag(0, 1, "old");   // any earlier content goes
    list.LoadEvents(&list);

    ASSERT_EQ(list.ListCount(), 28);
    EXPECT_EQ(list.DefaultRowHeight(), 20);
    EXPECT_EQ(columnTags(1), expectTags("2005-06-05 08:00:00", 0, {"4"}));
    EXPECT_EQ(columnTags(2), expectTags("2005-06-06 09:00:00", 2, {"1", "2", "3"}));
    EXPECT_EQ(columnTags(3), expectTags("2005-06-07 10:00:00", 4, {"1", "3"}));
    EXPECT_EQ(columnTags(4), QStringList(26));
    for (int column = 0; column < 8; ++column)
        for (int row = 26; row < 28; ++row)
            EXPECT_EQ(list.CellTag(row, column), "");
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(CalListTest, RepairedEventIsReportedAfterTheWholeWeekIsFilled)
{
    Dictionary& store = App().eventDict;
    store.SetValue("2005-06-06 20:30:00", "2005-06-08 09:00:00//Runaway");
    store.SetValue("2005-06-10 09:00:00", "2005-06-10 10:00:00//Friday");
    App().selectedDate = Date(2005, 6, 8);
    QStringList seen;
    MessageBox::SetInterceptor([&](const MessageBox::Dialog& d) {
        // By the time a message shows, the rest of the week is tagged.
        seen << d.message + " / " + list.CellTag(2, 6);
        return MessageBox::Button::Action;
    });
    list.LoadEvents(&list);
    EXPECT_EQ(seen, QStringList{"The event Runaway has an invalid ending time - resetting. Please check this "
                                "event's end time. / 2005-06-10 09:00:00|1"});
    EXPECT_EQ(store.Value("2005-06-06 20:30:00"), "2005-06-06 21:00:00//Runaway");
    EXPECT_EQ(columnTags(2), expectTags("2005-06-06 20:30:00", 25, {"4"}));
}

TEST_F(CalListTest, AddGrowShrinkAndRemoveAnEvent)
{
    App().selectedDate = Date(2005, 6, 7, 10, 0, 0);   // Tuesday, row 4 of column 3
    list.LoadEvents(&list);
    const QString key = "2005-06-07 10:00:00";
    Dictionary& store = App().eventDict;

    list.AddEvent(Date(2005, 6, 7, 11, 0, 0), "Meeting");
    EXPECT_EQ(store.Value(key), "2005-06-07 11:00:00//Meeting");
    EXPECT_EQ(columnTags(3), expectTags(key, 4, {"1", "3"}));

    list.AddEvent(Date(2005, 6, 7, 12, 0, 0), "Longer");
    EXPECT_EQ(store.Value(key), "2005-06-07 12:00:00//Longer");
    EXPECT_EQ(columnTags(3), expectTags(key, 4, {"1", "2", "2", "3"}));

    // Shrinking frees the cells it no longer covers, and has them repainted.
    list.show();
    QCoreApplication::processEvents();
    QSet<QPair<int, int>> painted;
    list.CellBackgroundPaint = [&](Graphics&, int row, int column) {
        painted.insert({row, column});
        return false;
    };
    list.AddEvent(Date(2005, 6, 7, 10, 30, 0), "Short");
    QCoreApplication::processEvents();
    EXPECT_EQ(store.Value(key), "2005-06-07 10:30:00//Short");
    EXPECT_EQ(columnTags(3), expectTags(key, 4, {"4"}));
    for (int row = 4; row < 8; ++row)
        EXPECT_TRUE(painted.contains({row, 3})) << row;

    list.RemoveEvent();
    EXPECT_FALSE(store.HasKey(key));
    EXPECT_EQ(columnTags(3), QStringList(26));
    list.RemoveEvent();   // nothing there: nothing happens
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(CalListTest, LastSlotAllDayNotesAndDamagedEarlierEntries)
{
    Dictionary& store = App().eventDict;
    App().selectedDate = Date(2005, 6, 7, 20, 0, 0);
    list.LoadEvents(&list);
    list.AddEvent(Date(2005, 6, 7, 21, 0, 0), "Until nine");
    EXPECT_EQ(columnTags(3), expectTags("2005-06-07 20:00:00", 24, {"1", "3"}));

    App().selectedDate = Date(2005, 6, 7, 0, 0, 1);
    list.AddEvent(Date(2005, 6, 7, 0, 0, 1), "Note");
    EXPECT_EQ(store.Value("2005-06-07 00:00:01"), "2005-06-07 00:00:01//Note");
    list.RemoveEvent();
    EXPECT_FALSE(store.HasKey("2005-06-07 00:00:01"));

    // An earlier entry whose end cannot be read counts as no event at all.
    App().selectedDate = Date(2005, 6, 7, 9, 0, 0);
    store.SetValue("2005-06-07 09:00:00", "damaged//Old");
    list.AddEvent(Date(2005, 6, 7, 9, 30, 0), "Fixed");
    EXPECT_EQ(store.Value("2005-06-07 09:00:00"), "2005-06-07 09:30:00//Fixed");
    EXPECT_EQ(list.CellTag(2, 3), "2005-06-07 09:00:00|4");
    EXPECT_TRUE(log.messages.isEmpty());

    // Removing an entry with a damaged end frees only its own cells.
    store.SetValue("2005-06-07 09:00:00", "damaged//Old");
    list.RemoveEvent();
    EXPECT_EQ(list.CellTag(2, 3), "");
    EXPECT_EQ(list.CellTag(24, 3), "2005-06-07 20:00:00|1");
}

TEST_F(CalListTest, RefusedEventsStoreNothing)
{
    struct Case { const char* name; Date start; Date end; QString message; };
    const Case cases[] = {
        {"end on another day", Date(2005, 6, 7, 10, 0, 0), Date(2005, 6, 8, 10, 30, 0), calList::DifferentDayMessage},
        {"same day of another month", Date(2005, 6, 7, 10, 0, 0), Date(2005, 7, 7, 10, 30, 0),
         calList::DifferentDayMessage},
        {"end at the start", Date(2005, 6, 7, 10, 0, 0), Date(2005, 6, 7, 10, 0, 0), calList::OutOfBoundsMessage},
        {"end before the start", Date(2005, 6, 7, 10, 0, 0), Date(2005, 6, 7, 9, 30, 0), calList::OutOfBoundsMessage},
        {"end past nine", Date(2005, 6, 7, 20, 0, 0), Date(2005, 6, 7, 21, 30, 0), calList::OutOfBoundsMessage},
        {"start before eight", Date(2005, 6, 7, 7, 0, 0), Date(2005, 6, 7, 8, 0, 0), calList::TimeFormatMessage},
        {"start off the half hour", Date(2005, 6, 7, 9, 15, 0), Date(2005, 6, 7, 9, 45, 0), calList::TimeFormatMessage},
    };
    App().selectedDate = Date(2005, 6, 7);
    list.LoadEvents(&list);
    for (const Case& c : cases) {
        App().eventDict.Clear();
        App().eventDict.SetValue(c.start.SQLDateTime(), "2005-06-07 23:00:00//Kept as it was");
        log.messages.clear();
        App().selectedDate = c.start;
        list.AddEvent(c.end, "Refused");
        EXPECT_EQ(log.messages, QStringList{c.message}) << c.name;
        EXPECT_EQ(App().eventDict.Count(), 1) << c.name;
        EXPECT_EQ(App().eventDict.Value(c.start.SQLDateTime()), "2005-06-07 23:00:00//Kept as it was") << c.name;
        EXPECT_EQ(columnTags(3), QStringList(26)) << c.name;
    }
}

TEST_F(CalListTest, EventsOutsideTheShownWeekAreStoredWithoutTags)
{
    App().selectedDate = Date(2005, 6, 7);
    list.LoadEvents(&list);
    App().selectedDate = Date(2005, 6, 14, 10, 0, 0);   // the next Tuesday
    list.AddEvent(Date(2005, 6, 14, 11, 0, 0), "Next week");
    EXPECT_TRUE(App().eventDict.HasKey("2005-06-14 10:00:00"));
    EXPECT_EQ(columnTags(3), QStringList(26));
}
