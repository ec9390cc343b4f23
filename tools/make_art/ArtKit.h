// Small drawing kit shared by the art generators: canvases, colours, fonts,
// gradients, turning an antialiased drawing into the picture forms the
// calendar reads (opaque picture, picture plus mask, white-is-transparent
// picture), and writing the files.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <functional>
#include <vector>

namespace art {

// A transparent, premultiplied canvas of the given size.
QImage layer(int w, int h);
// An opaque canvas filled with one colour.
QImage solid(int w, int h, const QColor& c);

// A painter with antialiasing for shapes, text and scaled pictures.
void setupPainter(QPainter& p);

QFont font(const QString& family, int pixelSize, bool bold = false,
           bool italic = false, double letterSpacing = 0.0);

// Mixes a and b: t = 0 gives a, t = 1 gives b.
QColor mix(const QColor& a, const QColor& b, double t);
QColor withAlpha(QColor c, int alpha);

// A vertical gradient through colour stops given as (position 0..1, colour).
QLinearGradient vgrad(double y0, double y1,
                      const std::vector<std::pair<double, QColor>>& stops);
QLinearGradient hgrad(double x0, double x1,
                      const std::vector<std::pair<double, QColor>>& stops);

// The fill colour of a background at a pixel, for flattening.
using BackgroundAt = std::function<QColor(int x, int y)>;

// Composes a transparent drawing over a background and gives an opaque
// picture. With whiteClear set, pixels the drawing does not touch become pure
// white (the transparent colour) and touched pixels never are pure white.
QImage flatten(const QImage& drawing, const BackgroundAt& bg, bool whiteClear);

// Splits a transparent drawing into a picture and its mask (black opaque,
// white clear, grey partial). Untouched pixels of the picture are white, and
// with avoidWhite set touched pixels never are pure white.
struct Masked {
    QImage picture;
    QImage mask;
};
Masked splitMask(const QImage& drawing, bool avoidWhite);

// A mask that is opaque everywhere.
QImage opaqueMask(int w, int h);

// Writes a picture without an alpha channel. PNG unless the name ends in
// ".jpg", then JPEG at the given quality. Creates the folder when needed.
void save(const QImage& img, const QString& path, int jpegQuality = 90);

// Deterministic pseudo-random numbers for stars and grain.
class Random {
public:
    explicit Random(unsigned seed) : m_state(seed ? seed : 1u) {}
    double next();  // 0 <= value < 1
private:
    unsigned m_state;
};

// A rolling skyline: sum of sines, used for hills. Returns the y of the
// ridge at x for a band centred on baseY with the given amplitude.
double ridge(double x, double width, double baseY, double amplitude, int seed);
// Closed path of the region under a ridge, down to bottomY.
QPainterPath hillPath(double width, double baseY, double amplitude, int seed,
                      double bottomY);

// Returns the rectangle of a text drawn with its baseline at y and centred
// on cx, after drawing it.
QRectF drawCentred(QPainter& p, const QString& text, double cx, double baseline);

}  // namespace art
