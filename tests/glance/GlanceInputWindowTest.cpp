// The event dialog: what it shows for a free slot, an event or a day note, the length
// slider's range, the all-day box, and saving and deleting through the week grid.
#include "GlanceFixture.h"
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

using namespace WidgetEvents;

namespace {
class EventDialog : public GlanceFixture
{
protected:
    // What the dialog showed when it opened.
    struct Opened {
        QString title, from, to, end;
        bool allDay = false, titleSelected = false, sliderShown = false;
        int maximum = 0, value = 0;
    };
    static Opened read(GlanceInputWindow* d)
    {
        return {d->EventField->text(), d->fromDate->text(), d->toDate->text(), d->EventEndTime.SQLDateTime(),
                d->AllDayCheck->isChecked(), d->EventField->selectedText() == d->EventField->text(),
                !d->HalfHourSlider->isHidden(), d->HalfHourSlider->maximum(), d->HalfHourSlider->value()};
    }
    // Opens the dialog on cell (row, column) of the week of 18 June 2025 and reads it.
    Opened openOn(int row, int column)
    {
        Opened seen;
        CalendarWindow* w = openWeek();
        EXPECT_TRUE(clickCell(w, row, column, [&](GlanceInputWindow* d) {
            seen = read(d);
            // The dialog belongs to the calendar window; none of the calendar's controls is
            // made a native window for it (each would be a window of the display's own, which
            // a compositor shows late).
            const auto controls = w->findChildren<QWidget*>();
            EXPECT_TRUE(d->internalWinId());
            EXPECT_TRUE(std::none_of(controls.begin(), controls.end(),
                                     [w](QWidget* c) { return c->window() == w && c->internalWinId(); }));
        }));
        return seen;
    }
    static const Dictionary& store() { return App().eventDict; }
};
} // namespace

TEST_F(EventDialog, OpensOnAFreeSlotAnEventOrTheDayNote)
{
    App().eventDict.SetValue("2025-06-17 10:00:00", "2025-06-17 12:00:00//Planning//");
    App().eventDict.SetValue("2025-06-19 00:00:01", "2025-06-19 00:00:01//Pay rent");
    const Opened free = openOn(2, 4);   // Wednesday 9:00
    EXPECT_EQ(free.title, "New Event");
    EXPECT_TRUE(free.titleSelected);
    EXPECT_FALSE(free.allDay);
    EXPECT_EQ(free.from, "6/18/2025 at 9:00 AM");
    EXPECT_EQ(free.to, "6/18/2025 at 9:30 AM");
    EXPECT_TRUE(free.sliderShown);

    const Opened event = openOn(6, 3);   // a middle cell of Tuesday's 10:00 to 12:00
    EXPECT_EQ(event.title, "Planning");
    EXPECT_EQ(event.from, "6/17/2025 at 10:00 AM");
    EXPECT_EQ(event.to, "6/17/2025 at 12:00 PM");
    EXPECT_EQ(event.value, 4);

    const Opened newNote = openOn(26, 1);
    EXPECT_EQ(newNote.title, "New Event");
    EXPECT_TRUE(newNote.allDay);
    EXPECT_EQ(newNote.from, "6/15/2025");
    EXPECT_EQ(newNote.to, "6/15/2025");
    EXPECT_EQ(newNote.end, "2025-06-15 00:30:01");
    EXPECT_TRUE(newNote.sliderShown);

    const Opened note = openOn(26, 5);
    EXPECT_EQ(note.title, "Pay rent");
    EXPECT_TRUE(note.allDay);
    EXPECT_TRUE(note.sliderShown);
}

