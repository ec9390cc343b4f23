#pragma once
#include "framework/Date.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "shell/InterfacePictures.h"
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <ostream>

// Helpers for tests that check painting by its pixels. A control is painted into an image
// filled with a colour it never uses; the test works out from the drawing rules where a
// shape or a text must stand and asks the image what was painted there.
//
// Text is drawn antialiased, so a glyph's edge pixels are blends of the text colour and
// what lies under it. Coverage tells how far a pixel went from the background towards a
// colour; a pixel painted in another colour is not a blend of the two and counts as none.
namespace Pixels {

inline QImage Render(QWidget* widget, const QColor& background)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(background);
    widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// What the screen shows of widget: its part of the window's backing store, grabbed the way
// the platform grabs a window, once the event loop has run the repaints asked for. Nothing
// is painted afresh, so a change that asked for no repaint still shows the old pixels.
inline QImage Shown(QWidget* widget)
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QWidget* window = widget->window();
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// How far pixel went from background towards colour along the line between them (1 at
// colour, more for a stronger shade of it), or -1 when it lies more than a few steps off
// that line (painted in some other colour).
inline double Towards(const QColor& pixel, const QColor& background, const QColor& colour)
{
    const double d[3] = {double(colour.red() - background.red()), double(colour.green() - background.green()),
                         double(colour.blue() - background.blue())};
    const double p[3] = {double(pixel.red() - background.red()), double(pixel.green() - background.green()),
                         double(pixel.blue() - background.blue())};
    const double length2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    const double a = length2 == 0 ? 0 : (p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) / length2;
    double off2 = 0;
    for (int i = 0; i < 3; ++i)
        off2 += (p[i] - a * d[i]) * (p[i] - a * d[i]);
    return length2 == 0 || off2 > 36 ? -1 : std::max(0.0, a);
}

// 0 for the background, 1 for colour, between for a blend of the two; -1 for anything else.
inline double Coverage(const QColor& pixel, const QColor& background, const QColor& colour)
{
    const double a = Towards(pixel, background, colour);
    return a > 1.02 ? -1 : a;
}

// The box of the pixels in area that went at least half way from background to colour;
// an empty rectangle when there are none.
inline QRect Ink(const QImage& image, const QRect& area, const QColor& colour, const QColor& background)
{
    QRect box;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (Coverage(image.pixelColor(x, y), background, colour) >= 0.5)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The farthest any pixel in area went towards colour: about 1 where text was drawn in
// colour, more where it was drawn in a stronger shade of it (black for a grey).
inline double Strongest(const QImage& image, const QRect& area, const QColor& colour, const QColor& background)
{
    double strongest = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            strongest = std::max(strongest, Towards(image.pixelColor(x, y), background, colour));
    return strongest;
}

// How many pixels in area are exactly colour.
inline int Count(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// Where the ink of text drawn with font (underline included) at x, with its baseline at y,
// stands: the text is drawn by Qt itself into a scratch image, the way any text reaches the
// screen, and the pixels it covered at least half are boxed.
inline QRect TextBox(const QString& text, const QFont& font, int x, int baseline)
{
    const QFontMetrics metrics(font);
    const int pad = 2 * metrics.height();
    const QPoint origin(pad, pad);
    QImage scratch(metrics.horizontalAdvance(text) + 2 * pad, 2 * pad, QImage::Format_ARGB32);
    scratch.fill(Qt::white);
    {
        QPainter painter(&scratch);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(origin, text);
    }
    return Ink(scratch, scratch.rect(), Qt::black, Qt::white).translated(x - origin.x(), baseline - origin.y());
}

// Whether two boxes agree within tolerance pixels on every edge (antialiasing and hinting
// may move an edge by a pixel).
inline bool Near(const QRect& a, const QRect& b, int tolerance = 1)
{
    return !a.isEmpty() && !b.isEmpty() && std::abs(a.left() - b.left()) <= tolerance
           && std::abs(a.top() - b.top()) <= tolerance && std::abs(a.right() - b.right()) <= tolerance
           && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

} // namespace Pixels

inline std::ostream& operator<<(std::ostream& out, const QRect& r)
{
    return out << "(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
}
inline std::ostream& operator<<(std::ostream& out, const QColor& c)
{
    return out << "rgb(" << c.red() << "," << c.green() << "," << c.blue() << ")";
}

// Runs the program on a day of the test's choosing while it lives.
class FixedClock
{
public:
    explicit FixedClock(const Date& now) : m_previous(Date::SetClock([now] { return now; })) {}
    ~FixedClock() { Date::SetClock(m_previous); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

private:
    Date::Clock m_previous;
};

// Qt's offscreen platform offers no public way to give its screen another size. A real
// screen change reaches Qt through this hook of its window-system layer (exported by QtGui),
// which the test calls the same way.
class QWindowSystemInterface
{
public:
    static void handleScreenGeometryChange(QScreen* screen, const QRect& geometry, const QRect& available);
};

// Gives the main screen another size while it lives (work area = the whole screen).
class ScreenSize
{
public:
    ScreenSize(int width, int height)
        : m_geometry(QGuiApplication::primaryScreen()->geometry()),
          m_available(QGuiApplication::primaryScreen()->availableGeometry())
    {
        set(QRect(0, 0, width, height), QRect(0, 0, width, height));
    }
    ~ScreenSize() { set(m_geometry, m_available); }
    ScreenSize(const ScreenSize&) = delete;
    ScreenSize& operator=(const ScreenSize&) = delete;

private:
    static void set(const QRect& geometry, const QRect& available)
    {
        QWindowSystemInterface::handleScreenGeometryChange(QGuiApplication::primaryScreen(), geometry, available);
        QCoreApplication::processEvents();
    }
    QRect m_geometry, m_available;
};

// Replaces the interface pictures, while it lives, by pictures of their own sizes in one
// colour each (PlainPictures::Colour), so that what a control draws over them can be told
// apart from them. The three masks are black (opaque) all over. Pictures that hold two
// frames side by side (the menu toggle's) have their second frame, from x 16, in
// SecondFrame(number).
class PlainPictures
{
public:
    PlainPictures()
    {
        InterfacePictures::SetSource([](int number) -> PicturePtr {
            const PicturePtr real = Picture::OpenAsPicture(Path(number));
            if (!real)
                return nullptr;
            const PicturePtr plain = Picture::New(real->Width(), real->Height(), 32);
            Graphics& g = plain->Graphics();
            g.SetForeColor(Colour(number));
            g.FillRect(0, 0, real->Width(), real->Height());
            if (number == 178 || number == 179) {
                g.SetForeColor(SecondFrame(number));
                g.FillRect(16, 0, real->Width() - 16, real->Height());
            }
            return plain;
        });
    }
    ~PlainPictures()
    {
        InterfacePictures::SetSource([](int number) { return Picture::OpenAsPicture(Path(number)); });
    }
    PlainPictures(const PlainPictures&) = delete;
    PlainPictures& operator=(const PlainPictures&) = delete;

    static QColor Colour(int number)
    {
        if (number == 169 || number == 180 || number == 186)
            return QColor(0, 0, 0);
        return QColor(40 + (number - 168) * 7, 90 + (number % 5) * 20, 200 - (number - 168) * 5);
    }
    static QColor SecondFrame(int number) { return QColor(10, 200 - (number - 178) * 50, 60); }
    static QString Path(int number) { return QStringLiteral(":/resources/interface/%1.png").arg(number); }
};
