#include "framework/ShapedText.h"
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <memory>

namespace {

constexpr qsizetype MaxKept = 1024;

struct Key {
    QFont font;
    QString text;
    int dpi;   // 0: the font's own resolution
    Qt::LayoutDirection direction;
    bool operator==(const Key& other) const
    {
        return dpi == other.dpi && direction == other.direction && text == other.text && font == other.font;
    }
};

size_t qHash(const Key& key, size_t seed = 0) { return qHashMulti(seed, key.text, key.font, key.dpi, int(key.direction)); }

// A kept line: the text laid out as one line whose top is at 0 and whose start is at x = 0,
// shaped for device (nullptr: for the font's own resolution) in the base direction given,
// and its advance.
//
// Only a line that one font shapes whole is kept. Where the font lacks some of the line's
// letters (Arabic, CJK or emoji beside Latin), fontconfig's fallback fonts draw them, and a
// laid-out line then draws its decorations otherwise than a plain draw: it joins the
// underlines of neighbouring fonts into one at the lowest of their positions, where a plain
// draw gives each font its own. Such a line is drawn and measured plainly every time.
struct Line {
    std::unique_ptr<QTextLayout> layout;   // null: drawn and measured plainly
    double advance = 0;
};

bool shapedByOneFont(const QTextLayout& layout)
{
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty())
        return true;
    const QRawFont first = runs.first().rawFont();
    return std::all_of(runs.begin(), runs.end(), [&first](const QGlyphRun& run) { return run.rawFont() == first; });
}

double plainAdvance(const QFont& font, const QString& text, const QPaintDevice* device)
{
    return device ? QFontMetricsF(font, device).horizontalAdvance(text) : QFontMetricsF(font).horizontalAdvance(text);
}

const Line& shaped(const QFont& font, const QString& text, const QPaintDevice* device, Qt::LayoutDirection direction)
{
    thread_local QHash<Key, std::shared_ptr<Line>> kept;
    Key key{font, text, device ? device->logicalDpiY() : 0, direction};
    if (const auto found = kept.constFind(key); found != kept.constEnd())
        return *found.value();
    if (kept.size() >= MaxKept)
        kept.clear();
    auto layout = std::make_unique<QTextLayout>(text, font, const_cast<QPaintDevice*>(device));
    QTextOption option;
    option.setTextDirection(direction);
    option.setWrapMode(QTextOption::NoWrap);
    // Absolute left: a right-to-left line is not moved to the right edge of its width.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(0x3fffff);   // wide enough for any one line (NoWrap keeps it one line)
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    auto entry = std::make_shared<Line>();
    if (layout->lineCount() == 1 && shapedByOneFont(*layout)) {
        entry->advance = layout->lineAt(0).horizontalAdvance();
        entry->layout = std::move(layout);
    } else {
        entry->advance = plainAdvance(font, text, device);
    }
    return *kept.insert(std::move(key), std::move(entry)).value();
}

} // namespace

bool ShapedText::Cacheable(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Line and paragraph breaks, tabs, the text-variant separator and the soft hyphen
        // are laid out differently in a line than in a plain draw or measure.
        if (u == u'\n' || u == u'\r' || u == u'\t' || u == 0x9c || u == 0xad || u == 0x2028 || u == 0x2029)
            return false;
    }
    return true;
}

void ShapedText::Draw(QPainter& painter, const QFont& font, const QString& text, double x, double baseline)
{
    const Line* line = Cacheable(text) && font.pixelSize() > 0
                           ? &shaped(font, text, painter.device(), painter.layoutDirection()) : nullptr;
    if (!line || !line->layout) {
        painter.setFont(font);
        painter.drawText(QPointF(x, baseline), text);
        return;
    }
    line->layout->draw(&painter, QPointF(x, baseline - line->layout->lineAt(0).ascent()));
}

double ShapedText::Advance(const QFont& font, const QString& text, const QPaintDevice* device)
{
    if (!Cacheable(text) || font.pixelSize() <= 0)
        return plainAdvance(font, text, device);
    return shaped(font, text, device, Qt::LayoutDirectionAuto).advance;
}