TEST_F(EventDialog, AnUnreadableEndOpensHalfAnHourLongWithItsTitle)
{
    App().eventDict.SetValue("2025-06-18 09:00:00", "tomorrow-ish//Dentist");
    App().eventDict.SetValue("2025-06-18 11:00:00", "2025-06-18 11:30:00");   // no title at all
    CalendarWindow* w = openWeek();
    log.messages.clear();   // the week's fill reports the damaged entry; the dialog does not
    Opened bad, untitled;
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) { bad = read(d); });
    EXPECT_EQ(bad.title, "Dentist");
    EXPECT_EQ(bad.end, "2025-06-18 09:30:00");
    EXPECT_EQ(bad.value, 1);
    clickCell(w, 6, 4, [&](GlanceInputWindow* d) { untitled = read(d); });
    EXPECT_EQ(untitled.title, "");
    EXPECT_EQ(untitled.end, "2025-06-18 11:30:00");
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(EventDialog, TheSliderReachesTheNextEntryOr2100)
{
    struct Case { const char* other; const char* existing; int row; int maximum; int value; };
    const Case cases[] = {
        {nullptr, nullptr, 2, 24, 1},                                  // 9:00, a free day
        {"2025-06-18 11:00:00", nullptr, 2, 4, 1},                     // up to 11:00
        {"2025-06-18 09:30:00", nullptr, 2, 1, 1},                     // the next slot is taken
        {nullptr, nullptr, 25, 1, 1},                                  // 20:30
        {"2025-06-18 14:30:00", "2025-06-18 12:00:00", 4, 9, 4},       // 10:00 to 12:00
        {nullptr, "2025-06-18 21:00:00", 4, 22, 22},                   // 10:00 to 21:00
        {"2025-06-18 00:00:01", nullptr, 2, 24, 1},                    // a day note stops nothing
        {"2025-06-18 00:00:00", nullptr, 2, 24, 1},                    // nor a holiday
    };
    for (const Case& c : cases) {
        App().eventDict.Clear();
        if (c.other)
            App().eventDict.SetValue(c.other, QString::fromLatin1(c.other) + "//Other");
        if (c.existing)
            App().eventDict.SetValue("2025-06-18 10:00:00", QString::fromLatin1(c.existing) + "//Long");
        const Opened seen = openOn(c.row, 4);
        EXPECT_EQ(seen.maximum, c.maximum) << c.row << " " << (c.other ? c.other : "-");
        EXPECT_EQ(seen.value, c.value) << c.row;
    }
}

TEST_F(EventDialog, TheSliderSetsTheEndInHalfHours)
{
    CalendarWindow* w = openWeek();
    QString end3, to3, end24, to24;
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->HalfHourSlider->setValue(3);
        end3 = d->EventEndTime.SQLDateTime();
        to3 = d->toDate->text();
        d->HalfHourSlider->setValue(24);
        end24 = d->EventEndTime.SQLDateTime();
        to24 = d->toDate->text();
    });
    EXPECT_EQ(end3, "2025-06-18 10:30:00");
    EXPECT_EQ(to3, "6/18/2025 at 10:30 AM");
    EXPECT_EQ(end24, "2025-06-18 21:00:00");
    EXPECT_EQ(to24, "6/18/2025 at 9:00 PM");
    EXPECT_TRUE(store().Keys().isEmpty());   // closed without saving
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(EventDialog, TheAllDayBoxHidesTheSliderAndTheTimes)
{
    CalendarWindow* w = openWeek();
    Opened ticked, cleared;
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->HalfHourSlider->setValue(2);
        d->AllDayCheck->click();
        ticked = read(d);
        d->AllDayCheck->click();
        cleared = read(d);
    });
    EXPECT_FALSE(ticked.sliderShown);
    EXPECT_EQ(ticked.from, "6/18/2025");
    EXPECT_EQ(ticked.to, "6/18/2025");
    EXPECT_TRUE(cleared.sliderShown);
    EXPECT_EQ(cleared.from, "6/18/2025 at 9:00 AM");
    EXPECT_EQ(cleared.to, "6/18/2025 at 10:00 AM");

    // On the day-note row the box cannot be cleared. The slider stays: it moves the end
    // shown, and Save ignores it.
    Opened note, moved;
    clickCell(w, 26, 4, [&](GlanceInputWindow* d) {
        d->AllDayCheck->click();
        note = read(d);
        d->HalfHourSlider->setValue(17);
        moved = read(d);
        d->SaveButton->click();
    });
    EXPECT_TRUE(note.allDay);
    EXPECT_TRUE(note.sliderShown);
    EXPECT_EQ(note.to, "6/18/2025");
    EXPECT_EQ(moved.to, "6/18/2025 at 8:30 AM");
    EXPECT_EQ(store().Lookup("2025-06-18 00:00:01"), "2025-06-18 00:00:01//New Event");
}

