// Branding editions: their specification file "calspc.dat" and pictures.
#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QRectF>
#include <QString>

namespace editions {

// Values of one "calspc.dat", by key. The writer puts them out in the
// order of the key table and refuses a file that misses a key, holds an
// unknown key, or whose keys would be found on the wrong line.
using Values = QMap<QString, QString>;

void writeSpec(const QString& path, const Values& values);

QString rgb(const QColor& c);
QString flag(bool on);

// Geometry shared by a background picture and the keys that refer to it.
// The calendar paints the background stretched over the calendar band,
// below the title band; floating link areas and the year picture are given
// in pixels of the stored picture.
struct Band {
    int width = 0;          // background picture, pixels
    int height = 0;
    double stretch = 1.0;   // stored height / designed height (see below)
    double titleHeight = 0; // "TitleAreaHeight", pixels of the picture
    double calendarPct = 0; // "CalendarAreaHeightPercent..." of this shape

    // The art is designed for the band's usual proportions on screen and
    // stored stretched vertically by `stretch`, so the calendar's squeeze of
    // the picture into the band gives the shapes back their proportions.
    double designHeight() const { return height / stretch; }
};

// "left,top,width,height" of a floating link area over a rectangle given in
// designed coordinates of the background: the calendar maps link
// coordinates onto the whole work area while it paints the background in
// the band below the title, so the top is moved down by the title band and
// both top and height are scaled by the band's share of the work area.
QString linkCoordinates(const Band& band, const QRectF& designRect);

}  // namespace editions

namespace standard_edition {
void make(const QString& brandingDir, int firstYear);
}

namespace tranquil_edition {
void make(const QString& brandingDir, int firstYear);
}
