#pragma once
#include <QColor>
#include <QRect>

class QImage;

// The finishing of the calendar window's picture before it is printed.
class PrintCapture
{
public:
    // The colour of today's mark in the year view, which does not belong on paper.
    static inline const QColor MarkColor = QColor(255, 0, 0);
    static inline const QColor FrameColor = QColor(180, 180, 180);

    // Replaces every pixel of exactly MarkColor inside band (clipped to the picture) by the
    // pixel diagonally up and to its left, row by row from the top and each row from the
    // left, so that a run of marked pixels takes the colour found up and left of its start.
    // Pixels of the picture's top row and left column have no such neighbour and stay.
    static void RemoveMark(QImage& picture, const QRect& band);
    // Draws a frame of FrameColor over the picture's outermost pixels.
    static void DrawFrame(QImage& picture);
};
