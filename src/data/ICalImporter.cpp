#include "data/ICalImporter.h"
#include "data/EventRecord.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include "framework/TextFunctions.h"
#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr int HalfHour = 30;

QString rightTrimmed(const QString& text)
{
    int n = text.size();
    while (n > 0 && text.at(n - 1).isSpace())
        --n;
    return text.left(n);
}

QString leftTrimmed(const QString& text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return text.mid(i);
}

enum class Step { Day, Week, Month, Year };

Step stepOf(const QString& frequency)
{
    if (TextEquals(frequency, QStringLiteral("WEEKLY")))
        return Step::Week;
    if (TextEquals(frequency, QStringLiteral("MONTHLY")))
        return Step::Month;
    if (TextEquals(frequency, QStringLiteral("YEARLY")))
        return Step::Year;
    return Step::Day;   // DAILY, and any frequency the calendar has no step for
}

// Occurrence index of a repeat from first (steps of interval units); false when that
// month has no such day.
bool occurrence(const Date& first, Step step, int interval, int64_t index, Date& out)
{
    index *= interval;
    int year = first.Year(), month = first.Month(), day = first.Day();
    switch (step) {
    case Step::Day: day += int(index); break;
    case Step::Week: day += int(index) * 7; break;
    case Step::Month: month += int(index); break;
    case Step::Year: year += int(index); break;
    }
    out = Date(year, month, day, first.Hour(), first.Minute(), first.Second());
    return out.Day() == day || step == Step::Day || step == Step::Week;
}

bool sameDay(const Date& a, const Date& b) { return a.SQLDate() == b.SQLDate(); }

} // namespace

ICalImporter::ICalImporter(Dictionary& store, int firstYear) : m_store(store), m_firstYear(firstYear)
{
    clearFields();
}

void ICalImporter::clearFields() { m_fields = QStringList(FieldCount); }

bool ICalImporter::ParseDate(const QString& value, Date& out, bool& hasTime)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(?:T(\\d{2})(\\d{2})(\\d{2})Z?)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(value.trimmed());
    if (!m.hasMatch())
        return false;
    const int y = m.captured(1).toInt(), mo = m.captured(2).toInt(), d = m.captured(3).toInt();
    hasTime = m.lastCapturedIndex() >= 4;
    const int h = hasTime ? m.captured(4).toInt() : 0;
    const int mi = hasTime ? m.captured(5).toInt() : 0;
    const int s = hasTime ? m.captured(6).toInt() : 0;
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > Date::DaysIn(y, mo) || h > 23 || mi > 59 || s > 60)
        return false;
    out = Date(y, mo, d, h, mi, s > 59 ? 59 : s);
    return true;
}

QString ICalImporter::UnescapeText(const QString& value)
{
    QString text;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            text += next == QLatin1Char('n') || next == QLatin1Char('N') ? QChar(QLatin1Char(' ')) : next;
        } else {
            text += c;
        }
    }
    return EventRecord::CleanText(text).trimmed();
}

void ICalImporter::ExtractLine(const QString& line)
{
    const int colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return;
    QString name = rightTrimmed(line.left(colon));
    const int semicolon = name.indexOf(QLatin1Char(';'));
    if (semicolon >= 0)
        name = rightTrimmed(name.left(semicolon));
    const QString value = leftTrimmed(line.mid(colon + 1));
    const QString upper = name.toUpper();
    const bool isEvent = TextEquals(value.trimmed(), QStringLiteral("VEVENT"));
    const bool isAlarm = TextEquals(value.trimmed(), QStringLiteral("VALARM"));

    if (upper == QLatin1String("BEGIN") && isEvent) {
        clearFields();
        m_inAlarm = false;
    } else if (upper == QLatin1String("BEGIN") && isAlarm) {
        m_inAlarm = true;
    } else if (upper == QLatin1String("END") && isAlarm) {
        m_inAlarm = false;
    } else if (upper == QLatin1String("END") && isEvent) {
        FillEvent();
        clearFields();
        m_inAlarm = false;
    } else if (m_inAlarm) {
        return;   // an alarm's own lines (its SUMMARY, say) are not the event's
    } else if (upper == QLatin1String("DTSTART")) {
        m_fields[Start] = value;
    } else if (upper == QLatin1String("DTEND")) {
        m_fields[End] = value;
    } else if (upper == QLatin1String("SUMMARY")) {
        m_fields[Title] = value;
    } else if (upper == QLatin1String("RRULE")) {
        readRule(value);
    }
}

void ICalImporter::readRule(const QString& rule)
{
    // A rule that names no frequency still repeats daily.
    if (m_fields[Frequency].isEmpty())
        m_fields[Frequency] = QStringLiteral("DAILY");
    for (const QString& rawPart : rule.split(QLatin1Char(';'))) {
        const QString part = rawPart.trimmed();
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = rightTrimmed(part.left(eq)).toUpper();
        const QString value = leftTrimmed(part.mid(eq + 1));
        if (name == QLatin1String("FREQ"))
            m_fields[Frequency] = value;
        else if (name == QLatin1String("COUNT"))
            m_fields[Count] = value;
        else if (name == QLatin1String("UNTIL"))
            m_fields[Until] = value;
        else if (name == QLatin1String("INTERVAL"))
            m_fields[Interval] = value;
    }
}

