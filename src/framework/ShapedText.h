#pragma once
#include <QFont>
#include <QString>

class QPainter;
class QPaintDevice;

// One line of text shaped once and kept: drawing the same text in the same font again
// (a year view repaints the same few dozen day numbers, weekday letters and month names
// hundreds of times) skips the shaping, which is most of the cost of drawing a short text.
//
// Draw gives exactly the pixels of QPainter::drawText(QPointF(x, baseline), text) with the
// painter's pen, and Advance the value of QFontMetricsF(font).horizontalAdvance(text)
// (through the device's resolution when one is given), with whatever fonts are installed.
// Only lines that the font shapes whole are kept shaped; a line that needs fallback fonts
// for some of its letters, texts holding a line break or a tab, and fonts not sized in
// pixels are drawn and measured plainly. The kept lines belong to the thread that shaped
// them (as Qt's fonts do); each thread keeps at most about a thousand.
class ShapedText
{
public:
    static void Draw(QPainter& painter, const QFont& font, const QString& text, double x, double baseline);
    static double Advance(const QFont& font, const QString& text, const QPaintDevice* device = nullptr);
    // Whether text is one plain line that can be kept shaped.
    static bool Cacheable(const QString& text);
};