TEST_F(EventDialog, SaveStoresTheEventInTheGridAndTheYearViewButNotOnDisk)
{
    CalendarWindow* w = openWeek();
    App().eventDict.SetValue("2025-06-18 00:00:00", "2025-06-18 00:00:00//Fair//Special");
    w->Calendar_Open();
    clickCell(w, 3, 4, [&](GlanceInputWindow* d) {
        d->EventField->setText("Dentist");
        d->HalfHourSlider->setValue(2);
        d->SaveButton->click();
    });
    EXPECT_EQ(store().Lookup("2025-06-18 09:30:00"), "2025-06-18 10:30:00//Dentist");
    EXPECT_EQ(w->GlanceList->CellTag(3, 4), "2025-06-18 09:30:00|1");
    EXPECT_EQ(w->GlanceList->CellTag(4, 4), "2025-06-18 09:30:00|3");
    EXPECT_EQ(yearTag(w, Date(2025, 6, 18)), "6/18/2025//Fair//Special//Dentist//");
    EXPECT_FALSE(QFile::exists(home.documentsFolder() + "/Calendar.tpc"));

    // Saved again shorter under the same key; an empty title becomes "New Event".
    clickCell(w, 4, 4, [&](GlanceInputWindow* d) {
        d->EventField->clear();
        d->HalfHourSlider->setValue(1);
        d->SaveButton->click();
    });
    EXPECT_EQ(store().Lookup("2025-06-18 09:30:00"), "2025-06-18 10:00:00//New Event");
    EXPECT_EQ(w->GlanceList->CellTag(3, 4), "2025-06-18 09:30:00|4");
    EXPECT_TRUE(w->GlanceList->CellTag(4, 4).isEmpty());
    EXPECT_EQ(yearTag(w, Date(2025, 6, 18)), "6/18/2025//Fair//Special//New Event//");
}

TEST_F(EventDialog, AllDaySaveStoresAt000001AndCleansTheTitle)
{
    CalendarWindow* w = openWeek();
    App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    w->ReloadCalLists();
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->EventField->setText("Trip|to\tthe//sea");
        d->AllDayCheck->click();
        d->SaveButton->click();
    });
    EXPECT_EQ(store().Lookup("2025-06-18 00:00:01"), "2025-06-18 00:00:01//Trip to the/sea");
    EXPECT_EQ(store().Lookup("2025-06-18 09:00:00"), "2025-06-18 09:30:00//Dentist");   // stays
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-06-18 00:00:01");
}

TEST_F(EventDialog, TheAllDayBoxAsksBeforeReplacingOrDeletingTheDaysNote)
{
    CalendarWindow* w = openWeek();
    auto& events = App().eventDict;
    events.SetValue("2025-06-18 00:00:01", "2025-06-18 00:00:01//Old note");
    events.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    w->ReloadCalLists();
    for (auto button : {&GlanceInputWindow::SaveButton, &GlanceInputWindow::DeleteButton}) {
        MessageLog no(MessageBox::Button::Cancel);
        bool stillOpen = false;
        clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
            d->AllDayCheck->click();
            (d->*button)->click();
            stillOpen = !d->IsClosed();
        });
        EXPECT_TRUE(stillOpen);
        ASSERT_EQ(no.messages.size(), 1);
        EXPECT_TRUE(no.messages.at(0).contains("\"Old note\""));
        EXPECT_EQ(events.Lookup("2025-06-18 00:00:01"), "2025-06-18 00:00:01//Old note");
        EXPECT_TRUE(events.HasKey("2025-06-18 09:00:00"));
    }
    EXPECT_EQ(log.messages.size(), 0);

    // Yes: replaced, then deleted; the timed event stays.
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->EventField->setText("New note");
        d->AllDayCheck->click();
        d->SaveButton->click();
    });
    EXPECT_EQ(log.messages, QStringList{GlanceInputWindow::ReplaceDayNoteQuestion("Old note")});
    EXPECT_EQ(events.Lookup("2025-06-18 00:00:01"), "2025-06-18 00:00:01//New note");
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->AllDayCheck->click();
        d->DeleteButton->click();
    });
    EXPECT_EQ(log.messages.last(), GlanceInputWindow::DeleteDayNoteQuestion("New note"));
    EXPECT_FALSE(events.HasKey("2025-06-18 00:00:01"));
    EXPECT_EQ(events.Lookup("2025-06-18 09:00:00"), "2025-06-18 09:30:00//Dentist");

    // From the day-note row itself nothing is asked.
    events.SetValue("2025-06-18 00:00:01", "2025-06-18 00:00:01//Note");
    clickCell(w, 26, 4, [&](GlanceInputWindow* d) { d->DeleteButton->click(); });
    EXPECT_FALSE(events.HasKey("2025-06-18 00:00:01"));
    EXPECT_EQ(log.messages.size(), 2);
}

