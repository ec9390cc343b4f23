#pragma once
#include "framework/Picture.h"
#include <QSize>

// Scaling a branding picture for the calendar window without ever making a copy larger than
// the screen. A picture scaled to a size beyond bound is cut to the middle bound-sized part
// of what the full scale would have been, which is the part the window shows of a centred
// picture; the full-scale pixels outside it are never made. Sizes are real numbers, so a
// wanted size too large for an int does no harm.
class ScreenPicture
{
public:
    // picture scaled to width x height (each at least one pixel), cut to at most bound.
    static PicturePtr Scaled(const PicturePtr& picture, double width, double height, const QSize& bound);
    // The size Scaled gives: width x height rounded toward zero, at least 1 x 1, at most bound.
    static QSize ScaledSize(double width, double height, const QSize& bound);
};
