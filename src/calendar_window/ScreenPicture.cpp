#include "calendar_window/ScreenPicture.h"
#include "framework/TextFunctions.h"
#include <QRect>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// A whole number of pixels from 1 to limit (a NaN or a negative size gives 1).
int pixels(double wanted, int limit)
{
    return std::clamp(ToInt(std::isfinite(wanted) ? wanted : 1), 1, std::max(1, limit));
}
} // namespace

QSize ScreenPicture::ScaledSize(double width, double height, const QSize& bound)
{
    return QSize(pixels(width, bound.width()), pixels(height, bound.height()));
}

PicturePtr ScreenPicture::Scaled(const PicturePtr& picture, double width, double height, const QSize& bound)
{
    const QSize full(pixels(width, std::numeric_limits<int>::max()), pixels(height, std::numeric_limits<int>::max()));
    const QSize kept = ScaledSize(width, height, bound);
    if (kept == full || !picture || picture->Width() <= 0 || picture->Height() <= 0)
        return picture ? picture->Scaled(kept.width(), kept.height()) : nullptr;

    // The source pixels under the kept middle part, at least one in each direction.
    const double fx = double(picture->Width()) / full.width();
    const double fy = double(picture->Height()) / full.height();
    const double left = (full.width() - kept.width()) / 2.0 * fx;
    const double top = (full.height() - kept.height()) / 2.0 * fy;
    QRect source(int(std::floor(left)), int(std::floor(top)),
                 std::max(1, int(std::ceil(kept.width() * fx))), std::max(1, int(std::ceil(kept.height() * fy))));
    source &= QRect(0, 0, picture->Width(), picture->Height());
    return picture->Cropped(source)->Scaled(kept.width(), kept.height());
}
