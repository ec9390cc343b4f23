#include "ArtKit.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace art {

QImage layer(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage solid(int w, int h, const QColor& c)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(c);
    return img;
}

void setupPainter(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont font(const QString& family, int pixelSize, bool bold, bool italic,
           double letterSpacing)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0.0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()),
                  m(a.blue(), b.blue()), m(a.alpha(), b.alpha()));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QLinearGradient vgrad(double y0, double y1,
                      const std::vector<std::pair<double, QColor>>& stops)
{
    QLinearGradient g(0, y0, 0, y1);
    for (const auto& [pos, c] : stops)
        g.setColorAt(pos, c);
    return g;
}

QLinearGradient hgrad(double x0, double x1,
                      const std::vector<std::pair<double, QColor>>& stops)
{
    QLinearGradient g(x0, 0, x1, 0);
    for (const auto& [pos, c] : stops)
        g.setColorAt(pos, c);
    return g;
}

namespace {

QColor notWhite(QColor c)
{
    if (c.red() == 255 && c.green() == 255 && c.blue() == 255)
        return QColor(254, 254, 254);
    return c;
}

}  // namespace

QImage flatten(const QImage& drawing, const BackgroundAt& bg, bool whiteClear)
{
    const QImage src = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(s[x]);
            if (a == 0) {
                d[x] = whiteClear ? qRgb(255, 255, 255) : bg(x, y).rgb();
                continue;
            }
            const QColor b = bg(x, y);
            const double t = a / 255.0;
            QColor c(int(std::lround(qRed(s[x]) * t + b.red() * (1 - t))),
                     int(std::lround(qGreen(s[x]) * t + b.green() * (1 - t))),
                     int(std::lround(qBlue(s[x]) * t + b.blue() * (1 - t))));
            d[x] = (whiteClear ? notWhite(c) : c).rgb();
        }
    }
    return out;
}

Masked splitMask(const QImage& drawing, bool avoidWhite)
{
    const QImage src = drawing.convertToFormat(QImage::Format_ARGB32);
    Masked m{QImage(src.size(), QImage::Format_RGB32),
             QImage(src.size(), QImage::Format_RGB32)};
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* p = reinterpret_cast<QRgb*>(m.picture.scanLine(y));
        QRgb* k = reinterpret_cast<QRgb*>(m.mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(s[x]);
            const int g = 255 - a;
            k[x] = qRgb(g, g, g);
            if (a == 0) {
                p[x] = qRgb(255, 255, 255);
                continue;
            }
            const QColor c(qRed(s[x]), qGreen(s[x]), qBlue(s[x]));
            p[x] = (avoidWhite ? notWhite(c) : c).rgb();
        }
    }
    return m;
}

QImage opaqueMask(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

void save(const QImage& img, const QString& path, int jpegQuality)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    const bool jpeg = path.endsWith(".jpg", Qt::CaseInsensitive);
    if (!rgb.save(path, jpeg ? "JPEG" : "PNG", jpeg ? jpegQuality : -1)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%-70s %5d x %-5d %7lld bytes\n", qPrintable(path), img.width(),
                img.height(), static_cast<long long>(QFileInfo(path).size()));
}

double Random::next()
{
    m_state = m_state * 1664525u + 1013904223u;
    return (m_state >> 8) / double(1u << 24);
}

double ridge(double x, double width, double baseY, double amplitude, int seed)
{
    const double u = x / width * 2.0 * M_PI;
    const double s = seed * 1.7;
    const double v = 0.55 * std::sin(u * 1.0 + s) + 0.30 * std::sin(u * 2.3 + s * 2.1)
                     + 0.15 * std::sin(u * 5.1 + s * 0.7);
    return baseY - amplitude * v;
}

QPainterPath hillPath(double width, double baseY, double amplitude, int seed,
                      double bottomY)
{
    QPainterPath path;
    path.moveTo(-2, bottomY);
    const int steps = std::max(64, int(width / 6));
    for (int i = 0; i <= steps; ++i) {
        const double x = -2 + (width + 4) * i / steps;
        path.lineTo(x, ridge(x, width, baseY, amplitude, seed));
    }
    path.lineTo(width + 2, bottomY);
    path.closeSubpath();
    return path;
}

QRectF drawCentred(QPainter& p, const QString& text, double cx, double baseline)
{
    const QFontMetricsF fm(p.font());
    const double w = fm.horizontalAdvance(text);
    p.drawText(QPointF(cx - w / 2, baseline), text);
    return QRectF(cx - w / 2, baseline - fm.ascent(), w, fm.height());
}

}  // namespace art
