#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/ShapedText.h"
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <future>
#include <system_error>
#include <QHash>
#include <QFontMetricsF>
#include <QPolygonF>
#include <algorithm>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {

constexpr int DefaultTextSize = 12;

// Splits text into its lines (at CR LF, CR and LF) and, with wrapWidth > 0, wraps each
// line at blanks so that no line is wider than wrapWidth (a longer word keeps its own line).
QStringList layoutLines(const QString& text, const QFontMetricsF& metrics, int wrapWidth)
{
    // Most texts are one unwrapped line: no pattern matching for them.
    const bool oneLine = !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
    if (oneLine && wrapWidth <= 0)
        return QStringList(text);
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList paragraphs = oneLine ? QStringList(text) : text.split(lineBreak);
    if (wrapWidth <= 0)
        return paragraphs;
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        const QStringList words = paragraph.split(QLatin1Char(' '));
        QString line;
        bool first = true;
        for (const QString& word : words) {
            const QString candidate = first ? word : line + QLatin1Char(' ') + word;
            if (!first && metrics.horizontalAdvance(candidate) > wrapWidth) {
                lines.append(line);
                line = word;
            } else {
                line = candidate;
            }
            first = false;
        }
        lines.append(line);
    }
    return lines;
}

// The installed families that the names of MakeFont map to.
const QString SansFamily = QStringLiteral("Liberation Sans");
const QString WideSansFamily = QStringLiteral("DejaVu Sans");
const QString CondensedSansFamily = QStringLiteral("DejaVu Sans Condensed");
// Where a font lacks a letter, Qt takes it from fontconfig's fallback fonts in their order of
// likeness to the font, and black-and-white symbol fonts (DejaVu, Noto Sans Symbols2, the
// CJK fonts) come before the colour emoji font there: a typed coffee cup or smiley would
// show as another font's outline. The colour emoji font is asked first instead; where it is
// not installed, Qt skips it.
const QString EmojiFamily = QStringLiteral("Noto Color Emoji");

// Whether text holds a letter from U+2000 up, where every emoji lies: below it lie the
// alphabets (and the copyright and registered signs, which the mapped fonts have).
bool mayHoldEmoji(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2000; });
}

QString resolveFamily(const QString& name, bool* forceBold)
{
    const QString key = name.trimmed().toLower();
    *forceBold = false;
    if (key.isEmpty() || key == QLatin1String("system") || key == QLatin1String("smallsystem")
        || key == QLatin1String("arial") || key == QLatin1String("helvetica"))
        return SansFamily;
    if (key == QLatin1String("tahoma") || key == QLatin1String("verdana")
        || key == QLatin1String("webdings"))
        return WideSansFamily;
    if (key == QLatin1String("impact")) {
        *forceBold = true;
        return CondensedSansFamily;
    }
    if (QFontDatabase::hasFamily(name.trimmed()))
        return name.trimmed();
    return SansFamily;
}

// Fonts are made once per name, size and style and handed out as copies of one QFont:
// the copies share the font's resolved engine, so neither the name's mapping (a font
// database search for names that are not installed) nor Qt's font matching runs again
// for the next control or text that uses the same font. Fonts belong to the thread that
// made them, hence one cache per thread.
struct FontKey {
    QString name;
    int pixelSize;
    int style;   // bold, italic, underline bits
    bool operator==(const FontKey& other) const
    {
        return pixelSize == other.pixelSize && style == other.style && name == other.name;
    }
};

size_t qHash(const FontKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.pixelSize, key.style);
}

QFont resolvedFont(const QString& name, int pixelSize, bool bold, bool italic, bool underline)
{
    thread_local QHash<FontKey, QFont> fonts;
    const FontKey key{name, pixelSize, (bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0)};
    const auto found = fonts.constFind(key);
    if (found != fonts.constEnd())
        return found.value();
    thread_local QHash<QString, QPair<QString, bool>> families;   // name -> family, force bold
    auto family = families.constFind(name);
    if (family == families.constEnd()) {
        bool forceBold = false;
        const QString resolved = resolveFamily(name, &forceBold);
        family = families.insert(name, qMakePair(resolved, forceBold));
    }
    QFont font;
    font.setFamily(family->first);
    font.setPixelSize(pixelSize);
    font.setBold(bold || family->second);
    font.setItalic(italic);
    font.setUnderline(underline);
    // Its engine is loaded when a copy is first measured or drawn with (the copies share
    // it from then on): a control made before the font database is read does not wait.
    return fonts.insert(key, font).value();
}

} // namespace

