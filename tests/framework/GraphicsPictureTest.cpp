#include "framework/Graphics.h"
#include "framework/Files.h"
#include "framework/Picture.h"
#include <QBuffer>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

// The set of pixels of a picture that are not white, as rows of '#' and '.'.
QString inked(const PicturePtr& pic)
{
    QString out;
    for (int y = 0; y < pic->Height(); ++y) {
        for (int x = 0; x < pic->Width(); ++x)
            out += pic->Pixel(x, y) == White ? QLatin1Char('.') : QLatin1Char('#');
        out += QLatin1Char('\n');
    }
    return out;
}

QRect inkBounds(const PicturePtr& pic)
{
    QRect bounds;
    for (int y = 0; y < pic->Height(); ++y)
        for (int x = 0; x < pic->Width(); ++x)
            if (pic->Pixel(x, y) != White)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

TEST(Graphics, OutlinesCoverExactlyTheirSize)
{
    struct Case { int x, y, w, h, pen; };
    const Case cases[] = {{1, 1, 5, 4, 1}, {0, 0, 1, 1, 1}, {2, 1, 6, 6, 2}, {1, 2, 3, 3, 3}, {0, 0, 10, 8, 1}};
    for (const Case& c : cases) {
        auto pic = Picture::New(12, 12);
        Graphics& g = pic->Graphics();
        g.SetPenWidth(c.pen);
        g.SetPenHeight(c.pen);
        g.DrawRect(c.x, c.y, c.w, c.h);
        EXPECT_EQ(inkBounds(pic), QRect(c.x, c.y, c.w, c.h)) << c.w << "x" << c.h << " pen " << c.pen;
        // The inside stays clear beyond the pen.
        if (c.w > 2 * c.pen && c.h > 2 * c.pen) {
            EXPECT_EQ(pic->Pixel(c.x + c.pen, c.y + c.pen), White);
        }
        // Filled rectangles and ovals stay within the same w x h.
        auto filled = Picture::New(12, 12);
        filled->Graphics().FillRect(c.x, c.y, c.w, c.h);
        EXPECT_EQ(inkBounds(filled), QRect(c.x, c.y, c.w, c.h));
        auto oval = Picture::New(12, 12);
        oval->Graphics().DrawOval(c.x, c.y, c.w, c.h);
        EXPECT_EQ(inkBounds(oval), QRect(c.x, c.y, c.w, c.h));
        auto round = Picture::New(12, 12);
        round->Graphics().SetPenWidth(c.pen);
        round->Graphics().SetPenHeight(c.pen);
        round->Graphics().DrawRoundRect(c.x, c.y, c.w, c.h, 4, 4);
        EXPECT_EQ(inkBounds(round), QRect(c.x, c.y, c.w, c.h));
    }
    // Empty sizes draw nothing.
    auto pic = Picture::New(5, 5);
    pic->Graphics().DrawRect(1, 1, 0, 3);
    pic->Graphics().FillRect(1, 1, 3, -1);
    EXPECT_TRUE(inkBounds(pic).isNull());
}

TEST(Graphics, LinesIncludeBothEndsAndRoundRectsStayInside)
{
    auto pic = Picture::New(8, 4);
    pic->Graphics().DrawLine(1, 1, 5, 1);
    pic->Graphics().DrawLine(7, 3, 7, 3);
    EXPECT_EQ(inked(pic), QString("........\n.#####..\n........\n.......#\n"));

    auto round = Picture::New(30, 20);
    round->Graphics().FillRoundRect(1, 0, 27, 20, 14, 14);
    EXPECT_EQ(inkBounds(round), QRect(1, 0, 27, 20));
    EXPECT_EQ(round->Pixel(1, 0), White);          // the corner is cut round
    EXPECT_NE(round->Pixel(14, 0), White);
    auto outline = Picture::New(30, 20);
    outline->Graphics().DrawRoundRect(0, 0, 29, 20, 14, 14);
    EXPECT_EQ(inkBounds(outline), QRect(0, 0, 29, 20));
    EXPECT_EQ(outline->Pixel(14, 10), White);
}

TEST(Graphics, RoundShapesAreClippedToTheAreaBeingPainted)
{
    // The part of a shape inside the area is exactly what the whole shape would give there.
    for (const bool fill : {false, true}) {
        for (const int pen : {1, 3}) {
            auto whole = Picture::New(40, 40);
            auto part = Picture::New(20, 20);
            for (Graphics* g : {&whole->Graphics(), &part->Graphics()}) {
                g->SetPenWidth(pen);
                g->SetPenHeight(pen);
            }
            if (fill) {
                whole->Graphics().FillOval(0, 0, 33, 31);
                part->Graphics().FillOval(-10, -10, 33, 31);
            } else {
                whole->Graphics().DrawRoundRect(0, 0, 33, 31, 12, 12);
                part->Graphics().DrawRoundRect(-10, -10, 33, 31, 12, 12);
            }
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 20; ++x)
                    ASSERT_EQ(part->Pixel(x, y), whole->Pixel(x + 10, y + 10)) << x << "," << y << " pen " << pen;
        }
    }
    // Shapes of two thousand million pixels a side (once an endless loop and an int overflow)
    // draw at once: a small area inside the filled one is covered, inside the outline clear.
    auto filled = Picture::New(16, 16);
    filled->Graphics().FillOval(-1000000000, -1000000000, 2000000000, 2000000000);
    EXPECT_EQ(inkBounds(filled), QRect(0, 0, 16, 16));
    auto outline = Picture::New(16, 16);
    outline->Graphics().SetPenWidth(4);
    outline->Graphics().DrawOval(-1000000000, -1000000000, 2000000000, 2000000000);
    outline->Graphics().DrawRoundRect(2147483000, 2147483000, 2000000000, 2000000000, 50, 50);
    EXPECT_TRUE(inkBounds(outline).isNull());
    // A painter's clip bounds the work too.
    QImage image(30, 30, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setClipRect(QRect(5, 5, 10, 10));
        Graphics g(&painter, 1000000000, 1000000000);
        g.FillOval(-1000000000, -1000000000, 2000000000, 2000000000);
    }
    EXPECT_EQ(QColor(image.pixel(5, 5)), Black);
    EXPECT_EQ(QColor(image.pixel(14, 14)), Black);
    EXPECT_EQ(QColor(image.pixel(4, 4)), White);
    EXPECT_EQ(QColor(image.pixel(15, 15)), White);
}

