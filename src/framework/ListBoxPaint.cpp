// The list's painting: every visible cell on its own Graphics, with the owner's hooks.
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include <QFontMetrics>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <memory>

namespace {

const QColor SelectionFocused(56, 117, 215);
const QColor SelectionUnfocused(212, 212, 212);
const QColor GridColor(200, 200, 200);
const QColor HeadingColor(232, 232, 232);
constexpr int CheckBoxSize = 12;

bool drawsLine(int style)
{
    return style != ListBox::BorderDefault && style != ListBox::BorderNone;
}

} // namespace

// ---------------------------------------------------------------- painting

int ListBox::defaultTextX(int row, int column, const QString& text, int width, const QFont& font) const
{
    int alignment = m_rows[row].cells[column].alignment;
    if (alignment == AlignDefault)
        alignment = m_columns[column].alignment;
    const int offset = m_columns[column].alignmentOffset;
    const int start = EffectiveCellType(row, column) == TypeCheckBox ? CheckBoxSize + 8 : 2;
    const int textWidth = QFontMetrics(Graphics::FontFor(font, text)).horizontalAdvance(text);
    switch (alignment) {
    case AlignCenter: return (width - textWidth) / 2 + offset;
    case AlignRight: return width - textWidth - 2 + offset;
    default: return start + offset;
    }
}

void ListBox::drawCheckBox(Graphics& g, int x, int height, bool checked)
{
    const int size = std::max(6, std::min(CheckBoxSize, height - 4));
    const int y = (height - size) / 2;
    g.SetForeColor(QColor(255, 255, 255));
    g.FillRect(x, y, size, size);
    g.SetForeColor(QColor(110, 110, 110));
    g.DrawRect(x, y, size, size);
    if (checked) {
        g.SetForeColor(QColor(20, 20, 20));
        g.SetPenWidth(2);
        g.SetPenHeight(2);
        g.DrawLine(x + 2, y + size / 2, x + size / 2 - 1, y + size - 4);
        g.DrawLine(x + size / 2 - 1, y + size - 4, x + size - 4, y + 2);
    }
}

void ListBox::paintCell(QPainter& painter, int row, int column, const QRect& rect)
{
    const int w = rect.width(), h = rect.height();
    const bool exists = row < ListCount();
    const bool selected = exists && row == m_listIndex;
    auto freshGraphics = [&](QPainter& p) {
        auto g = std::make_unique<Graphics>(&p, w, h);
        g->SetTextFont(m_textFont);
        g->SetTextSize(m_textSize);
        g->SetBold(m_bold);
        g->SetItalic(m_italic);
        g->SetUnderline(m_underline);
        return g;
    };

    painter.save();
    painter.setClipRect(rect);
    painter.translate(rect.topLeft());

    // Plain background and grid lines, then the owner's background.
    painter.fillRect(QRect(0, 0, w, h), QColor(255, 255, 255));
    if (drawsLine(m_gridV))
        painter.fillRect(QRect(w - 1, 0, 1, h), GridColor);
    if (drawsLine(m_gridH))
        painter.fillRect(QRect(0, h - 1, w, 1), GridColor);
    bool handled = false;
    if (const auto hook = CellBackgroundPaint) {
        painter.save();
        auto g = freshGraphics(painter);
        handled = hook(*g, row, column);
        painter.restore();
    }
    const bool focused = hasFocus() || (m_editor && m_editor->hasFocus());
    if (!handled && selected)
        painter.fillRect(QRect(0, 0, w, h), focused ? SelectionFocused : SelectionUnfocused);

    // Text and check box of an existing row (the hooks may have removed rows).
    if (row < ListCount() && column < m_columnCount) {
        const CellData& cell = m_rows[row].cells[column];
        const QFont font = ListFont();
        const QFontMetrics metrics(font);
        const int x = defaultTextX(row, column, cell.text, w, font);
        const int y = (h + metrics.ascent() - metrics.descent()) / 2;
        bool textHandled = false;
        if (const auto hook = CellTextPaint) {
            painter.save();
            auto g = freshGraphics(painter);
            textHandled = hook(*g, row, column, x, y);
            painter.restore();
        }
        if (row < ListCount() && column < m_columnCount) {
            const CellData& now = m_rows[row].cells[column];
            auto g = freshGraphics(painter);
            if (EffectiveCellType(row, column) == TypeCheckBox)
                drawCheckBox(*g, 4 + m_columns[column].alignmentOffset, h, now.check);
            if (!textHandled && !now.text.isEmpty() && !(m_editor && m_editRow == row && m_editColumn == column)) {
                g->SetForeColor(selected && focused && !handled ? QColor(255, 255, 255) : QColor(0, 0, 0));
                g->DrawString(now.text, x, y);
            }
            const int border = now.borderBottom;
            if (drawsLine(border)) {
                painter.setPen(Qt::NoPen);
                const QColor line(0, 0, 0);
                if (border == BorderThickSolid) {
                    painter.fillRect(QRect(0, h - 2, w, 2), line);
                } else if (border == BorderDouble) {
                    painter.fillRect(QRect(0, h - 1, w, 1), line);
                    painter.fillRect(QRect(0, h - 3, w, 1), line);
                } else if (border == BorderThinDotted) {
                    for (int px = 0; px < w; px += 2)
                        painter.fillRect(QRect(px, h - 1, 1, 1), line);
                } else {
                    painter.fillRect(QRect(0, h - 1, w, 1), line);
                }
            }
        }
    }
    painter.restore();
}

void ListBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QVector<int> e = edges();
    const int rh = RowHeight();
    const int top = headingHeight();
    if (top > 0) {
        painter.fillRect(QRect(0, 0, cellAreaWidth(), top), HeadingColor);
        painter.setFont(ListFont());
        painter.setPen(QColor(0, 0, 0));
        for (int c = 0; c < m_columnCount; ++c) {
            const QRect r(e[c] + 2, 0, e[c + 1] - e[c] - 4, top);
            painter.drawText(r, Qt::AlignVCenter | Qt::AlignLeft, m_columns[c].heading);
            painter.fillRect(QRect(e[c + 1] - 1, 0, 1, top), GridColor);
        }
        painter.fillRect(QRect(0, top - 1, cellAreaWidth(), 1), GridColor);
    }
    QPointer<ListBox> self(this);
    const int places = visibleRowPlaces();
    for (int place = 0; place < places; ++place) {
        const int row = m_scrollPosition + place;
        const int y = top + place * rh;
        for (int c = 0; c < m_columnCount && c + 1 < e.size(); ++c) {
            const QRect rect(e[c], y, e[c + 1] - e[c], rh);
            if (rect.width() <= 0 || !event->rect().intersects(rect))
                continue;
            paintCell(painter, row, c, rect);
            if (!self)
                return;
        }
    }
    if (m_dragging && m_dropPosition >= 0) {
        const int y = top + (m_dropPosition - m_scrollPosition) * rh;
        painter.fillRect(QRect(0, std::max(0, y - 1), cellAreaWidth(), 2), QColor(40, 40, 40));
    }
}