// A painter for one operation: the external one (its state saved and restored), or one
// opened on the picture's image, which is marked as changed afterwards.
class Graphics::PainterScope
{
public:
    explicit PainterScope(Graphics& g) : m_g(g)
    {
        if (g.m_painter) {
            m_p = g.m_painter;
            m_p->save();
        } else if (g.m_picture && !g.m_picture->Image().isNull()) {
            m_own.begin(&g.m_picture->MutableImage());
            m_p = &m_own;
        }
        if (m_p) {
            m_p->setRenderHint(QPainter::Antialiasing, false);
            m_p->setRenderHint(QPainter::SmoothPixmapTransform, true);
        }
    }
    ~PainterScope()
    {
        if (!m_p)
            return;
        if (m_p == &m_own) {
            m_own.end();
            m_g.m_picture->Modified();
        } else {
            m_p->restore();
        }
    }
    PainterScope(const PainterScope&) = delete;
    PainterScope& operator=(const PainterScope&) = delete;
    QPainter* operator->() { return m_p; }
    QPainter& operator*() { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    Graphics& m_g;
    QPainter* m_p = nullptr;
    QPainter m_own;
};

Graphics::Graphics(QPainter* painter, int width, int height)
    : m_painter(painter), m_width(width), m_height(height)
{
}

Graphics::Graphics(Picture* picture)
    : m_picture(picture), m_width(picture ? picture->Width() : 0), m_height(picture ? picture->Height() : 0)
{
}

Graphics::~Graphics() = default;

QFont Graphics::MakeFont(const QString& name, int pixelSize, bool bold, bool italic, bool underline)
{
    return resolvedFont(name, pixelSize > 0 ? pixelSize : DefaultTextSize, bold, italic, underline);
}

QFont Graphics::WithEmoji(const QFont& font)
{
    // Made once per font and thread, as the fonts themselves are: the first text that needs
    // a fallback font has Qt sort the installed fonts for that font's fallbacks (a
    // millisecond or more with many fonts installed), which a plain text never needs.
    thread_local QHash<QFont, QFont> fonts;
    const auto found = fonts.constFind(font);
    if (found != fonts.constEnd())
        return found.value();
    QFont withEmoji(font);
    withEmoji.setFamilies({font.families().value(0, font.family()), EmojiFamily});
    return fonts.insert(font, withEmoji).value();
}

QFont Graphics::FontFor(const QFont& font, const QString& text)
{
    return mayHoldEmoji(text) ? WithEmoji(font) : font;
}

namespace {
std::future<void>& fontConfiguration()
{
    static std::future<void> configured;
    return configured;
}
} // namespace

void Graphics::StartFontConfiguration()
{
    // fontconfig reads the environment while it sets itself up, and the application
    // object's making takes DESKTOP_STARTUP_ID out of it (the desktop's start notice):
    // where that is set, fontconfig is set up with the font database, afterwards.
    if (qEnvironmentVariableIsSet("DESKTOP_STARTUP_ID") || fontConfiguration().valid())
        return;
    try {
        fontConfiguration() = std::async(std::launch::async, [] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the font database's reading sets fontconfig up itself.
    }
}

void Graphics::ReadMappedFamilies()
{
    if (fontConfiguration().valid())
        fontConfiguration().wait();
    for (const QString& family : {SansFamily, WideSansFamily, CondensedSansFamily})
        QFontDatabase::styles(family);
}

bool Graphics::IsWebdings(const QString& name)
{
    return name.trimmed().compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0;
}

QFont Graphics::CurrentFont() const
{
    return MakeFont(m_textFont, m_textSize, m_bold, m_italic, m_underline);
}

int Graphics::TextAscent() const
{
    return QFontMetrics(CurrentFont()).ascent();
}

int Graphics::TextHeight() const
{
    return QFontMetrics(CurrentFont()).height();
}

double Graphics::StringWidth(const QString& text) const
{
    const QFont font = FontFor(CurrentFont(), text);
    if (IsWebdings(m_textFont))
        return double(text.size()) * font.pixelSize();
    if (ShapedText::Cacheable(text))
        return ShapedText::Advance(font, text);
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const QString& line : layoutLines(text, metrics, 0))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

int Graphics::StringHeight(const QString& text, int wrapWidth) const
{
    const QFont font = FontFor(CurrentFont(), text);
    const QFontMetricsF metrics(font);
    const int lines = IsWebdings(m_textFont) ? 1 : int(layoutLines(text, metrics, wrapWidth).size());
    return lines * QFontMetrics(font).height();
}

QRect Graphics::webdingsGlyphRect(int x, int y) const
{
    // The arrow glyphs of that font are triangles of about half an em, standing on the
    // baseline in the middle of a one-em advance.
    const int size = CurrentFont().pixelSize();
    const int side = std::max(3, int(std::lround(size * 0.55)));
    const int left = x + (size - side) / 2;
    const int bottom = y - int(std::lround(size * 0.05));
    return QRect(left, bottom - side, side, side);
}

void Graphics::drawWebdings(const QString& text, int x, int y)
{
    const int size = CurrentFont().pixelSize();
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QRect box = webdingsGlyphRect(x + i * size, y);
        Arrow direction;
        if (c == QLatin1Char('3'))
            direction = Arrow::Left;
        else if (c == QLatin1Char('4'))
            direction = Arrow::Right;
        else if (c == QLatin1Char('5'))
            direction = Arrow::Up;
        else if (c == QLatin1Char('6'))
            direction = Arrow::Down;
        else
            continue; // other symbols of that font are not drawn
        DrawTriangleArrow(direction, box);
    }
}

void Graphics::DrawString(const QString& text, int x, int y, int wrapWidth)
{
    if (IsWebdings(m_textFont)) {
        drawWebdings(text, x, y);
        return;
    }
    // Most texts are one line, drawn again and again: shaped once. Through a paint event's
    // painter only what the drawing uses is set and set back, not the whole state saved:
    // a year view draws hundreds of texts.
    if (wrapWidth <= 0 && ShapedText::Cacheable(text) && m_painter) {
        QPainter& p = *m_painter;
        const QPen pen = p.pen();
        const bool antialiased = p.testRenderHint(QPainter::Antialiasing);
        if (antialiased)   // an underline is a line, and lines are not antialiased
            p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(m_foreColor);
        ShapedText::Draw(p, FontFor(CurrentFont(), text), text, x, y);
        p.setPen(pen);
        if (antialiased)
            p.setRenderHint(QPainter::Antialiasing, true);
        return;
    }
    PainterScope p(*this);
    if (!p)
        return;
    const QFont font = FontFor(CurrentFont(), text);
    p->setPen(m_foreColor);
    if (wrapWidth <= 0 && ShapedText::Cacheable(text)) {
        ShapedText::Draw(*p, font, text, x, y);
        return;
    }
    p->setFont(font);
    const QFontMetricsF metrics(font);
    const int step = QFontMetrics(font).height();
    const QStringList lines = layoutLines(text, metrics, wrapWidth);
    for (int i = 0; i < lines.size(); ++i)
        p->drawText(QPoint(x, y + i * step), lines.at(i));
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2)
{
    PainterScope p(*this);
    if (!p)
        return;
    QPen pen(m_foreColor);
    pen.setWidth(std::max(m_penWidth, m_penHeight));
    pen.setCapStyle(Qt::SquareCap);
    p->setPen(pen);
    p->drawLine(x1, y1, x2, y2);
}

void Graphics::DrawRect(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    PainterScope p(*this);
    if (!p)
        return;
    const int pw = std::min(m_penWidth, w);
    const int ph = std::min(m_penHeight, h);
    p->fillRect(QRect(x, y, w, ph), m_foreColor);
    p->fillRect(QRect(x, y + h - ph, w, ph), m_foreColor);
    p->fillRect(QRect(x, y, pw, h), m_foreColor);
    p->fillRect(QRect(x + w - pw, y, pw, h), m_foreColor);
}

void Graphics::FillRect(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    PainterScope p(*this);
    if (p)
        p->fillRect(QRect(x, y, w, h), m_foreColor);
}

void Graphics::DrawOval(int x, int y, int w, int h)
{
    drawRound(x, y, w, h, -1, -1, false);
}

void Graphics::FillOval(int x, int y, int w, int h)
{
    drawRound(x, y, w, h, -1, -1, true);
}

void Graphics::DrawRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight)
{
    drawRound(x, y, w, h, std::max(0, arcWidth), std::max(0, arcHeight), false);
}

