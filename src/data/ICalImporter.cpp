#include "data/ICalImporter.h"
#include "data/EventRecord.h"
#include "data/ICalRecurrence.h"
#include "data/ICalTimeZones.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include "framework/TextFunctions.h"
#include <QHash>
#include <QLoggingCategory>
#include <algorithm>
#include <libical/ical.h>
#include <vector>

Q_LOGGING_CATEGORY(lcICalImport, "lumora.ical")

namespace {

constexpr int64_t Day = 86400;
constexpr int HalfHour = 30;
// Real calendars nest three deep (VCALENDAR, VEVENT, VALARM); a deeper text is damaged, and
// libical frees components recursively.
constexpr int MaxDepth = 12;

// libical aborts the process on an error unless told otherwise; a damaged file must only
// cost its own events.
void keepLibicalErrorsNonFatal()
{
    static const bool done = [] {
        icalerror_set_errors_are_fatal(0);
        for (int e = ICAL_BADARG_ERROR; e <= ICAL_UNKNOWN_ERROR; ++e)
            icalerror_set_error_state(icalerrorenum(e), ICAL_ERROR_NONFATAL);
        return true;
    }();
    (void)done;
    icalerror_clear_errno();
}

QString utf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

QString propertyText(icalcomponent* event, icalproperty_kind kind)
{
    icalproperty* p = icalcomponent_get_first_property(event, kind);
    return p ? utf8(icalproperty_get_value_as_string(p)) : QString();
}

bool startsWithWord(const QString& line, const QString& word)
{
    return line.startsWith(word, Qt::CaseInsensitive);
}

void collectEvents(icalcomponent* c, int depth, std::vector<icalcomponent*>& out)
{
    if (icalcomponent_isa(c) == ICAL_VEVENT_COMPONENT) {
        out.push_back(c);
        return;
    }
    if (depth >= 2)
        return;
    for (icalcomponent* child = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); child;
         child = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        collectEvents(child, depth + 1, out);
}

// The wall-clock fields of at in the frame of like (its zone, date or date-time).
icaltimetype inFrameOf(const icaltimetype& like, const Date& at)
{
    icaltimetype t = like;
    t.year = at.Year();
    t.month = at.Month();
    t.day = at.Day();
    t.hour = like.is_date ? 0 : at.Hour();
    t.minute = like.is_date ? 0 : at.Minute();
    t.second = like.is_date ? 0 : at.Second();
    return t;
}

Date dayOf(const Date& d, int second = 0) { return Date(d.Year(), d.Month(), d.Day(), 0, 0, second); }

// The content lines of a text (LF, CRLF or CR line ends), a line end followed by a blank or
// a TAB joining two lines into one. Exporters fold at 75 bytes, so a fold may cut a UTF-8
// character in two: the lines are joined as bytes, and only whole lines are decoded.
QList<QByteArray> unfoldedLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    QByteArray line;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < size && text.at(i + 1) == '\n')
            ++i;
        if (i + 1 < size && (text.at(i + 1) == ' ' || text.at(i + 1) == '\t')) {
            ++i;   // a fold: the blank goes with the line end
            continue;
        }
        lines << std::exchange(line, QByteArray());
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

ICalImporter::ICalImporter(Dictionary& store, int firstYear)
    : m_store(store), m_firstYear(firstYear), m_fields(FieldCount)
{
}

void ICalImporter::ExtractLine(const QString& line)
{
    const bool continuation = line.startsWith(QLatin1Char(' ')) || line.startsWith(QLatin1Char('\t'));
    const QString trimmed = line.trimmed();
    if (!continuation && startsWithWord(trimmed, QStringLiteral("BEGIN:"))) {
        if (m_open.isEmpty()) {
            m_pending.clear();
            m_discarding = false;
        }
        m_open << trimmed.mid(6).trimmed();
        if (m_open.size() > MaxDepth)
            m_discarding = true;
    }
    if (m_open.isEmpty())
        return;   // text outside any component means nothing
    if (!m_discarding)
        m_pending += line.toUtf8() + "\r\n";
    if (!continuation && startsWithWord(trimmed, QStringLiteral("END:"))) {
        m_open.removeLast();
        if (m_open.isEmpty())
            FillEvent();
    }
}

