#pragma once
#include "framework/Canvas.h"
#include <QRect>
#include <QSize>

// One of the link areas that float over the calendar window's background picture:
// member Index (1 to 5) of the control array. It draws nothing; the background shows
// through it.
class floatingLinkCanvas : public Canvas
{
    Q_OBJECT
public:
    explicit floatingLinkCanvas(int index, QWidget* parent = nullptr);
    int Index = 0;

    // Where an area given as "left,top,width,height" in pixels of the background picture
    // (as stored, size picture) lies on a work area of size workArea: the picture's pixels
    // are spread over the whole work area from its top-left corner, each value losing its
    // fraction before it is scaled. False (no area) when the text does not hold exactly
    // four numbers, when the area would have no width or height, when the picture has no
    // size, or when the area lies wholly beside the work area. Only its part on the work
    // area is given.
    static bool Placement(const QString& coordinates, const QSize& picture, const QSize& workArea, QRect& area);
};
