// The application object's calendar data: the generated entries, the user's events file,
// the season index and the iCal importer. The work is done by the classes of src/data; the
// application object gives them its store and shows what they report.
#include "data/EventsFile.h"
#include "data/Holidays.h"
#include "data/ICalImporter.h"
#include "data/Seasons.h"
#include "data/EditionEvents.h"
#include "framework/MessageBox.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QDir>
#include <memory>

namespace {

// The importer that app.ExtractiCalEvents and app.FillDateArray work with; made afresh by
// app.LoadiCalEvents and on first use.
std::unique_ptr<ICalImporter>& importer()
{
    static std::unique_ptr<ICalImporter> current;
    if (!current)
        current = std::make_unique<ICalImporter>(App().eventDict, CustomizationModule::calendarStartYear);
    return current;
}

} // namespace

void app::LoadHolidays() { Holidays::Load(eventDict, CustomizationModule::calendarStartYear); }

void app::LoadSpecialEvents() { EditionEvents::Load(eventDict, CustomizationModule::applicationName); }

void app::LoadUserEvents()
{
    keptTodoLines.clear();
    QString message;
    if (EventsFile::Load(EventsPath(), eventDict, keptTodoLines, countdownDate, message) == EventsFile::Status::Unreadable)
        eventsFileLocked = true;
    if (!message.isEmpty())
        MsgBox(message);
}

bool app::SaveUserEvents(const QStringList& todoLines)
{
    if (eventsFileLocked)
        return false;
    QString message;
    const bool written = EventsFile::Write(EventsPath(), todoLines, eventDict, message);
    if (!message.isEmpty())
        MsgBox(message);
    return written;
}

int app::getSeason(const Date& date) { return Seasons::Index(date); }

void app::LoadiCalEvents()
{
    MessageBox::Dialog dialog;
    dialog.icon = MessageBox::Icon::Caution;
    dialog.message = QStringLiteral("There are currently no events. Would you like to import events from iCal to get started?");
    dialog.explanation = QStringLiteral("You may do so later in Preferences.");
    dialog.actionCaption = QStringLiteral("Yes");
    dialog.cancelCaption = QStringLiteral("No");
    if (MessageBox::ShowDialog(dialog) != MessageBox::Button::Action)
        return;
    const QString folder = QDir::homePath() + QStringLiteral("/Library/Calendars");
    if (!QDir(folder).exists())
        return;
    importer() = std::make_unique<ICalImporter>(eventDict, CustomizationModule::calendarStartYear);
    importer()->ImportFolder(folder);
    evarray = importer()->Fields();
}

void app::ExtractiCalEvents(const QString& text)
{
    importer()->ExtractLine(text);
    evarray = importer()->Fields();
}

void app::FillDateArray() { importer()->FillEvent(); }