void Graphics::FillRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight)
{
    drawRound(x, y, w, h, std::max(0, arcWidth), std::max(0, arcHeight), true);
}

// Ovals (arcWidth < 0) and rounded rectangles are set pixel by pixel, so that they cover
// exactly w x h pixels and come out symmetric: a pixel belongs to the filled shape when its
// centre lies inside it. A one-pixel outline is the filled shape's border (its pixels with
// a neighbour outside the shape); a wider pen gives the band between the shape and the
// shape inset by the pen.
void Graphics::drawRound(int x, int y, int w, int h, int arcWidth, int arcHeight, bool fill)
{
    if (w <= 0 || h <= 0)
        return;
    struct Shape {
        double w, h, rx, ry;
        bool contains(double px, double py) const
        {
            if (w <= 0 || h <= 0 || px < 0 || py < 0 || px > w || py > h)
                return false;
            const double cx = px < rx ? rx : (px > w - rx ? w - rx : px);
            const double cy = py < ry ? ry : (py > h - ry ? h - ry : py);
            if (cx == px || cy == py || rx <= 0 || ry <= 0)
                return true;
            const double dx = (px - cx) / rx, dy = (py - cy) / ry;
            return dx * dx + dy * dy <= 1.0 + 1e-9;
        }
    };
    const bool oval = arcWidth < 0;
    const double rx = oval ? w / 2.0 : std::min(arcWidth / 2.0, w / 2.0);
    const double ry = oval ? h / 2.0 : std::min(arcHeight / 2.0, h / 2.0);
    const Shape outer{double(w), double(h), rx, ry};
    const int pw = m_penWidth, ph = m_penHeight;
    const Shape inner{double(w) - 2.0 * pw, double(h) - 2.0 * ph, std::max(0.0, rx - pw), std::max(0.0, ry - ph)};
    const bool thin = pw == 1 && ph == 1;
    auto in = [&](int i, int j) { return outer.contains(i + 0.5, j + 0.5); };
    auto set = [&](int i, int j) {
        if (!in(i, j))
            return false;
        if (fill)
            return true;
        if (thin)
            return !in(i - 1, j) || !in(i + 1, j) || !in(i, j - 1) || !in(i, j + 1);
        return !inner.contains(i + 0.5 - pw, j + 0.5 - ph);
    };
    PainterScope p(*this);
    if (!p)
        return;
    // Only the pixels inside the area being painted are visited: a shape far larger than
    // the area (or far outside it) costs no more than the area itself. 64-bit arithmetic,
    // since x + w may not fit an int.
    QRect area(0, 0, m_width, m_height);
    if (p->hasClipping())
        area = p->clipBoundingRect().toAlignedRect();
    if (area.isEmpty())
        return;
    const int iFirst = int(std::clamp<qint64>(qint64(area.left()) - x, 0, w));
    const int iEnd = int(std::clamp<qint64>(qint64(area.right()) + 1 - x, 0, w));
    const int jFirst = int(std::clamp<qint64>(qint64(area.top()) - y, 0, h));
    const int jEnd = int(std::clamp<qint64>(qint64(area.bottom()) + 1 - y, 0, h));
    for (int j = jFirst; j < jEnd; ++j) {
        int run = -1;
        for (int i = iFirst; i <= iEnd; ++i) {
            const bool on = i < iEnd && set(i, j);
            if (on && run < 0)
                run = i;
            else if (!on && run >= 0) {
                p->fillRect(QRect(x + run, y + j, i - run, 1), m_foreColor);
                run = -1;
            }
        }
    }
}

