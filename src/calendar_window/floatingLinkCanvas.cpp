#include "calendar_window/floatingLinkCanvas.h"
#include "framework/TextFunctions.h"
#include <QStringList>
#include <algorithm>
#include <cmath>

floatingLinkCanvas::floatingLinkCanvas(int index, QWidget* parent) : Canvas(parent), Index(index) {}

namespace {
// A whole number of picture pixels from one field; false for anything but a number of
// sensible size.
bool wholeNumber(const QString& field, int& value)
{
    bool ok = false;
    const double number = field.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 1000000)
        return false;
    value = ToInt(number);
    return true;
}
} // namespace

bool floatingLinkCanvas::Placement(const QString& coordinates, const QSize& picture, const QSize& workArea,
                                   QRect& area)
{
    const QStringList fields = coordinates.split(QLatin1Char(','));
    if (fields.size() != 4 || picture.width() <= 0 || picture.height() <= 0)
        return false;
    int x = 0, y = 0, w = 0, h = 0;
    if (!wholeNumber(fields[0], x) || !wholeNumber(fields[1], y) || !wholeNumber(fields[2], w)
        || !wholeNumber(fields[3], h))
        return false;
    const int availW = workArea.width();
    const int availH = workArea.height();
    const float sx = float(availW) / float(picture.width());
    const float sy = float(availH) / float(picture.height());
    const int left = ToInt(double(qint64(x) * availW) / picture.width());
    const int top = ToInt(y * double(sy));
    const int width = ToInt(w * double(sx));
    const int height = ToInt(h * double(sy));
    if (width <= 0 || height <= 0)
        return false;
    // Only the part on the work area can be clicked; a tiny background picture can scale
    // the numbers beyond what a QRect holds, so the sums are made in 64 bits.
    const qint64 right = std::min<qint64>(qint64(left) + width, availW);
    const qint64 bottom = std::min<qint64>(qint64(top) + height, availH);
    const int clippedLeft = std::max(left, 0);
    const int clippedTop = std::max(top, 0);
    if (right <= clippedLeft || bottom <= clippedTop)
        return false;
    area = QRect(clippedLeft, clippedTop, int(right - clippedLeft), int(bottom - clippedTop));
    return true;
}
