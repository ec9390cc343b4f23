#include "framework/ShowURL.h"
#include <QDesktopServices>
#include <QUrl>

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
        return !url.path().trimmed().isEmpty();
    return false;
}

bool ShowURL(const QString& address)
{
    if (!IsOpenableURL(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address.trimmed()));
}
