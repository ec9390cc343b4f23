#include "framework/TextFunctions.h"
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {
// Searches ignore letter case; a separator without cased characters ("//", "|", TAB) is
// found the same either way, and the exact search is several times faster.
Qt::CaseSensitivity caseFor(const QString& separator)
{
    for (const QChar c : separator)
        if (c.toCaseFolded() != c || c.toUpper() != c)
            return Qt::CaseInsensitive;
    return Qt::CaseSensitive;
}
} // namespace

QString NthField(const QString& text, const QString& separator, int n)
{
    if (n < 1 || separator.isEmpty())
        return QString();
    const Qt::CaseSensitivity cs = caseFor(separator);
    int from = 0;
    for (int field = 1; field < n; ++field) {
        const int at = text.indexOf(separator, from, cs);
        if (at < 0)
            return QString();
        from = at + separator.size();
    }
    const int end = text.indexOf(separator, from, cs);
    return end < 0 ? text.mid(from) : text.mid(from, end - from);
}

int CountFields(const QString& text, const QString& separator)
{
    if (text.isEmpty())
        return 0;
    if (separator.isEmpty())
        return 1;
    int count = 1, from = 0;
    for (;;) {
        const int at = text.indexOf(separator, from, Qt::CaseInsensitive);
        if (at < 0)
            return count;
        ++count;
        from = at + separator.size();
    }
}

int InStr(int start, const QString& text, const QString& find)
{
    if (start < 1)
        start = 1;
    if (find.isEmpty())
        return start <= text.size() + 1 ? start : 0;
    const int at = text.indexOf(find, start - 1, Qt::CaseInsensitive);
    return at < 0 ? 0 : at + 1;
}

int InStr(const QString& text, const QString& find) { return InStr(1, text, find); }

QString Mid(const QString& text, int start, int length)
{
    if (start < 1)
        start = 1;
    return length < 0 ? text.mid(start - 1) : text.mid(start - 1, length);
}

QString Left(const QString& text, int count) { return count <= 0 ? QString() : text.left(count); }
QString Right(const QString& text, int count) { return count <= 0 ? QString() : text.right(count); }

double Val(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

QString Str(long long value) { return QString::number(value); }

QString Str(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

bool TextEquals(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

int ToInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double t = std::trunc(value);
    if (t >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (t <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(t);
}
