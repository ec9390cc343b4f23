#include "glance/PrintCapture.h"
#include <QImage>

void PrintCapture::RemoveMark(QImage& picture, const QRect& band)
{
    const QRect area = band.intersected(picture.rect().adjusted(1, 1, 0, 0));
    const QRgb mark = MarkColor.rgb();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (picture.pixel(x, y) == mark)
                picture.setPixel(x, y, picture.pixel(x - 1, y - 1));
        }
    }
}

void PrintCapture::DrawFrame(QImage& picture)
{
    if (picture.isNull())
        return;
    const QRgb frame = FrameColor.rgb();
    const int right = picture.width() - 1, bottom = picture.height() - 1;
    for (int x = 0; x <= right; ++x) {
        picture.setPixel(x, 0, frame);
        picture.setPixel(x, bottom, frame);
    }
    for (int y = 0; y <= bottom; ++y) {
        picture.setPixel(0, y, frame);
        picture.setPixel(right, y, frame);
    }
}
