// Closing the countdown dialog after a change commits the countdown: the record of kind
// "Countdown" at 00:00:00 of the chosen day, App().countdownDate moved there, the tile
// rendered again and the views that show the two days brought up to date. Nothing is
// written to disk here.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "data/EventRecord.h"
#include "data/Holidays.h"
#include "data/EditionEvents.h"
#include "glance/calList.h"
#include "glance/CountdownInputWindow.h"
#include "data/YearDayTag.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QEventLoop>
#include <QLineEdit>

namespace {

// The holiday or special event that the calendar makes for key, if any.
bool generatedEntry(const QString& key, QString& value)
{
    Date day;
    if (!EventRecord::ParseKey(key, day))
        return false;
    QVector<Holidays::Entry> entries;
    const int first = CustomizationModule::calendarStartYear;
    if (day.Year() >= first && day.Year() <= first + 2)
        entries += Holidays::ForYear(day.Year());
    if (EditionEvents::IsSpecialEdition(CustomizationModule::applicationName))
        entries += EditionEvents::All();
    for (const auto& entry : entries) {
        if (entry.first == key) {
            value = entry.second;
            return true;
        }
    }
    return false;
}

// The year view's cell of day, built again from the store.
void refreshYearDay(CalendarWindow* window, const Date& day)
{
    int row = 0, column = 0;
    if (CalendarWindow::CalDateCell(day, row, column))
        window->Calendar->SetCellTag(row, column, YearDayTag::Build(App().eventDict, day));
}

} // namespace

void CountdownInputWindow::Commit(const Date& chosen, const QString& title)
{
    Dictionary& store = App().eventDict;
    const Date day(chosen.Year(), chosen.Month(), chosen.Day());
    const QString newKey = day.SQLDateTime();
    const QString oldKey = App().countdownDate.SQLDateTime();
    const QString record = EventRecord::Make(newKey, title, EventRecord::CountdownKind);

    if (!store.HasKey(oldKey)) {
        App().countdownDate = day;
        store.SetValue(newKey, record);
    } else if (newKey == oldKey) {
        // Letter case counts: a title retyped in other capitals is a new title.
        if (title != EventRecord::Title(store.Value(oldKey)))
            store.SetValue(oldKey, record);
    } else {
        // The old day loses the countdown record only: an entry of another kind that the
        // tile merely counted down to (a holiday) stays. A generated entry that the record
        // had replaced comes back.
        if (EventRecord::IsCountdown(store.Value(oldKey))) {
            store.Remove(oldKey);
            QString generated;
            if (generatedEntry(oldKey, generated))
                store.SetValue(oldKey, generated);
        }
        App().countdownDate = day;
        store.SetValue(newKey, record);
    }
}

bool CountdownInputWindow::CommitChoice()
{
    // Opened and closed without a change, it stores nothing: without a countdown record the
    // fields only offer a day and an empty title, which are no choice of the user's.
    const QString title = EventRecord::CleanText(titleField->text());
    if (!IsOpenCompleted() || (ChosenDay() == m_shownDay && title == m_shownTitle))
        return false;
    Commit(ChosenDay(), title);
    return true;
}

void CountdownInputWindow::Event_Close()
{
    const Date before = App().countdownDate;
    if (!CommitChoice())
        return;

    if (CalendarWindow* window = CalendarWindow::Existing()) {
        if (auto* tile = window->ControlAs<cCanvas>(QStringLiteral("CountdownCanvas")))
            tile->updateCountdown();
        refreshYearDay(window, before);
        refreshYearDay(window, App().countdownDate);
        if (window->GlanceList && window->GlanceList->isVisibleTo(window))
            window->GlanceList->LoadEvents(window->GlanceList);
        window->update();
    }
}