TEST(Graphics, SettingsPersistAndFontsMap)
{
    auto pic = Picture::New(40, 40);
    Graphics& g = pic->Graphics();
    g.SetForeColor(QColor(255, 0, 0));
    g.SetTextSize(18);
    g.SetBold(true);
    g.FillRect(0, 0, 2, 2);
    EXPECT_EQ(pic->Pixel(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(pic->Graphics().ForeColor(), QColor(255, 0, 0)); // the same context again
    EXPECT_EQ(pic->Graphics().TextSize(), 18);

    struct Case { const char* name; const char* family; bool bold; };
    const Case cases[] = {{"Arial", "Liberation Sans", false}, {"Tahoma", "DejaVu Sans", false},
                          {"Impact", "DejaVu Sans Condensed", true}, {"Optima Extra Black", "Liberation Sans", false},
                          {"", "Liberation Sans", false}};
    for (const Case& c : cases) {
        const QFont font = Graphics::MakeFont(c.name, 0);
        EXPECT_EQ(QFontInfo(font).family(), c.family) << c.name;
        EXPECT_EQ(font.pixelSize(), 12) << c.name;
        EXPECT_EQ(font.bold(), c.bold) << c.name;
    }
    // Fonts are made once per request: sizes and styles never stand in for each other.
    const QFont plain = Graphics::MakeFont("Arial", 14);
    EXPECT_EQ(Graphics::MakeFont("Arial", 14), plain);
    const QFont variants[] = {Graphics::MakeFont("Arial", 15), Graphics::MakeFont("Arial", 14, true),
                              Graphics::MakeFont("Arial", 14, false, true),
                              Graphics::MakeFont("Arial", 14, false, false, true), Graphics::MakeFont("Tahoma", 14)};
    for (const QFont& other : variants)
        EXPECT_NE(other, plain) << other.toString().toStdString();
    QFont changed = Graphics::MakeFont("Arial", 14);
    changed.setPixelSize(30);   // a caller's change stays with the caller's copy
    EXPECT_EQ(Graphics::MakeFont("Arial", 14).pixelSize(), 14);
    // Impact must draw digits narrower than the plain bold face.
    Graphics& m = pic->Graphics();
    m.SetTextSize(18);
    m.SetBold(true);
    m.SetTextFont("Impact");
    const double condensed = m.StringWidth("1234");
    m.SetTextFont("Tahoma");
    EXPECT_LT(condensed, m.StringWidth("1234"));
}

TEST(Graphics, TextMeasuresAndBaseline)
{
    auto pic = Picture::New(200, 60);
    Graphics& g = pic->Graphics();
    g.SetTextFont("Arial");
    g.SetTextSize(12);
    const int line = g.TextHeight();
    EXPECT_GT(line, 10);
    EXPECT_EQ(g.StringHeight("0", 99), line);
    EXPECT_EQ(g.StringHeight("", 0), line);
    EXPECT_EQ(g.StringHeight("one two one two", int(g.StringWidth("one two")) + 1), 2 * line);
    EXPECT_EQ(g.StringHeight("one two one two", int(g.StringWidth("one two")) - 1), 4 * line);
    EXPECT_EQ(g.StringHeight("a\nb\r\nc"), 3 * line);
    EXPECT_DOUBLE_EQ(g.StringWidth(""), 0.0);

    // The baseline is at y: ink of "H" ends on the row above it.
    g.DrawString("H", 10, 30);
    const QRect ink = inkBounds(pic);
    EXPECT_EQ(ink.bottom(), 29);
    EXPECT_GE(ink.left(), 10);
    EXPECT_LE(ink.top(), 30 - g.TextAscent() + 4);
}

// A text's measured width is where the drawing goes on after it, also for letters that come
// from the colour emoji font or a fallback font: a letter drawn after the text stands that far
// to the right of where it stands alone. Centred titles, the countdown title's limit and the
// line through a ticked to-do item go by this width.
TEST(Graphics, TextWidthIsWhereTheDrawingGoesOnWithEmojiAndFallbackLetters)
{
    const QString texts[] = {QString::fromUtf8("\xe2\x98\x8e\xe2\x98\x8e\xe2\x98\x8e \xe2\x98\x95\xf0\x9f\x8e\x89"),
                             QString::fromUtf8("Call the garage \xe2\x98\x8e \xe9\x9b\xbb\xe8\xa9\xb1 \xf0\x9f\x8d\x95")};
    // The leftmost column that text + "H" inks beyond text alone, drawn at x = 4.
    auto nextLetter = [](const QString& text, int size) {
        const auto draw = [size](const QString& what) {
            auto pic = Picture::New(320, 40);
            Graphics& g = pic->Graphics();
            g.SetTextStyle("Arial", size, false);
            g.DrawString(what, 4, 30);
            return pic;
        };
        const PicturePtr alone = draw(text), followed = draw(text + "H");
        for (int x = 0; x < 320; ++x)
            for (int y = 0; y < 40; ++y)
                if (alone->Pixel(x, y) != followed->Pixel(x, y))
                    return x;
        return -1;
    };
    for (const int size : {12, 20}) {
        auto pic = Picture::New(1, 1);
        Graphics& g = pic->Graphics();
        g.SetTextStyle("Arial", size, false);
        const int hAlone = nextLetter(QString(), size);
        for (const QString& text : texts)
            EXPECT_NEAR(nextLetter(text, size) - hAlone, g.StringWidth(text), 1.0)
                << size << " px: " << text.toStdString();
    }
}

// Text drawn through a paint event's painter looks as drawn into a picture, and leaves the
// painter's state as it found it.
TEST(Graphics, TextThroughAPainterLeavesItsStateAndLooksAsInAPicture)
{
    auto draw = [](Graphics& g) {
        g.SetTextFont("Arial");
        g.SetTextSize(14);
        g.SetForeColor(QColor(200, 30, 40));
        g.DrawString("AVATAR 12", 3, 20);
        g.SetUnderline(true);
        g.DrawString("Dentist", 3, 42);
        g.SetBold(true);
        g.DrawString("  9", 120, 42);
    };
    auto inPicture = Picture::New(180, 50);
    draw(inPicture->Graphics());

    QImage image(180, 50, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPen pen(QColor(1, 2, 3), 3);
    painter.setPen(pen);
    painter.setBrush(Qt::green);
    const QFont font("DejaVu Serif", 7);
    painter.setFont(font);
    Graphics g(&painter, 180, 50);
    draw(g);
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), QBrush(Qt::green));
    EXPECT_EQ(painter.font(), font);
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
    painter.end();
    EXPECT_TRUE(image == inPicture->Image());
}

TEST(Graphics, WebdingsArrowsAreTriangles)
{
    struct Case { const char* glyph; Graphics::Arrow dir; };
    const Case cases[] = {{"3", Graphics::Arrow::Left}, {"4", Graphics::Arrow::Right},
                          {"5", Graphics::Arrow::Up}, {"6", Graphics::Arrow::Down}};
    for (const Case& c : cases) {
        auto pic = Picture::New(30, 30);
        Graphics& g = pic->Graphics();
        g.SetTextFont("Webdings");
        g.SetTextSize(15);
        g.DrawString(c.glyph, 5, 25);
        const QRect ink = inkBounds(pic);
        ASSERT_FALSE(ink.isNull()) << c.glyph;
        EXPECT_LE(ink.bottom(), 24);           // stands on the baseline
        EXPECT_GE(ink.left(), 5);
        EXPECT_LE(ink.right(), 5 + 15);
        // The pointed side has fewer inked pixels than the base side.
        int first = 0, last = 0;
        const bool horizontal = c.dir == Graphics::Arrow::Left || c.dir == Graphics::Arrow::Right;
        for (int i = 0; i < 30; ++i) {
            if (horizontal) {
                first += pic->Pixel(ink.left(), i) != White;
                last += pic->Pixel(ink.right(), i) != White;
            } else {
                first += pic->Pixel(i, ink.top()) != White;
                last += pic->Pixel(i, ink.bottom()) != White;
            }
        }
        const bool pointsToFirst = c.dir == Graphics::Arrow::Left || c.dir == Graphics::Arrow::Up;
        EXPECT_EQ(pointsToFirst, first < last) << c.glyph;
        EXPECT_DOUBLE_EQ(g.StringWidth("34"), 30.0);
    }
}

TEST(Picture, NewPictureAndPixels)
{
    auto pic = Picture::New(3, 2, 32);
    EXPECT_EQ(pic->Width(), 3);
    EXPECT_EQ(pic->Height(), 2);
    EXPECT_EQ(pic->Pixel(2, 1), White);
    pic->Graphics().SetPixel(1, 1, QColor(10, 20, 30));
    EXPECT_EQ(pic->Graphics().Pixel(1, 1), QColor(10, 20, 30));
    EXPECT_EQ(pic->Pixel(5, 5), Black);      // outside reads black
    pic->SetPixel(-1, 0, QColor(1, 2, 3));   // outside writes nothing
    EXPECT_FALSE(pic->HasMask());
}

TEST(Picture, MaskAndTransparencyCompositing)
{
    // One row of five pixels: red, white, blue, white, green; the mask black, white,
    // grey 140, black, white.
    auto pic = Picture::New(5, 1);
    const QColor colours[] = {QColor(255, 0, 0), White, QColor(0, 0, 255), White, QColor(0, 255, 0)};
    for (int x = 0; x < 5; ++x)
        pic->SetPixel(x, 0, colours[x]);
    auto mask = pic->Mask();
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Pixel(0, 0), Black);     // a new mask is opaque
    EXPECT_EQ(pic->Mask(), mask);            // and made once
    const int greys[] = {0, 255, 140, 0, 255};
    for (int x = 0; x < 5; ++x)
        mask->SetPixel(x, 0, QColor(greys[x], greys[x], greys[x]));

    struct Case { int transparent; int alpha[5]; };
    const Case cases[] = {{0, {255, 0, 115, 255, 0}}, {1, {255, 0, 115, 0, 0}}};
    for (const Case& c : cases) {
        pic->SetTransparent(c.transparent);
        const QImage out = pic->Composited();
        for (int x = 0; x < 5; ++x)
            EXPECT_NEAR(qAlpha(out.pixel(x, 0)), c.alpha[x], 1) << "transparent " << c.transparent << " x " << x;
    }

    // Drawn over black: opaque pixels keep their colour, clear ones leave black.
    pic->SetTransparent(0);
    auto target = Picture::New(5, 1);
    target->Graphics().SetForeColor(Black);
    target->Graphics().FillRect(0, 0, 5, 1);
    target->Graphics().DrawPicture(pic, 0, 0);
    EXPECT_EQ(target->Pixel(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(target->Pixel(1, 0), Black);
    EXPECT_NEAR(target->Pixel(2, 0).blue(), 115, 2);
    EXPECT_EQ(target->Pixel(3, 0), White);
}

TEST(Picture, CompositeFollowsLaterDrawing)
{
    auto pic = Picture::New(4, 4);
    pic->Graphics().SetForeColor(QColor(0, 0, 255));
    pic->Graphics().FillRect(0, 0, 4, 4);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(1, 1)), 255);
    // Drawing into the mask after a composite was made.
    pic->Mask()->Graphics().SetForeColor(White);
    pic->Mask()->Graphics().FillRect(0, 0, 2, 4);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(2, 1)), 255);
    // Drawing white into the picture itself with Transparent on.
    pic->SetTransparent(1);
    pic->Graphics().SetForeColor(White);
    pic->Graphics().FillRect(3, 0, 1, 4);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(3, 1)), 0);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(2, 1)), 255);
    // Nearly white is not white.
    pic->SetPixel(2, 2, QColor(254, 255, 255));
    EXPECT_EQ(qAlpha(pic->Composited().pixel(2, 2)), 255);
}

