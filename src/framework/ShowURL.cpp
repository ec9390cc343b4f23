#include "framework/ShowURL.h"
#include <QDesktopServices>
#include <QUrl>
#include <QUrlQuery>

namespace {
// A mail link may fill in the subject and the body and nothing else: "attach=", "cc=",
// "bcc=" and the like would let a link send files or copies the user did not choose.
bool onlySubjectAndBody(const QUrl& url)
{
    // A "?" hidden in the address as %3F would start a query for a client that decodes it.
    if (url.path().contains(QLatin1Char('?')))
        return false;
    if (!url.hasQuery())
        return true;
    const QString query = url.query(QUrl::FullyEncoded);
    if (query.isEmpty())
        return true;
    for (const QString& item : query.split(QLatin1Char('&'))) {
        const QString name = QUrl::fromPercentEncoding(item.section(QLatin1Char('='), 0, 0).toUtf8());
        if (name.compare(QLatin1String("subject"), Qt::CaseInsensitive) != 0
            && name.compare(QLatin1String("body"), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}
} // namespace

bool IsOpenableURL(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return false;
    const QUrl url(text);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    if (scheme == QLatin1String("mailto"))
        return !url.path().trimmed().isEmpty() && onlySubjectAndBody(url);
    return false;
}

bool ShowURL(const QString& address)
{
    if (!IsOpenableURL(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address.trimmed()));
}
