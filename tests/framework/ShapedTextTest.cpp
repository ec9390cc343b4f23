#include "framework/Graphics.h"
#include "framework/ShapedText.h"
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Texts a calendar draws (day numbers, month names, titles), kerned pairs, right-to-left
// lines, lines whose CJK or emoji letters come from fallback fonts where those are
// installed (a desktop's Noto fonts), and texts that are never kept shaped.
const QStringList Texts = {
    QStringLiteral(" 1"), QStringLiteral("31"), QStringLiteral("W"), QStringLiteral("September"),
    QStringLiteral("AVATAR Type Ty To.  "), QStringLiteral("Dentist 10:30 – café"),
    QString::fromUtf8("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d 12"), QString::fromUtf8("abc \xd8\xb3\xd9\x84\xd8\xa7\xd9\x85 def"),
    QString::fromUtf8("3\xe6\x9c\x88 \xe4\xbc\x9a\xe8\xad\xb0 10:30"), QString::fromUtf8("Party \xf0\x9f\x8e\x89\xf0\x9f\x8e\x82 5"),
    QStringLiteral("tab\there"), QString::fromUtf8("soft\xc2\xadhyphen"), QStringLiteral(" "),
};

QImage drawn(const std::function<void(QPainter&)>& draw)
{
    QImage image(260, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(20, 40, 200));
    draw(painter);
    return image;
}

} // namespace

// The kept line must give exactly what a plain draw gives, in every style and for texts
// drawn twice (the second draw comes from what was kept), and the same advance.
TEST(ShapedText, DrawsAndMeasuresExactlyAsAPlainDraw)
{
    for (const QString& name : {QStringLiteral("Arial"), QStringLiteral("Tahoma")}) {
        for (int style = 0; style < 8; ++style) {
            const QFont font = Graphics::MakeFont(name, 13 + style, style & 1, style & 2, style & 4);
            for (const QString& text : Texts) {
                const QImage plain = drawn([&](QPainter& p) {
                    p.setFont(font);
                    p.drawText(QPointF(7, 27), text);
                });
                for (int pass = 0; pass < 2; ++pass) {
                    const QImage kept = drawn([&](QPainter& p) { ShapedText::Draw(p, font, text, 7, 27); });
                    EXPECT_TRUE(kept == plain) << name.toStdString() << " style " << style << " pass " << pass
                                               << ": " << text.toStdString();
                }
                EXPECT_DOUBLE_EQ(ShapedText::Advance(font, text), QFontMetricsF(font).horizontalAdvance(text))
                    << text.toStdString();
            }
        }
    }
}

TEST(ShapedText, OnlyPlainLinesAreKept)
{
    EXPECT_TRUE(ShapedText::Cacheable(QStringLiteral("12")));
    EXPECT_FALSE(ShapedText::Cacheable(QString()));
    EXPECT_FALSE(ShapedText::Cacheable(QStringLiteral("a\nb")));
    EXPECT_FALSE(ShapedText::Cacheable(QStringLiteral("a\rb")));
    EXPECT_FALSE(ShapedText::Cacheable(QStringLiteral("a\tb")));
    EXPECT_FALSE(ShapedText::Cacheable(QString(QChar(0x2028))));
}
