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

QString EventRecord::field(const QString& record, int n) { return NthField(record, Separator, n); }

bool EventRecord::IsCountdown(const QString& record) { return TextEquals(Kind(record), CountdownKind); }

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
    if (start.SQLDateTime() != key)
        return YearViewFit::Damaged;
    Date end = start;   // a copy: a Date made empty would read the clock
    if (!End(record, end))
        return YearViewFit::BadEnd;
    return key <= EndText(record) ? YearViewFit::Shown : YearViewFit::Hidden;
}