int ICalImporter::FillEvent()
{
    if (m_discarding) {
        m_pending.clear();
        ++m_skipped;
        qCWarning(lcICalImport) << "Skipped a calendar whose components nest too deep";
    }
    // A text that stops inside a component (a cut-off file) is read as far as it goes.
    while (!m_open.isEmpty())
        m_pending += "END:" + m_open.takeLast().toUtf8() + "\r\n";
    m_discarding = false;
    if (m_pending.isEmpty())
        return 0;
    const QByteArray text = std::exchange(m_pending, QByteArray());
    keepLibicalErrorsNonFatal();
    ICalTimeZones::SyncLocalZone();
    const int before = m_stored;
    const int takenBefore = m_taken;
    if (icalcomponent* root = icalparser_parse_string(text.constData())) {
        importComponent(root);
        icalcomponent_free(root);
    } else {
        ++m_skipped;
        qCWarning(lcICalImport) << "Skipped a calendar that libical cannot read";
    }
    if (m_taken > takenBefore)
        qCInfo(lcICalImport) << m_taken - takenBefore << "imported entries left out: their slots hold entries already";
    return m_stored - before;
}

void ICalImporter::ImportText(const QString& text) { ImportBytes(text.toUtf8()); }

void ICalImporter::ImportBytes(const QByteArray& bytes)
{
    m_pending.clear();
    m_open.clear();
    m_discarding = false;
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    for (const QByteArray& line : unfoldedLines(text))
        ExtractLine(QString::fromUtf8(line));
    FillEvent();   // a calendar whose END line is missing is read all the same
}

int ICalImporter::ImportFolder(const QString& folder)
{
    const int before = m_stored;
    for (const QString& name : Files::List(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (InStr(name, QStringLiteral(".ics")) == 0 || Files::IsFolder(path))
            continue;
        QByteArray bytes;
        if (Files::ReadAll(path, bytes) != Files::ReadStatus::Ok || bytes.contains('\0'))
            continue;   // a file that cannot be read, or holds no text, is skipped
        ImportBytes(bytes);
    }
    return m_stored - before;
}

void ICalImporter::importComponent(icalcomponent* root)
{
    if (int dropped = ICalTimeZones::DropUnsafeZones(root))
        qCWarning(lcICalImport) << "Left out" << dropped << "time zone blocks that change more often than yearly";
    std::vector<icalcomponent*> events;
    collectEvents(root, 0, events);

    // An instance replaced through RECURRENCE-ID leaves the repeating event ("master") with
    // the same UID in the same calendar, and its replacement is placed on its own.
    QHash<QString, icalcomponent*> masters;
    QHash<QString, QList<icaltimetype>> replaced;
    for (icalcomponent* event : events) {
        const QString uid = utf8(icalcomponent_get_uid(event));
        icalproperty* rid = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (uid.isEmpty())
            continue;
        icaltimetype at;
        if (!rid) {
            if (!masters.contains(uid))
                masters.insert(uid, event);
        } else if (ICalTimeZones::Read(rid, event, at)) {
            replaced[uid] << at;
        }
    }
    for (icalcomponent* event : events) {
        const QString uid = utf8(icalcomponent_get_uid(event));
        const bool isReplacement = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (isReplacement)
            importEvent(event, masters.value(uid), {});
        else
            importEvent(event, nullptr, masters.value(uid) == event ? replaced.value(uid) : QList<icaltimetype>());
    }
}

void ICalImporter::importEvent(icalcomponent* event, icalcomponent* master, const QList<icaltimetype>& replaced)
{
    m_fields = QStringList(FieldCount);
    m_fields[Start] = propertyText(event, ICAL_DTSTART_PROPERTY);
    m_fields[End] = propertyText(event, ICAL_DTEND_PROPERTY);
    m_fields[Title] = utf8(icalcomponent_get_summary(event));
    if (icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(rule);
        m_fields[Frequency] = utf8(icalrecur_freq_to_string(r.freq));
        m_fields[Count] = r.count > 0 ? QString::number(r.count) : QString();
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY))
        qCInfo(lcICalImport).noquote() << "In the event" << ('"' + m_fields[Title] + '"') << "libical left out:"
                                       << utf8(icalproperty_get_xlicerror(p));
    if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED)
        return;   // a cancelled event, or a cancelled instance, is not on the calendar

    QString title = m_fields[Title];
    if (title.trimmed().isEmpty() && master)
        title = utf8(icalcomponent_get_summary(master));
    title = EventRecord::CleanText(title).trimmed();
    if (title.isEmpty())
        title = QStringLiteral("New Event");

    const bool isReplacement = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    icalproperty* startProp = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!startProp && isReplacement)
        startProp = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
    icaltimetype dtstart;
    if (!ICalTimeZones::Read(startProp, event, dtstart))
        return skip(QStringLiteral("its start is no date or names an unknown zone"));

    // The length: DTEND (exclusive), else DURATION, else a day for a date and none for a time.
    int64_t length = dtstart.is_date ? Day : 0;
    if (icalproperty* endProp = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        icaltimetype dtend;
        if (!ICalTimeZones::Read(endProp, event, dtend))
            return skip(QStringLiteral("its end is no date or names an unknown zone"));
        length = ICalTimeZones::Seconds(dtend) - ICalTimeZones::Seconds(dtstart);
    } else if (icalproperty* durProp = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        length = icaldurationtype_as_int(icalproperty_get_duration(durProp));
    }
    length = std::clamp<int64_t>(length, 0, 4 * 366 * Day);

    // Instances are looked for a little beyond the three years: local time may be a day
    // away from the event's zone, and an event that begins earlier may reach into them.
    Date from(m_firstYear, 1, 1);
    from.AddSeconds(-length - 2 * Day);
    Date to(m_firstYear + 3, 1, 1);
    to.AddSeconds(2 * Day);
    ICalRecurrence::Instances instances;
    const icaltimetype spanStart = inFrameOf(dtstart, from), spanEnd = inFrameOf(dtstart, to);
    if (isReplacement) {
        instances.emplace(ICalTimeZones::Seconds(dtstart), ICalRecurrence::Instance{dtstart, -1});
    } else {
        QString why;
        if (!ICalRecurrence::Expand(event, dtstart, spanStart, spanEnd, 2 * MaxOccurrences, instances, why))
            return skip(why);
    }
    for (const icaltimetype& at : replaced)
        instances.erase(ICalTimeZones::Seconds(ICalTimeZones::AsInstanceOf(at, dtstart)));

    int stored = 0;
    for (const auto& entry : instances) {
        const ICalRecurrence::Instance& instance = entry.second;
        const int64_t seconds = instance.periodSeconds >= 0 ? instance.periodSeconds : length;
        const bool allDay = instance.start.is_date;
        const int64_t span = allDay ? std::max<int64_t>(1, (seconds + Day - 1) / Day) * Day : seconds;
        placeInstance(ICalTimeZones::ToLocal(instance.start), ICalTimeZones::ToLocal(instance.start, span), allDay,
                      title, stored);
        if (stored >= MaxOccurrences)
            break;
    }
}