// An opaque picture without mask is shown through its own pixels; what was handed out
// before a change keeps the old pixels, and a picture drawn into itself reads its old self.
TEST(Picture, OpaqueCompositeSharesPixelsButNeverChangesBehindTheCaller)
{
    auto pic = Picture::New(4, 2);
    pic->SetPixel(0, 0, QColor(10, 20, 30));
    const QImage before = pic->Composited();
    EXPECT_EQ(before.format(), QImage::Format_RGB32);   // drawn as a plain copy
    EXPECT_EQ(before.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(before.constBits(), pic->Image().constBits()) << "no second copy of an opaque picture";
    pic->SetPixel(0, 0, QColor(200, 0, 0));
    EXPECT_EQ(before.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(pic->Composited().pixel(0, 0), qRgb(200, 0, 0));

    pic->Graphics().DrawPicture(pic, 2, 0);   // its left half onto its right half
    EXPECT_EQ(pic->Pixel(2, 0), QColor(200, 0, 0));
    EXPECT_EQ(pic->Pixel(3, 1), White);

    // A copy at 32 bits shares the pixels until either one changes.
    auto copy = pic->EnsureBitDepth32();
    copy->SetPixel(1, 1, Black);
    EXPECT_EQ(pic->Pixel(1, 1), White);
    pic->Graphics().SetForeColor(QColor(0, 0, 255));
    pic->Graphics().FillRect(0, 0, 1, 1);
    EXPECT_EQ(copy->Pixel(0, 0), QColor(200, 0, 0));

    // One translucent pixel: the composite is a premultiplied copy again.
    pic->SetPixel(3, 1, QColor(0, 255, 0, 128));
    const QImage translucent = pic->Composited();
    EXPECT_NE(translucent.constBits(), pic->Image().constBits());
    EXPECT_EQ(qAlpha(translucent.pixel(3, 1)), 128);
}

TEST(Picture, AlphaImageMaskTakesOverItsAlpha)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(10, 20, 30, 255));
    image.setPixel(1, 0, qRgba(10, 20, 30, 0));
    auto pic = Picture::FromImage(image);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(1, 0)), 0);
    auto mask = pic->Mask();
    EXPECT_EQ(mask->Pixel(0, 0), Black);
    EXPECT_EQ(mask->Pixel(1, 0), White);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(pic->Composited().pixel(1, 0)), 0);
}

