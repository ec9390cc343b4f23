#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <memory>

class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// A drawing context: a canvas or list cell being painted (over the paint event's QPainter)
// or a Picture being drawn into.
//
// Rules that hold for every operation:
// - Coordinates are whole pixels from the context's top-left corner.
// - Text sizes are pixels (0 means the default, 12). DrawString puts the baseline at y.
// - DrawRect / DrawOval / DrawRoundRect outlines cover exactly w x h pixels; the Fill
//   forms cover the same w x h pixels. Lines include both end points.
// - Shapes are not antialiased; pictures drawn scaled are scaled smoothly.
// - The settings (colour, font, size, bold, italic, underline, pen) stay in force until
//   changed, for the life of this Graphics (one paint, or one picture).
// Font names are mapped to installed fonts: "Arial" -> Liberation Sans, "Tahoma" -> DejaVu
// Sans, "Impact" -> DejaVu Sans Condensed bold; unknown names fall back to Liberation Sans
// (then DejaVu Sans). A letter of a drawn or measured text that the font lacks comes from
// the colour emoji font where that has it (an emoji shows in colour), else from fontconfig's
// fallback fonts. "Webdings" arrows "3", "4", "5", "6" (left, right, up, down) are drawn as
// filled triangles.
class Graphics
{
public:
    enum class Arrow { Left, Right, Up, Down };

    // Draws through painter (owned by the caller, e.g. a paint event) on an area of
    // width x height pixels. The painter's current transform and clip are kept.
    Graphics(QPainter* painter, int width, int height);
    // Draws into picture (used by Picture::Graphics; the picture must outlive this).
    explicit Graphics(Picture* picture);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Settings.
    QColor ForeColor() const { return m_foreColor; }
    void SetForeColor(const QColor& color) { m_foreColor = color; }
    QString TextFont() const { return m_textFont; }
    void SetTextFont(const QString& name) { m_textFont = name; }
    int TextSize() const { return m_textSize; }
    void SetTextSize(int pixels) { m_textSize = pixels; }
    bool Bold() const { return m_bold; }
    void SetBold(bool on) { m_bold = on; }
    bool Italic() const { return m_italic; }
    void SetItalic(bool on) { m_italic = on; }
    bool Underline() const { return m_underline; }
    void SetUnderline(bool on) { m_underline = on; }
    // Every text setting but the colour at once.
    void SetTextStyle(const QString& name, int pixels, bool bold, bool italic = false, bool underline = false)
    {
        SetTextFont(name);
        SetTextSize(pixels);
        SetBold(bold);
        SetItalic(italic);
        SetUnderline(underline);
    }
    int PenWidth() const { return m_penWidth; }
    void SetPenWidth(int pixels) { m_penWidth = pixels < 1 ? 1 : pixels; }
    int PenHeight() const { return m_penHeight; }
    void SetPenHeight(int pixels) { m_penHeight = pixels < 1 ? 1 : pixels; }

    // Text. wrapWidth > 0 wraps at blanks into lines of at most that width (a word wider
    // than it stands on a line of its own); the first baseline is at y, each further one
    // a TextHeight lower.
    void DrawString(const QString& text, int x, int y, int wrapWidth = 0);
    double StringWidth(const QString& text) const;
    // Height of the text wrapped at wrapWidth (0: no wrapping): lines x TextHeight.
    int StringHeight(const QString& text, int wrapWidth = 0) const;
    int TextAscent() const;
    int TextHeight() const;   // one line: ascent + descent (+ leading)

    // Shapes, in ForeColor.
    void DrawLine(int x1, int y1, int x2, int y2);
    void DrawRect(int x, int y, int w, int h);
    void FillRect(int x, int y, int w, int h);
    void DrawOval(int x, int y, int w, int h);
    void FillOval(int x, int y, int w, int h);
    // arcWidth / arcHeight: the corner ellipse's full width and height.
    void DrawRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight);
    void FillRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight);
    // A filled w x h rectangle centred on (cx, cy), turned by angle radians (clockwise on
    // screen); e.g. a diamond is a square turned by pi/4.
    void FillRotatedRect(double cx, double cy, double w, double h, double angle);
    // A filled triangle pointing in direction, filling rect (the base on the opposite side).
    void DrawTriangleArrow(Arrow direction, const QRect& rect);
    // Clears the area: transparent on a widget, white (and opaque) in a picture.
    void ClearRect(int x, int y, int w, int h);

    // Pictures, drawn with their mask and white transparency applied. Without w and h the
    // picture is drawn at its own size; with them, scaled into w x h. The source rectangle
    // (sx, sy, sw, sh) is clamped to the picture: the part that lies inside the picture is
    // drawn at the place and scale it would have had.
    void DrawPicture(const PicturePtr& picture, int x, int y);
    void DrawPicture(const PicturePtr& picture, int x, int y, int w, int h);
    void DrawPicture(const PicturePtr& picture, int x, int y, int w, int h,
                     int sx, int sy, int sw, int sh);

    // Pixel access. Reading works when drawing into a picture (black otherwise, and for
    // points outside it); writing sets one pixel in ForeColor's place (colour given).
    QColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, const QColor& color);

    // The font the current settings select (after mapping).
    QFont CurrentFont() const;
    // Font for a name, pixel size (0 = 12) and style, after mapping.
    static QFont MakeFont(const QString& name, int pixelSize, bool bold = false,
                          bool italic = false, bool underline = false);
    static bool IsWebdings(const QString& name);
    // font with the colour emoji font asked first for the letters it lacks: for text fields,
    // where the user may type an emoji. Drawn the same as font where font has every letter.
    static QFont WithEmoji(const QFont& font);
    // The font that draws and measures text as DrawString and StringWidth do: WithEmoji(font)
    // for a text that may hold an emoji, font itself for the rest.
    static QFont FontFor(const QFont& font, const QString& text);
    // Reads the font database as far as the families that MakeFont's names map to: Qt sets
    // fontconfig up and takes in the installed fonts (every Qt program does so at its first
    // text), and only these families are looked up, not a list of every family made. Any
    // thread may call it; the first font made waits for it to end.
    static void ReadMappedFamilies();
    // Sets fontconfig up on a worker (its configuration parsed, the installed fonts' caches
    // loaded: half the font database's reading with a desktop's fonts), for a program that
    // calls it before its application object exists, which takes a while to make: the
    // database's reading then starts from there. ReadMappedFamilies waits for it.
    static void StartFontConfiguration();

private:
    class PainterScope;
    void drawPictureImpl(const PicturePtr& picture, const QRectF& dest, const QRectF& source);
    void drawWebdings(const QString& text, int x, int y);
    void drawRound(int x, int y, int w, int h, int arcWidth, int arcHeight, bool fill);
    QRect webdingsGlyphRect(int x, int y) const;

    QPainter* m_painter = nullptr;   // external painter, or nullptr when drawing into a picture
    Picture* m_picture = nullptr;
    int m_width = 0;
    int m_height = 0;

    QColor m_foreColor = QColor(0, 0, 0);
    QString m_textFont = QStringLiteral("System");
    int m_textSize = 0;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    int m_penWidth = 1;
    int m_penHeight = 1;
};