void ICalImporter::placeInstance(const Date& start, const Date& end, bool allDay, const QString& title, int& stored)
{
    if (!allDay) {
        const Date key(start.Year(), start.Month(), start.Day(), start.Hour(), start.Minute() - start.Minute() % HalfHour);
        int64_t endSeconds = end.TotalSeconds();
        const int64_t slot = HalfHour * 60;
        endSeconds = std::max(key.TotalSeconds() + slot, (endSeconds + slot - 1) / slot * slot);
        Date roundedEnd = key;
        roundedEnd.SetTotalSeconds(endSeconds);
        if (roundedEnd.SQLDate() == key.SQLDate() || roundedEnd == Date(key.Year(), key.Month(), key.Day() + 1)) {
            const bool midnight = key.Hour() == 0 && key.Minute() == 0;
            storeEntry(midnight ? dayOf(key, 1) : key, roundedEnd, title, stored);
            return;
        }
    }
    // Every day the event covers gets an all-day entry; the end itself is exclusive.
    Date last = end;
    last.AddSeconds(-1);
    Date day = std::max(dayOf(start), Date(m_firstYear, 1, 1));
    const Date stop = std::min(dayOf(last), Date(m_firstYear + 2, 12, 31));
    for (; !(stop < day) && stored < MaxOccurrences; day.SetDay(day.Day() + 1))
        storeEntry(dayOf(day, 1), dayOf(day, 1), title, stored);
}

bool ICalImporter::storeEntry(const Date& key, const Date& end, const QString& title, int& stored)
{
    if (key.Year() < m_firstYear || key.Year() > m_firstYear + 2)
        return false;
    const QString text = key.SQLDateTime();
    if (m_store.HasKey(text)) {
        ++m_taken;
        return false;
    }
    m_store.SetValue(text, EventRecord::Make(end, title));
    ++m_stored;
    ++stored;
    return true;
}

void ICalImporter::skip(const QString& why)
{
    ++m_skipped;
    qCWarning(lcICalImport).noquote() << "Skipped the event" << ('"' + m_fields[Title] + '"') << "from"
                                      << m_fields[Start] << "because" << why;
}