TEST_F(EventDialog, DeleteRemovesTheEventFromStoreGridAndYearView)
{
    App().eventDict.SetValue("2025-06-18 00:00:00", "2025-06-18 00:00:00//Fair//Special");
    App().eventDict.SetValue("2025-06-18 10:00:00", "2025-06-18 11:00:00//Meeting");
    CalendarWindow* w = openWeek();
    EXPECT_EQ(yearTag(w, Date(2025, 6, 18)), "6/18/2025//Fair//Special//Meeting//");
    clickCell(w, 5, 4, [&](GlanceInputWindow* d) { d->DeleteButton->click(); });
    EXPECT_FALSE(store().HasKey("2025-06-18 10:00:00"));
    EXPECT_TRUE(w->GlanceList->CellTag(4, 4).isEmpty());
    EXPECT_TRUE(w->GlanceList->CellTag(5, 4).isEmpty());
    EXPECT_EQ(yearTag(w, Date(2025, 6, 18)), "6/18/2025//Fair//Special");

    // On a free slot Delete only closes the dialog.
    const QStringList keys = store().Keys();
    bool closed = false;
    clickCell(w, 9, 4, [&](GlanceInputWindow* d) {
        d->DeleteButton->click();
        closed = d->IsClosed();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(store().Keys(), keys);
}

TEST_F(EventDialog, ReturnSavesFromEveryControlAndNeverDeletes)
{
    App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    CalendarWindow* w = openWeek();
    const auto controls = {&GlanceInputWindow::DeleteButton, &GlanceInputWindow::SaveButton};
    for (auto control : controls) {
        clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
            d->EventField->setText("Dentist again");
            key(d->*control, Qt::Key_Return);
        });
        EXPECT_EQ(store().Lookup("2025-06-18 09:00:00"), "2025-06-18 09:30:00//Dentist again");
        App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    }
    // From the title field and the box, too; the slider's Enter as well.
    for (QWidget* (*target)(GlanceInputWindow*) : {
             +[](GlanceInputWindow* d) -> QWidget* { return d->EventField; },
             +[](GlanceInputWindow* d) -> QWidget* { return d->AllDayCheck; },
             +[](GlanceInputWindow* d) -> QWidget* { return d->HalfHourSlider; }}) {
        clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
            d->EventField->setText("Typed");
            key(target(d), Qt::Key_Enter);
        });
        EXPECT_EQ(store().Lookup("2025-06-18 09:00:00"), "2025-06-18 09:30:00//Typed");
        App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    }
}

TEST_F(EventDialog, EscapeAndTheCloseBoxStoreNothing)
{
    CalendarWindow* w = openWeek();
    bool escaped = false, boxed = false;
    EXPECT_TRUE(clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        QPointer<GlanceInputWindow> alive(d);
        d->EventField->setText("Forgotten");
        d->HalfHourSlider->setValue(4);
        key(d->EventField, Qt::Key_Escape);
        escaped = !alive || alive->IsClosed();
    }));
    EXPECT_TRUE(clickCell(w, 3, 4, [&](GlanceInputWindow* d) {
        QPointer<GlanceInputWindow> alive(d);
        d->EventField->setText("Forgotten");
        d->close();
        boxed = !alive || alive->IsClosed();
    }));
    EXPECT_TRUE(escaped);
    EXPECT_TRUE(boxed);
    EXPECT_EQ(store().Count(), 0);
    EXPECT_TRUE(w->GlanceList->CellTag(2, 4).isEmpty());
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-06-18 09:30:00");
}

TEST_F(EventDialog, TypedSeparatorsNeverReachTheTitle)
{
    CalendarWindow* w = openWeek();
    QString title;
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->EventField->clear();
        for (const char* typed : {"a", "|", "b", "/", "/", "c"})
            key(d->EventField, QString(typed) == "|" ? Qt::Key_Bar : Qt::Key_A, QString::fromLatin1(typed));
        title = d->EventField->text();
    });
    EXPECT_EQ(title, "a b/c");
}