bool ICalImporter::store(const Date& start, const Date& end)
{
    if (start.Year() < m_firstYear || start.Year() > m_firstYear + 2)
        return false;
    QString title = UnescapeText(m_fields[Title]);
    if (title.isEmpty())
        title = QStringLiteral("New Event");
    m_store.SetValue(start.SQLDateTime(), EventRecord::Make(end, title));
    ++m_stored;
    return true;
}

int ICalImporter::FillEvent()
{
    Date raw;
    bool hasTime = false;
    if (!ParseDate(m_fields[Start], raw, hasTime))
        return 0;   // no readable start: the event is skipped
    const bool allDay = !hasTime;
    const Date first = allDay ? Date(raw.Year(), raw.Month(), raw.Day(), 0, 0, 1)
                              : Date(raw.Year(), raw.Month(), raw.Day(), raw.Hour(),
                                     raw.Minute() - raw.Minute() % HalfHour, 0);

    // DTEND is exclusive; a timed event keeps its length when it ends on its own day.
    Date end;
    bool endHasTime = false;
    const bool hasEnd = ParseDate(m_fields[End], end, endHasTime) && raw < end;
    int64_t lengthSeconds = HalfHour * 60;
    if (!allDay && hasEnd) {
        const int64_t minutes = (end.TotalSeconds() - first.TotalSeconds() + 59) / 60;
        const int64_t rounded = std::max<int64_t>(HalfHour, (minutes + HalfHour - 1) / HalfHour * HalfHour);
        Date last = first;
        last.AddSeconds(rounded * 60);
        if (sameDay(first, last) || last == Date(first.Year(), first.Month(), first.Day() + 1))
            lengthSeconds = rounded * 60;
    }

    const bool repeats = !m_fields[Frequency].isEmpty();
    const Step step = repeats ? stepOf(m_fields[Frequency]) : Step::Day;
    const int count = repeats ? m_fields[Count].trimmed().toInt() : 0;
    const int interval = repeats ? std::clamp(m_fields[Interval].trimmed().toInt(), 1, 1000) : 1;
    Date until;
    bool untilHasTime = false;
    const bool hasUntil = repeats && ParseDate(m_fields[Until], until, untilHasTime);
    if (hasUntil && !untilHasTime)
        until = Date(until.Year(), until.Month(), until.Day(), 23, 59, 59);
    const Date rangeEnd(m_firstYear + 2, 12, 31, 23, 59, 59);
    const Date rangeStart(m_firstYear, 1, 1);

    // Day and week repeats that begin long before the calendar's years skip ahead; every
    // skipped occurrence is a valid one, so a count still counts them.
    int64_t index = 0;
    if ((step == Step::Day || step == Step::Week) && first < rangeStart) {
        const int64_t stepDays = (step == Step::Week ? 7 : 1) * interval;
        index = std::max<int64_t>(0, (rangeStart.TotalSeconds() - first.TotalSeconds()) / 86400 / stepDays - 1);
        if (!repeats && !hasEnd)
            index = 0;
    }
    int64_t valid = index;
    int stored = 0;
    for (;; ++index) {
        Date at;
        if (!occurrence(first, step, interval, index, at))
            continue;
        if (rangeEnd < at)
            break;
        if (repeats) {
            if (count > 0 && valid >= count)
                break;
            if (hasUntil && until < at)
                break;
        } else if (index > 0 && !(hasEnd && at < end)) {
            break;
        }
        ++valid;
        Date atEnd = at;
        if (!allDay)
            atEnd.AddSeconds(lengthSeconds);
        if (store(at, atEnd) && ++stored >= MaxOccurrences)
            break;
    }
    return stored;
}

void ICalImporter::ImportText(const QString& text)
{
    QString logical;
    bool have = false;
    for (const QString& line : Files::SplitLines(text)) {
        if (have && !line.isEmpty() && (line.at(0) == QLatin1Char(' ') || line.at(0) == QLatin1Char('\t'))) {
            logical += line.mid(1);
            continue;
        }
        if (have)
            ExtractLine(logical);
        logical = line;
        have = true;
    }
    if (have)
        ExtractLine(logical);
}

int ICalImporter::ImportFolder(const QString& folder)
{
    const int before = m_stored;
    for (const QString& name : Files::List(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (InStr(name, QStringLiteral(".ics")) == 0 || Files::IsFolder(path))
            continue;
        QString text;
        if (Files::ReadText(path, text) != Files::ReadStatus::Ok)
            continue;   // a file that cannot be read is skipped
        clearFields();
        m_inAlarm = false;
        ImportText(text);
    }
    return m_stored - before;
}
