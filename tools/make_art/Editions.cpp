#include "Editions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace editions {

namespace {

// The keys of "calspc.dat", in the order the reader expects them.
const QStringList& keyTable()
{
    static const QStringList keys = [] {
        QStringList k{"installerFileName", "applicationName", "otherCopyright",
                      "vendorURL", "homeButtonLink"};
        for (int i = 1; i <= 5; ++i)
            k << QString("floatingLink%1").arg(i);
        for (int i = 1; i <= 5; ++i)
            k << QString("floatingLink%1CoordinatesWide").arg(i);
        for (int i = 1; i <= 5; ++i)
            k << QString("floatingLink%1CoordinatesStandard").arg(i);
        k << "customAboutWindow" << "calendarStartYear" << "yearImageStartYear"
          << "topLogoImage" << "topLogoImageMask" << "backgroundImageWide"
          << "backgroundImageStandard" << "bottomImage" << "yearImage0" << "yearImage1"
          << "yearImage2" << "yearImage_x" << "yearImage_y" << "TitleAreaHeight"
          << "CalendarAreaHeightPercentWide" << "CalendarAreaHeightPercentStandard"
          << "leftMargin_pct" << "topMargin_pct" << "tabColor"
          << "calendarBackgroundColor" << "timeTextColor" << "menuColor" << "yearColor"
          << "yearDividerColor" << "monthNamesColor" << "monthNamesFont"
          << "dayHeaderColor" << "daysColor" << "LMlogoColor" << "glanceEventHeaderColor"
          << "glanceEventColor" << "includeHomeButton" << "hideTime" << "rightJustify"
          << "hideYear" << "hideTopBorder" << "hideBottomBorder" << "monthNamesBold"
          << "monthNamesLeftJ" << "monthNamesUppercase" << "monthNamesAbbreviated"
          << "hideMonthDividers" << "includeClickhere" << "includeLMLogo"
          << "LMLogoRightJustify" << "displayImage_centered"
          << "displayImage_bottomJustify" << "bottomImage_keepWidth"
          << "bottomImage_allowStretch" << "scrollImage" << "includeLinkButtons";
        return k;
    }();
    return keys;
}

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "calspc.dat: %s\n", qPrintable(what));
    std::exit(1);
}

// The calendar takes a key's value from the line where the key's name first
// occurs anywhere in the text, ignoring letter case: that must be the key's
// own line, at its start.
void checkLookup(const QString& text)
{
    for (const QString& key : keyTable()) {
        const int at = text.indexOf(key, 0, Qt::CaseInsensitive);
        const QString own = key + "=";
        const int line = text.indexOf(own);
        if (line < 0 || (line > 0 && text[line - 1] != '\n'))
            fail("no line of its own for " + key);
        if (at != line)
            fail("key " + key + " is found before its own line");
    }
}

}  // namespace

void writeSpec(const QString& path, const Values& values)
{
    QString text;
    for (const QString& key : keyTable()) {
        if (!values.contains(key))
            fail("missing key " + key);
        const QString v = values.value(key);
        if (v.contains('=') || v.contains('\n') || v.contains('\r'))
            fail("value of " + key + " holds '=' or a line end");
        if (v != v.trimmed())
            fail("value of " + key + " has blanks around it");
        text += key + "=" + v + "\n";
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (!keyTable().contains(it.key()))
            fail("unknown key " + it.key());
    checkLookup(text);

    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write " + path);
    f.write(text.toUtf8());
    std::printf("%-70s %d lines\n", qPrintable(path), int(keyTable().size()));
}

QString rgb(const QColor& c)
{
    return QString("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
}

QString flag(bool on)
{
    return on ? "True" : "False";
}

QString linkCoordinates(const Band& band, const QRectF& r)
{
    const double top = r.top() * band.stretch;      // stored picture pixels
    const double height = r.height() * band.stretch;
    const int x = int(std::lround(r.left()));
    const int y = int(std::lround(band.titleHeight + top * band.calendarPct));
    const int w = int(std::lround(r.width()));
    const int h = int(std::lround(height * band.calendarPct));
    return QString("%1,%2,%3,%4").arg(x).arg(y).arg(w).arg(h);
}

}  // namespace editions
