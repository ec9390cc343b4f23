// Switching between the year view and the week at a glance, and the year view's day cells
// after an event is saved or deleted.
#include "GlanceFixture.h"
#include "calendar_window/floatingLinkCanvas.h"
#include <QFile>

namespace {
class GlanceSwitch : public GlanceFixture
{
protected:
    QString eventsFile() const
    {
        QFile file(home.documentsFolder() + "/Calendar.tpc");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};
} // namespace

TEST_F(GlanceSwitch, OnShowsTheWeekOffShowsTheYearAndWritesTheFile)
{
    CalendarWindow* w = open();
    w->floatingLinkCanvasAt(2)->SetHelpTag("Goto https://www.example.com/lumora/holidays");
    w->floatingLinkCanvasAt(2)->setVisible(true);
    w->GlanceOn();
    for (QWidget* c : std::initializer_list<QWidget*>{w->GlanceHeader, w->GlanceList, w->MiniCalListAt(0),
                                                      w->ToDoListHeader, w->TodoList})
        EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
    EXPECT_TRUE(w->Calendar->isHidden());
    EXPECT_TRUE(w->floatingLinkCanvasAt(2)->isHidden());
    EXPECT_TRUE(eventsFile().isEmpty());

    App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    w->GlanceOff();
    for (QWidget* c : std::initializer_list<QWidget*>{w->GlanceHeader, w->GlanceList, w->MiniCalListAt(0),
                                                      w->MiniCalListAt(1), w->ToDoListHeader, w->TodoList})
        EXPECT_TRUE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_TRUE(w->Calendar->isVisible());
    EXPECT_TRUE(w->floatingLinkCanvasAt(2)->isVisible());   // an area with a link comes back
    EXPECT_TRUE(w->floatingLinkCanvasAt(3)->isHidden());
    EXPECT_EQ(eventsFile(), "Events Data:\n2025-06-18 09:00:00|2025-06-18 09:30:00//Dentist\n");

    // Called again while the year view shows: the same faces, the file written again.
    App().eventDict.Clear();
    w->GlanceOff();
    EXPECT_TRUE(w->Calendar->isVisible());
    EXPECT_EQ(eventsFile(), "Events Data:\n");
}

TEST_F(GlanceSwitch, ADaysCellIsRebuiltFromEveryEntryOfThatDay)
{
    auto& store = App().eventDict;
    store.SetValue("2025-07-04 00:00:00", "2025-07-04 00:00:00//Independence Day");
    store.SetValue("2025-07-04 00:00:01", "2025-07-04 00:00:01//Fireworks");
    CalendarWindow* w = openWeek(Date(2025, 7, 4, 9, 0, 0));
    const Date day(2025, 7, 4);
    EXPECT_EQ(yearTag(w, day), "7/4/2025//Independence Day////Fireworks//");

    store.SetValue("2025-07-04 09:00:00", "2025-07-04 09:30:00//Parade");
    w->AddEvent();
    EXPECT_EQ(yearTag(w, day), "7/4/2025//Independence Day////Fireworks////Parade//");
    store.SetValue("2025-07-04 09:00:00", "2025-07-04 09:30:00//Big parade");
    w->AddEvent();
    EXPECT_EQ(yearTag(w, day), "7/4/2025//Independence Day////Fireworks////Big parade//");

    // Deleting leaves the others, whether the entry is still stored or already gone.
    w->RemoveEvent("//Big parade//");
    EXPECT_EQ(yearTag(w, day), "7/4/2025//Independence Day////Fireworks//");
    store.Remove("2025-07-04 09:00:00");
    App().selectedDate = Date(2025, 7, 4, 0, 0, 1);
    store.Remove("2025-07-04 00:00:01");
    w->RemoveEvent("//Fireworks//");
    EXPECT_EQ(yearTag(w, day), "7/4/2025//Independence Day//");
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(GlanceSwitch, TwoEventsWithOneTitleLoseOnlyTheDeletedOne)
{
    auto& store = App().eventDict;
    store.SetValue("2025-07-08 09:00:00", "2025-07-08 09:30:00//Stand-up");
    store.SetValue("2025-07-08 15:00:00", "2025-07-08 15:30:00//Stand-up");
    CalendarWindow* w = openWeek(Date(2025, 7, 8, 15, 0, 0));
    w->RemoveEvent("//Stand-up//");
    EXPECT_EQ(yearTag(w, Date(2025, 7, 8)), "7/8/2025//Stand-up//");
}

TEST_F(GlanceSwitch, ADayOutsideTheThreeYearsChangesNoCellQuietly)
{
    CalendarWindow* w = openWeek(Date(2028, 3, 1, 9, 0, 0));
    App().eventDict.SetValue("2028-03-01 09:00:00", "2028-03-01 09:30:00//Later");
    QVector<QString> before;
    for (int row = 0; row < calCanvas::TableRows; ++row)
        for (int column = 0; column < calCanvas::TableColumns; ++column)
            before << w->Calendar->CellTag(row, column);
    w->AddEvent();
    w->RemoveEvent("//Later//");
    App().selectedDate = Date(2024, 12, 31, 9, 0, 0);
    w->AddEvent();
    QVector<QString> after;
    for (int row = 0; row < calCanvas::TableRows; ++row)
        for (int column = 0; column < calCanvas::TableColumns; ++column)
            after << w->Calendar->CellTag(row, column);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(log.messages.isEmpty());
}
