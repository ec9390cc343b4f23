// The application object's calendar data: the generated entries, the user's events file,
// the season index and the iCal importer. The work is done by the classes of src/data; the
// application object gives them its store and shows what they report.
#include "data/EventsFile.h"
#include "data/EventsFileParser.h"
#include "data/YearDayTag.h"
#include "data/Holidays.h"
#include "data/ICalImporter.h"
#include "data/Seasons.h"
#include "data/EditionEvents.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/MessageBox.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <memory>
#include <system_error>

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

// What the start-up worker hands over: LoadUserEvents's results, and the year view's runs.
struct app::EventsLoad {
    Dictionary store;
    QStringList todoLines;
    Date countdown;
    QString stamp;
    EventsFile::Status status = EventsFile::Status::Missing;
    QString message;
    std::shared_ptr<YearDayTag::Years> yearRuns;
    int firstYear = 0;
};

void app::LoadHolidays() { Holidays::Load(eventDict, CustomizationModule::calendarStartYear); }

void app::LoadSpecialEvents() { EditionEvents::Load(eventDict, CustomizationModule::applicationName); }

namespace {

// The events file as read ahead of start-up, and where and when it was read.
struct ReadAhead {
    QString path;
    QString stamp;
    EventsFile::Status status = EventsFile::Status::Missing;
    EventsFile::Contents contents;
    QString why;
};

std::shared_ptr<ReadAhead> readEventsFile(const QString& path)
{
    auto file = std::make_shared<ReadAhead>();
    file->path = path;
    // Taken before the reading: a change made meanwhile leaves the stamp behind.
    file->stamp = app::EventsFileStamp(path);
    file->status = EventsFile::Read(path, file->contents, &file->why);
    return file;
}

std::future<std::shared_ptr<ReadAhead>>& readAhead()
{
    static std::future<std::shared_ptr<ReadAhead>> pending;
    return pending;
}

bool& readingLarge()
{
    static bool large = false;
    return large;
}

} // namespace

void app::StartReadingEventsFile(bool largeOnly)
{
    if (readAhead().valid())
        return;
    const QString path = EventsPath();
    readingLarge() = EventsFileParser::ReadsInParallel(QFileInfo(path).size());
    if (largeOnly && !readingLarge())
        return;
    try {
        readAhead() = std::async(std::launch::async, [path] { return readEventsFile(path); });
    } catch (const std::system_error& e) {
        // The start-up worker reads it (StartLoadingEvents), with the failure to start a
        // thread reported there if it comes again.
        qWarning("No thread could be started to read the events file ahead: %s", e.what());
        readingLarge() = false;
    }
}

bool app::ReadingLargeEventsFile() { return readingLarge(); }

void app::StartLoadingEvents()
{
    auto load = std::make_shared<EventsLoad>();
    load->store = eventDict;
    load->countdown = countdownDate;
    load->firstYear = CustomizationModule::calendarStartYear;
    const QString edition = CustomizationModule::applicationName;
    const QString path = EventsPath();
    // Everything the worker reads is its own copy: the window is made meanwhile. The events
    // file was read ahead, mostly, while the toolkit started and the branding was read.
    m_eventsLoad = std::async(std::launch::async, [load, edition, path, ahead = std::move(readAhead())]() mutable {
        Holidays::Load(load->store, load->firstYear);
        EditionEvents::Load(load->store, edition);
        std::shared_ptr<ReadAhead> file = ahead.valid() ? ahead.get() : nullptr;
        // Read again when the file changed meanwhile (another copy of the calendar quit).
        if (!file || file->path != path || file->stamp != EventsFileStamp(path))
            file = readEventsFile(path);
        load->stamp = file->stamp;
        load->status = EventsFile::Take(file->path, file->status, file->contents, file->why, load->store,
                                        load->todoLines, load->countdown, load->message);
        load->yearRuns = std::make_shared<YearDayTag::Years>(YearDayTag::BuildYears(load->store, load->firstYear, 3));
        return load;
    });
}

void app::EventsLoaded()
{
    if (!m_eventsLoad.valid())
        return;
    const std::shared_ptr<EventsLoad> load = m_eventsLoad.get();
    // The cores are free again: the window's first paint finds its memory touched (once).
    if (CalendarWindow* window = CalendarWindow::Existing())
        window->TouchBackingStore();
    eventDict = std::move(load->store);
    countdownDate = load->countdown;
    m_yearRuns = load->yearRuns;
    m_yearRunsRevision = eventDict.Revision();
    m_yearRunsFirstYear = load->firstYear;
    takeLoadedEvents(load->status, load->stamp, load->todoLines, load->message);
}

YearDayTag::Years app::YearRuns(int firstYear)
{
    EventsLoaded();
    const std::shared_ptr<YearDayTag::Years> kept = std::move(m_yearRuns);
    if (kept && m_yearRunsFirstYear == firstYear && m_yearRunsRevision == eventDict.Revision())
        return std::move(*kept);
    return YearDayTag::BuildYears(eventDict, firstYear, 3);
}

QString app::EventsFileStamp() { return EventsFileStamp(EventsPath()); }

QString app::EventsFileStamp(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    return QStringLiteral("%1:%2:%3:%4:%5").arg(info.st_dev).arg(info.st_ino).arg(info.st_size)
        .arg(info.st_mtim.tv_sec).arg(info.st_mtim.tv_nsec);
}

void app::LoadUserEvents()
{
    const std::shared_ptr<ReadAhead> file = readEventsFile(EventsPath());
    QStringList todoLines;
    QString message;
    const EventsFile::Status status = EventsFile::Take(file->path, file->status, file->contents, file->why, eventDict,
                                                       todoLines, countdownDate, message);
    takeLoadedEvents(status, file->stamp, todoLines, message);
}

void app::takeLoadedEvents(EventsFile::Status status, const QString& stamp, const QStringList& todoLines,
                           const QString& message)
{
    keptTodoLines = todoLines;
    keptTodoLinesStamp = status == EventsFile::Status::Loaded ? stamp : QString();
    if (status == EventsFile::Status::Unreadable)
        eventsFileLocked = true;
    if (!message.isEmpty()) {
        qWarning().noquote() << message;
        MsgBox(message);
    }
}

bool app::SaveUserEvents(const QStringList& todoLines)
{
    // Never a store that is still being read.
    EventsLoaded();
    if (eventsFileLocked)
        return false;
    QString message;
    const bool written = EventsFile::Write(EventsPath(), todoLines, eventDict, message);
    keptTodoLinesStamp = written && todoLines == keptTodoLines ? EventsFileStamp() : QString();
    if (!message.isEmpty())
        MessageBox::Report(message);
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
