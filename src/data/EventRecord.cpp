#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/TextFunctions.h"

QString EventRecord::Make(const QString& end, const QString& title, const QString& kind)
{
    QString record = end + Separator + title;
    if (!kind.isEmpty())
        record += Separator + kind;
    return record;
}

QString EventRecord::Make(const Date& end, const QString& title, const QString& kind)
{
    return Make(end.SQLDateTime(), title, kind);
}

qsizetype EventRecord::FindSeparator(QStringView text, qsizetype from)
{
    while (from >= 0 && from < text.size()) {
        const qsizetype slash = text.indexOf(u'/', from);
        if (slash < 0 || slash + 1 >= text.size())
            return -1;
        if (text[slash + 1] == u'/')
            return slash;
        from = slash + 2;
    }
    return -1;
}

QString EventRecord::field(const QString& record, int n) { return fieldView(record, n).toString(); }

QStringView EventRecord::fieldView(const QString& record, int n)
{
    // NthField on "//", without its letter-case folding (a slash has no case): views read
    // fields of every entry.
    qsizetype from = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype at = FindSeparator(record, from);
        if (at < 0)
            return QStringView();
        from = at + Separator.size();
    }
    const qsizetype end = FindSeparator(record, from);
    return QStringView(record).mid(from, end < 0 ? record.size() - from : end - from);
}

bool EventRecord::IsCountdown(const QString& record)
{
    // The kind field looked at in place: asked for every line of the events file.
    const qsizetype first = FindSeparator(record);
    const qsizetype second = first < 0 ? -1 : FindSeparator(record, first + Separator.size());
    if (second < 0)
        return false;
    const qsizetype from = second + Separator.size();
    const qsizetype end = FindSeparator(record, from);
    const QStringView kind = QStringView(record).mid(from, end < 0 ? record.size() - from : end - from);
    return kind.compare(CountdownKind, Qt::CaseInsensitive) == 0;
}

bool EventRecord::End(const QString& record, Date& out)
{
    return Date::ParseSQLDateTime(EndText(record), out);
}

bool EventRecord::ParseKey(const QString& key, Date& out)
{
    // Keys are always full date-times; a bare date is not a key.
    return key.size() == 19 && Date::ParseSQLDateTime(key, out);
}

QString EventRecord::CleanText(const QString& text)
{
    QString clean = text;
    for (QChar& c : clean)
        if (c == QLatin1Char('|') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    while (clean.contains(Separator))
        clean.replace(Separator, QStringLiteral("/"));
    return clean;
}

EventRecord::YearViewFit EventRecord::FitForYearView(const QString& key, const QString& record, Date& start)
{
    if (!ParseKey(key, start))
        return YearViewFit::BadKey;
    Date end = start;   // a copy: a Date made empty would read the clock
    const QStringView endText = fieldView(record, 1);   // in place: asked for every entry of three years
    if (!Date::ParseSQLDateTime(endText, end))
        return YearViewFit::BadEnd;
    return QStringView(key) <= endText ? YearViewFit::Shown : YearViewFit::Hidden;
}