void Graphics::FillRotatedRect(double cx, double cy, double w, double h, double angle)
{
    PainterScope p(*this);
    if (!p)
        return;
    p->setPen(Qt::NoPen);
    p->setBrush(m_foreColor);
    p->translate(cx, cy);
    p->rotate(angle * 180.0 / M_PI);
    p->drawRect(QRectF(-w / 2, -h / 2, w, h));
}

void Graphics::DrawTriangleArrow(Arrow direction, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    PainterScope p(*this);
    if (!p)
        return;
    const double l = rect.x(), t = rect.y();
    const double r = l + rect.width(), b = t + rect.height();
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    QPolygonF tri;
    switch (direction) {
    case Arrow::Left: tri << QPointF(r, t) << QPointF(r, b) << QPointF(l, cy); break;
    case Arrow::Right: tri << QPointF(l, t) << QPointF(l, b) << QPointF(r, cy); break;
    case Arrow::Up: tri << QPointF(l, b) << QPointF(r, b) << QPointF(cx, t); break;
    case Arrow::Down: tri << QPointF(l, t) << QPointF(r, t) << QPointF(cx, b); break;
    }
    p->setPen(Qt::NoPen);
    p->setBrush(m_foreColor);
    p->drawPolygon(tri);
}

void Graphics::ClearRect(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    PainterScope p(*this);
    if (!p)
        return;
    if (m_picture) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(QRect(x, y, w, h), QColor(255, 255, 255));
    } else {
        p->eraseRect(QRect(x, y, w, h));
    }
}