TEST(Graphics, DrawPictureClampsItsSourceRectangle)
{
    // A 4 x 4 source: top half red, bottom half blue.
    auto src = Picture::New(4, 4);
    src->Graphics().SetForeColor(QColor(255, 0, 0));
    src->Graphics().FillRect(0, 0, 4, 2);
    src->Graphics().SetForeColor(QColor(0, 0, 255));
    src->Graphics().FillRect(0, 2, 4, 2);

    // Source rows 2..5 of a 4-row picture into 4 rows: only rows 2..3 exist, drawn at
    // their own scale into the top half; the rest of the destination stays untouched.
    auto dst = Picture::New(4, 6);
    dst->Graphics().DrawPicture(src, 0, 1, 4, 4, 0, 2, 4, 4);
    EXPECT_EQ(dst->Pixel(1, 0), White);
    EXPECT_EQ(dst->Pixel(1, 1), QColor(0, 0, 255));
    EXPECT_EQ(dst->Pixel(1, 2), QColor(0, 0, 255));
    EXPECT_EQ(dst->Pixel(1, 3), White);
    EXPECT_EQ(dst->Pixel(1, 4), White);

    // A source rectangle wholly outside draws nothing; a scaled whole draw fills.
    auto none = Picture::New(4, 4);
    none->Graphics().DrawPicture(src, 0, 0, 4, 4, 10, 10, 4, 4);
    EXPECT_TRUE(inkBounds(none).isNull());
    auto big = Picture::New(8, 8);
    big->Graphics().DrawPicture(src, 0, 0, 8, 8);
    EXPECT_EQ(big->Pixel(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(big->Pixel(7, 7), QColor(0, 0, 255));
    // A null picture is ignored.
    big->Graphics().DrawPicture(nullptr, 0, 0);
}

TEST(Picture, ScaledIsSmoothAndCopiesKeepMasks)
{
    auto pic = Picture::New(2, 1);
    pic->SetPixel(0, 0, Black);
    pic->SetPixel(1, 0, White);
    auto scaled = pic->Scaled(8, 1);
    ASSERT_EQ(scaled->Width(), 8);
    bool between = false;
    for (int x = 0; x < 8; ++x) {
        const int v = scaled->Pixel(x, 0).red();
        between = between || (v > 20 && v < 235);
    }
    EXPECT_TRUE(between) << "bilinear scaling blends neighbouring pixels";

    pic->Mask()->SetPixel(1, 0, White);
    pic->SetTransparent(1);
    auto copy = pic->EnsureBitDepth32();
    EXPECT_EQ(copy->Transparent(), 1);
    ASSERT_TRUE(copy->HasMask());
    EXPECT_EQ(copy->Mask()->Pixel(1, 0), White);
    copy->Mask()->SetPixel(1, 0, Black);    // a copy, not the same mask
    EXPECT_EQ(pic->Mask()->Pixel(1, 0), White);
    EXPECT_TRUE(pic->Scaled(4, 2)->HasMask());
    EXPECT_EQ(pic->Scaled(0, 5)->Width(), 0);
}

TEST(Picture, AnOpaquePictureScalesToTheSamePixelsAsWithItsAlpha)
{
    // Noise without alpha: known to be opaque, so scaled the quick way.
    QImage noise(97, 61, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    const auto pic = Picture::FromImage(noise);
    const QImage withAlpha = noise.convertToFormat(QImage::Format_ARGB32);
    for (const QSize size : {QSize(40, 25), QSize(300, 200), QSize(150, 13), QSize(1, 1), QSize(97, 61)}) {
        const auto scaled = pic->Scaled(size.width(), size.height());
        const QImage expected = withAlpha.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                    .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(scaled->Image().size(), size);
        EXPECT_EQ(scaled->Image().format(), QImage::Format_ARGB32);
        EXPECT_EQ(scaled->Image(), expected) << size.width() << " x " << size.height();
        EXPECT_TRUE(scaled->Composited().format() == QImage::Format_RGB32) << "still known to be opaque";
    }
    // A picture with translucent pixels keeps its alpha through the scaling.
    QImage glass = withAlpha;
    glass.setPixel(3, 3, qRgba(10, 20, 30, 40));
    const auto translucent = Picture::FromImage(glass)->Scaled(30, 20);
    EXPECT_LT(qAlpha(translucent->Image().pixel(0, 0)), 255);
}

TEST(Picture, FileSizeIsTheSizeOfTheDecodedPicture)
{
    QTemporaryDir dir;
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString png = dir.filePath("plain.png");
    ASSERT_TRUE(image.save(png));
    EXPECT_EQ(Picture::FileSize(png), QSize(30, 20));

    // A JPEG whose EXIF orientation turns it a quarter: decoded turned, 20 x 30.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "JPG"));
    const char exif[] = {'\xFF', '\xE1', 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                         1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};   // Orientation = 6
    jpeg.insert(2, exif, sizeof exif);
    const QString turned = dir.filePath("turned.jpg");
    ASSERT_TRUE(Files::WriteAtomic(turned, jpeg));
    const PicturePtr decoded = Picture::OpenAsPicture(turned);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(QSize(decoded->Width(), decoded->Height()), QSize(20, 30));
    EXPECT_EQ(Picture::FileSize(turned), QSize(20, 30));

    const QString garbage = dir.filePath("garbage.jpg");
    ASSERT_TRUE(Files::WriteAtomic(garbage, QByteArray("not a picture")));
    EXPECT_FALSE(Picture::FileSize(garbage).isValid());
    EXPECT_FALSE(Picture::FileSize(dir.filePath("missing.png")).isValid());
    EXPECT_FALSE(Picture::FileSize(dir.path()).isValid());
}

TEST(Picture, RotatedQuarterTurnSwapsSides)
{
    auto pic = Picture::New(4, 2);
    pic->SetPixel(0, 0, QColor(255, 0, 0));
    auto turned = pic->Rotated(M_PI / 2, QColor(0, 255, 0));
    EXPECT_EQ(turned->Width(), 2);
    EXPECT_EQ(turned->Height(), 4);
    EXPECT_EQ(turned->Pixel(1, 0), QColor(255, 0, 0)); // top-left goes to top-right
}

TEST(Picture, OpenAsPicture)
{
    QTemporaryDir dir;
    EXPECT_EQ(Picture::OpenAsPicture(dir.path() + "/missing.png"), nullptr);
    EXPECT_EQ(Picture::OpenAsPicture(dir.path()), nullptr);
    EXPECT_EQ(Picture::OpenAsPicture(""), nullptr);
    QFile text(dir.path() + "/notes.png");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_EQ(Picture::OpenAsPicture(text.fileName()), nullptr);

    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(QColor(1, 2, 3));
    ASSERT_TRUE(image.save(dir.path() + "/p.png"));
    auto pic = Picture::OpenAsPicture(dir.path() + "/p.png");
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->Width(), 3);
    EXPECT_EQ(pic->Pixel(2, 1), QColor(1, 2, 3));
    EXPECT_EQ(pic->Image().format(), QImage::Format_ARGB32);

    // A JPEG, whose decoder hands over opaque RGB, gives the same pixels with their alpha.
    QImage photo(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) % 256));
    ASSERT_TRUE(photo.save(dir.path() + "/p.jpg", "JPG", 90));
    const QImage decoded = QImage(dir.path() + "/p.jpg").convertToFormat(QImage::Format_ARGB32);
    const auto jpeg = Picture::OpenAsPicture(dir.path() + "/p.jpg");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->Image(), decoded);
    EXPECT_TRUE(jpeg->Composited().format() == QImage::Format_RGB32) << "known to be opaque";

    // A file with translucent pixels keeps them, and shows them premultiplied.
    QImage translucent(2, 1, QImage::Format_ARGB32);
    translucent.fill(QColor(200, 100, 0, 255));
    translucent.setPixelColor(1, 0, QColor(200, 100, 0, 51));
    ASSERT_TRUE(translucent.save(dir.path() + "/t.png"));
    auto glass = Picture::OpenAsPicture(dir.path() + "/t.png");
    ASSERT_TRUE(glass);
    EXPECT_EQ(glass->Pixel(1, 0), QColor(200, 100, 0, 51));
    EXPECT_EQ(glass->Composited().pixel(1, 0), qPremultiply(qRgba(200, 100, 0, 51)));
    EXPECT_EQ(glass->Composited().pixel(0, 0), qRgb(200, 100, 0));
}