void Graphics::DrawPicture(const PicturePtr& picture, int x, int y)
{
    if (!picture)
        return;
    DrawPicture(picture, x, y, picture->Width(), picture->Height(), 0, 0, picture->Width(),
                picture->Height());
}

void Graphics::DrawPicture(const PicturePtr& picture, int x, int y, int w, int h)
{
    if (!picture)
        return;
    DrawPicture(picture, x, y, w, h, 0, 0, picture->Width(), picture->Height());
}

void Graphics::DrawPicture(const PicturePtr& picture, int x, int y, int w, int h, int sx, int sy,
                           int sw, int sh)
{
    if (!picture || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    const QRectF wanted(sx, sy, sw, sh);
    const QRectF source = wanted.intersected(QRectF(0, 0, picture->Width(), picture->Height()));
    if (source.isEmpty())
        return;
    const double scaleX = double(w) / sw, scaleY = double(h) / sh;
    const QRectF dest(x + (source.x() - sx) * scaleX, y + (source.y() - sy) * scaleY,
                      source.width() * scaleX, source.height() * scaleY);
    drawPictureImpl(picture, dest, source);
}

void Graphics::drawPictureImpl(const PicturePtr& picture, const QRectF& dest, const QRectF& source)
{
    const QImage image = picture->Composited(); // a copy: drawing a picture into itself is safe
    PainterScope p(*this);
    if (!p)
        return;
    if (dest.size() == source.size() && dest.x() == std::floor(dest.x()) && dest.y() == std::floor(dest.y()))
        p->drawImage(dest.topLeft(), image, source);
    else
        p->drawImage(dest, image, source);
}

QColor Graphics::Pixel(int x, int y) const
{
    if (m_picture)
        return m_picture->Pixel(x, y);
    return QColor(0, 0, 0);
}

void Graphics::SetPixel(int x, int y, const QColor& color)
{
    if (m_picture) {
        m_picture->SetPixel(x, y, color);
        return;
    }
    PainterScope p(*this);
    if (p)
        p->fillRect(QRect(x, y, 1, 1), color);
}
