#include "framework/ListBox.h"
#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

const QColor SelectionFocused(56, 117, 215);
const QColor SelectionUnfocused(212, 212, 212);
const QColor GridColor(200, 200, 200);
const QColor HeadingColor(232, 232, 232);
constexpr int CheckBoxSize = 12;
constexpr int DragThreshold = 4;

QPoint localPoint(const QPointF& p)
{
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

bool drawsLine(int style)
{
    return style != ListBox::BorderDefault && style != ListBox::BorderNone;
}

} // namespace

ListBox::ListBox(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_columns.resize(m_columnCount);
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_vbar->hide();
    m_vbar->setFocusPolicy(Qt::NoFocus);
    connect(m_vbar, &QScrollBar::valueChanged, this, [this](int value) { SetScrollPosition(value); });
}

ListBox::~ListBox()
{
    if (m_editor)
        m_editor->removeEventFilter(this);
}

// ---------------------------------------------------------------- checks and access

void ListBox::checkRow(int row) const
{
    if (row < 0 || row >= ListCount())
        throw OutOfBoundsException("list row " + std::to_string(row) + " out of bounds");
}

void ListBox::checkColumn(int column) const
{
    if (column < 0 || column >= m_columnCount)
        throw OutOfBoundsException("list column " + std::to_string(column) + " out of bounds");
}

void ListBox::checkCell(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
}

const ListBox::CellData& ListBox::cellAt(int row, int column) const
{
    checkCell(row, column);
    return m_rows[row].cells[column];
}

ListBox::CellData& ListBox::cellAt(int row, int column)
{
    checkCell(row, column);
    return m_rows[row].cells[column];
}

// ---------------------------------------------------------------- rows

ListBox::RowData ListBox::makeRow(const QStringList& texts) const
{
    RowData row;
    row.cells.resize(m_columnCount);
    for (int c = 0; c < m_columnCount && c < texts.size(); ++c)
        row.cells[c].text = texts.at(c);
    return row;
}

int ListBox::AddRow(const QStringList& texts)
{
    m_rows.append(makeRow(texts));
    m_lastIndex = ListCount() - 1;
    ++m_structureRevision;
    updateScrollBar();
    update();
    return m_lastIndex;
}

int ListBox::AddRow(const QString& firstColumnText)
{
    return AddRow(QStringList{firstColumnText});
}

void ListBox::InsertRow(int row, const QStringList& texts)
{
    if (row < 0 || row > ListCount())
        throw OutOfBoundsException("list row " + std::to_string(row) + " out of bounds");
    m_rows.insert(row, makeRow(texts));
    m_lastIndex = row;
    ++m_structureRevision;
    if (m_listIndex >= row)
        ++m_listIndex;
    if (m_editor && m_editRow >= row)
        ++m_editRow;
    if (m_pendingEditRow >= row)
        ++m_pendingEditRow;
    updateScrollBar();
    update();
}

void ListBox::RemoveRow(int row)
{
    checkRow(row);
    if (m_editor && m_editRow == row) {
        // The row goes: its edit ends without storing and without CellAction.
        QLineEdit* editor = m_editor;
        m_editor = nullptr;
        editor->removeEventFilter(this);
        editor->hide();
        editor->deleteLater();
        m_editRow = m_editColumn = -1;
    } else if (m_editor && m_editRow > row) {
        --m_editRow;
    }
    if (m_pendingEditRow == row)
        m_pendingEditRow = -1;
    else if (m_pendingEditRow > row)
        --m_pendingEditRow;
    m_rows.removeAt(row);
    ++m_structureRevision;
    if (m_lastIndex >= ListCount())
        m_lastIndex = ListCount() - 1;
    SetScrollPosition(m_scrollPosition);
    updateScrollBar();
    update();
    if (m_listIndex == row)
        setListIndexInternal(-1);
    else if (m_listIndex > row)
        --m_listIndex;
}

void ListBox::DeleteAllRows()
{
    if (m_editor)
        RemoveRow(m_editRow);
    m_rows.clear();
    ++m_structureRevision;
    m_lastIndex = -1;
    m_pendingEditRow = -1;
    m_scrollPosition = 0;
    updateScrollBar();
    update();
    setListIndexInternal(-1);
}

QString ListBox::RowTag(int row) const
{
    checkRow(row);
    return m_rows[row].tag;
}

void ListBox::SetRowTag(int row, const QString& tag)
{
    checkRow(row);
    m_rows[row].tag = tag;
}

void ListBox::moveRow(int from, int to)
{
    if (from == to)
        return;
    const RowData data = m_rows[from];
    m_rows.removeAt(from);
    m_rows.insert(to, data);
    if (m_listIndex == from)
        m_listIndex = to;
    else if (from < m_listIndex && m_listIndex <= to)
        --m_listIndex;
    else if (to <= m_listIndex && m_listIndex < from)
        ++m_listIndex;
    update();
}

// ---------------------------------------------------------------- cells

QString ListBox::Cell(int row, int column) const { return cellAt(row, column).text; }

void ListBox::SetCell(int row, int column, const QString& text)
{
    cellAt(row, column).text = text;
    InvalidateCell(row, column);
}

QString ListBox::CellTag(int row, int column) const { return cellAt(row, column).tag; }

void ListBox::SetCellTag(int row, int column, const QString& tag) { cellAt(row, column).tag = tag; }

bool ListBox::CellCheck(int row, int column) const { return cellAt(row, column).check; }

void ListBox::SetCellCheck(int row, int column, bool checked)
{
    cellAt(row, column).check = checked;
    InvalidateCell(row, column);
}

int ListBox::CellType(int row, int column) const { return cellAt(row, column).type; }

void ListBox::SetCellType(int row, int column, int type)
{
    cellAt(row, column).type = type;
    InvalidateCell(row, column);
}

int ListBox::EffectiveCellType(int row, int column) const
{
    const int own = cellAt(row, column).type;
    return own != TypeDefault ? own : m_columns[column].type;
}

int ListBox::CellAlignment(int row, int column) const { return cellAt(row, column).alignment; }

void ListBox::SetCellAlignment(int row, int column, int alignment)
{
    cellAt(row, column).alignment = alignment;
    InvalidateCell(row, column);
}

int ListBox::CellBorderBottom(int row, int column) const { return cellAt(row, column).borderBottom; }

void ListBox::SetCellBorderBottom(int row, int column, int border)
{
    cellAt(row, column).borderBottom = border;
    InvalidateCell(row, column);
}

// ---------------------------------------------------------------- columns

void ListBox::SetColumnCount(int count)
{
    count = std::max(1, count);
    if (count == m_columnCount)
        return;
    if (m_editor && m_editColumn >= count)
        EndEdit(false);
    m_columnCount = count;
    m_columns.resize(count);
    for (RowData& row : m_rows)
        row.cells.resize(count);
    update();
}

QString ListBox::ColumnWidths() const
{
    QStringList parts;
    for (int c = 0; c < m_columnCount; ++c)
        parts << ColumnWidthExpression(c);
    return parts.join(QLatin1Char(','));
}

void ListBox::SetColumnWidths(const QString& expressions)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList parts = expressions.contains(QLatin1Char(','))
                            ? expressions.split(QLatin1Char(','))
                            : expressions.split(blanks, Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    m_widthExpressions = parts;
    if (m_editor)
        m_editor->setGeometry(CellRect(m_editRow, m_editColumn));
    update();
}

QString ListBox::ColumnWidthExpression(int column) const
{
    checkColumn(column);
    const QString e = column < m_widthExpressions.size() ? m_widthExpressions.at(column) : QString();
    return e.isEmpty() ? QStringLiteral("*") : e;
}

void ListBox::SetColumnWidthExpression(int column, const QString& expression)
{
    checkColumn(column);
    while (m_widthExpressions.size() <= column)
        m_widthExpressions.append(QStringLiteral("*"));
    m_widthExpressions[column] = expression.trimmed();
    update();
}

void ListBox::SetColumnWidthActual(int column, int pixels)
{
    SetColumnWidthExpression(column, QString::number(std::max(0, pixels)));
}

int ListBox::ColumnWidthActual(int column) const
{
    checkColumn(column);
    const QVector<int> e = edges();
    return e[column + 1] - e[column];
}

int ListBox::ColumnLeft(int column) const
{
    checkColumn(column);
    return edges()[column];
}

QVector<int> ListBox::ColumnEdges(const QStringList& expressions, int columnCount, int total)
{
    columnCount = std::max(0, columnCount);
    total = std::max(0, total);
    QVector<double> width(columnCount, 0.0);
    QVector<double> share(columnCount, 0.0);
    double fixed = 0, shares = 0;
    for (int c = 0; c < columnCount; ++c) {
        const QString e = c < expressions.size() ? expressions.at(c).trimmed() : QString();
        bool ok = true;
        if (e.isEmpty()) {
            share[c] = 1;
        } else if (e.endsWith(QLatin1Char('*'))) {
            const QString n = e.left(e.size() - 1).trimmed();
            share[c] = n.isEmpty() ? 1 : n.toDouble(&ok);
            if (!ok || share[c] < 0)
                share[c] = 1;
        } else if (e.endsWith(QLatin1Char('%'))) {
            const double pct = e.left(e.size() - 1).trimmed().toDouble(&ok);
            width[c] = ok && pct > 0 ? total * pct / 100.0 : 0;
        } else {
            const double px = e.toDouble(&ok);
            if (ok)
                width[c] = std::max(0.0, px);
            else
                share[c] = 1;
        }
        fixed += width[c];
        shares += share[c];
    }
    const double rest = std::max(0.0, total - fixed);
    QVector<int> result(columnCount + 1, 0);
    double running = 0;
    for (int c = 0; c < columnCount; ++c) {
        running += share[c] > 0 && shares > 0 ? rest * share[c] / shares : width[c];
        result[c + 1] = std::max(result[c], int(std::floor(running + 1e-6)));
    }
    return result;
}

QVector<int> ListBox::edges() const
{
    return ColumnEdges(m_widthExpressions, m_columnCount, cellAreaWidth());
}

int ListBox::ColumnType(int column) const
{
    checkColumn(column);
    return m_columns[column].type;
}

void ListBox::SetColumnType(int column, int type)
{
    checkColumn(column);
    m_columns[column].type = type;
    update();
}

int ListBox::ColumnAlignment(int column) const
{
    checkColumn(column);
    return m_columns[column].alignment;
}

void ListBox::SetColumnAlignment(int column, int alignment)
{
    checkColumn(column);
    m_columns[column].alignment = alignment;
    update();
}

int ListBox::ColumnAlignmentOffset(int column) const
{
    checkColumn(column);
    return m_columns[column].alignmentOffset;
}

void ListBox::SetColumnAlignmentOffset(int column, int pixels)
{
    checkColumn(column);
    m_columns[column].alignmentOffset = pixels;
    update();
}

QString ListBox::Heading(int column) const
{
    checkColumn(column);
    return m_columns[column].heading;
}

void ListBox::SetHeading(int column, const QString& text)
{
    checkColumn(column);
    m_columns[column].heading = text;
    update();
}

// ---------------------------------------------------------------- looks

QFont ListBox::ListFont() const
{
    return Graphics::MakeFont(m_textFont, m_textSize, m_bold, m_italic, m_underline);
}

void ListBox::SetDefaultRowHeight(int pixels)
{
    m_defaultRowHeight = pixels;
    SetScrollPosition(m_scrollPosition);
    updateScrollBar();
    update();
}

int ListBox::RowHeight() const
{
    if (m_defaultRowHeight > 0)
        return m_defaultRowHeight;
    return QFontMetrics(ListFont()).height() + 4;
}

void ListBox::SetTextFont(const QString& name) { m_textFont = name; update(); }
void ListBox::SetTextSize(int pixels) { m_textSize = pixels; update(); }
void ListBox::SetBold(bool on) { m_bold = on; update(); }
void ListBox::SetItalic(bool on) { m_italic = on; update(); }
void ListBox::SetUnderline(bool on) { m_underline = on; update(); }
void ListBox::SetHasHeading(bool on) { m_hasHeading = on; updateScrollBar(); update(); }
void ListBox::SetGridLinesHorizontal(int style) { m_gridH = style; update(); }
void ListBox::SetGridLinesVertical(int style) { m_gridV = style; update(); }

void ListBox::SetGridLines(bool on)
{
    m_gridH = m_gridV = on ? BorderThinSolid : BorderNone;
    update();
}

void ListBox::SetScrollBarVertical(bool on)
{
    m_scrollBarVertical = on;
    updateScrollBar();
    if (m_editor)
        m_editor->setGeometry(CellRect(m_editRow, m_editColumn));
    update();
}

// ---------------------------------------------------------------- geometry, scrolling

int ListBox::cellAreaWidth() const
{
    return std::max(0, width() - (m_scrollBarVertical ? m_vbar->sizeHint().width() : 0));
}

int ListBox::headingHeight() const
{
    return m_hasHeading ? RowHeight() : 0;
}

int ListBox::visibleRowPlaces() const
{
    const int area = height() - headingHeight();
    const int rh = RowHeight();
    return area <= 0 ? 0 : (area + rh - 1) / rh;
}

int ListBox::maxScrollPosition() const
{
    const int fullRows = std::max(0, (height() - headingHeight()) / RowHeight());
    return std::max(0, ListCount() - fullRows);
}

void ListBox::SetScrollPosition(int row)
{
    const int clamped = std::clamp(row, 0, maxScrollPosition());
    if (clamped == m_scrollPosition)
        return;
    m_scrollPosition = clamped;
    if (m_vbar->value() != clamped)
        m_vbar->setValue(clamped);
    if (m_editor)
        m_editor->setGeometry(CellRect(m_editRow, m_editColumn));
    update();
}

void ListBox::updateScrollBar()
{
    const int barWidth = m_vbar->sizeHint().width();
    m_vbar->setGeometry(width() - barWidth, 0, barWidth, height());
    const QSignalBlocker block(m_vbar);
    m_vbar->setRange(0, maxScrollPosition());
    m_vbar->setPageStep(std::max(1, (height() - headingHeight()) / RowHeight()));
    m_vbar->setValue(m_scrollPosition);
    m_vbar->setVisible(m_scrollBarVertical);
}

void ListBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int keep = m_scrollPosition;
    m_scrollPosition = -1;
    SetScrollPosition(keep);
    updateScrollBar();
    if (m_editor)
        m_editor->setGeometry(CellRect(m_editRow, m_editColumn));
}

QRect ListBox::CellRect(int row, int column) const
{
    checkColumn(column);
    const QVector<int> e = edges();
    const int rh = RowHeight();
    return QRect(e[column], headingHeight() + (row - m_scrollPosition) * rh, e[column + 1] - e[column], rh);
}

int ListBox::RowFromXY(int x, int y) const
{
    if (x < 0 || x >= cellAreaWidth() || y < headingHeight() || y >= height())
        return -1;
    const int row = m_scrollPosition + (y - headingHeight()) / RowHeight();
    return row < ListCount() ? row : -1;
}

int ListBox::ColumnFromXY(int x, int y) const
{
    if (y < 0 || y >= height())
        return -1;
    const QVector<int> e = edges();
    for (int c = 0; c < m_columnCount; ++c)
        if (x >= e[c] && x < e[c + 1])
            return c;
    return -1;
}

void ListBox::InvalidateCell(int row, int column)
{
    if (row < -1 || row >= ListCount())
        throw OutOfBoundsException("list row " + std::to_string(row) + " out of bounds");
    if (column < -1 || column >= m_columnCount)
        throw OutOfBoundsException("list column " + std::to_string(column) + " out of bounds");
    if (row == -1 && column == -1) {
        update();
        return;
    }
    const QVector<int> e = edges();
    const int rh = RowHeight();
    const int x = column == -1 ? 0 : e[column];
    const int w = column == -1 ? cellAreaWidth() : e[column + 1] - e[column];
    const int y = row == -1 ? headingHeight() : headingHeight() + (row - m_scrollPosition) * rh;
    const int h = row == -1 ? height() : rh;
    update(QRect(x, y, w, h));
}

// ---------------------------------------------------------------- selection

void ListBox::setListIndexInternal(int row)
{
    if (row == m_listIndex)
        return;
    m_listIndex = row;
    update();
    if (const auto handler = Change)
        handler();
}

void ListBox::SetListIndex(int row)
{
    if (row != -1)
        checkRow(row);
    setListIndexInternal(row);
}

bool ListBox::Selected(int row) const
{
    return row >= 0 && row == m_listIndex;
}

void ListBox::SetSelected(int row, bool selected)
{
    checkRow(row);
    if (selected)
        SetListIndex(row);
    else if (row == m_listIndex)
        SetListIndex(-1);
}

// ---------------------------------------------------------------- painting

int ListBox::defaultTextX(int row, int column, const QString& text, int width, const QFont& font) const
{
    int alignment = m_rows[row].cells[column].alignment;
    if (alignment == AlignDefault)
        alignment = m_columns[column].alignment;
    const int offset = m_columns[column].alignmentOffset;
    const int start = EffectiveCellType(row, column) == TypeCheckBox ? CheckBoxSize + 8 : 2;
    const int textWidth = QFontMetrics(font).horizontalAdvance(text);
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

// ---------------------------------------------------------------- editing

void ListBox::EditCell(int row, int column)
{
    checkCell(row, column);
    if (m_editor) {
        m_pendingEditRow = row;
        EndEdit(true);   // may raise CellAction, which may add or remove rows
        row = m_pendingEditRow;
        m_pendingEditRow = -1;
        if (row < 0 || row >= ListCount() || column >= m_columnCount)
            return;
    }
    auto* editor = new QLineEdit(this);
    editor->setFont(ListFont());
    editor->setFrame(false);
    editor->setText(m_rows[row].cells[column].text);
    m_editor = editor;
    m_editRow = row;
    m_editColumn = column;
    QRect r = CellRect(row, column);
    editor->setGeometry(r);
    editor->installEventFilter(this);
    connect(editor, &QLineEdit::returnPressed, this, [this, editor]() {
        if (m_editor == editor)
            EndEdit(true);
    });
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    InvalidateCell(row, column);
    if (const auto handler = CellGotFocus)
        handler(row, column);
}

QLineEdit* ListBox::ActiveCell() const
{
    return m_editor;
}

void ListBox::EndEdit(bool commit)
{
    if (!m_editor)
        return;
    QLineEdit* editor = m_editor;
    m_editor = nullptr;
    const int row = m_editRow, column = m_editColumn;
    m_editRow = m_editColumn = -1;
    editor->removeEventFilter(this);
    const QString text = editor->text();
    if (editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
    if (row < 0 || row >= ListCount() || column >= m_columnCount)
        return;
    if (commit)
        m_rows[row].cells[column].text = text;
    InvalidateCell(row, column);
    QPointer<ListBox> self(this);
    if (const auto handler = CellLostFocus)
        handler(row, column);
    if (!self || row >= ListCount())
        return;
    if (const auto handler = CellAction)
        handler(row, column);
}

bool ListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (m_editor && watched == m_editor) {
        if (event->type() == QEvent::FocusOut) {
            EndEdit(true);
        } else if (event->type() == QEvent::KeyPress
                   && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            EndEdit(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- mouse and keys

void ListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    QPointer<ListBox> self(this);
    EndEdit(true);
    if (!self)
        return;
    const QPoint p = localPoint(event->position());
    m_mouseTaken = false;
    m_dragRow = -1;
    m_dragging = false;
    m_dropPosition = -1;

    if (const auto handler = MouseDown) {
        const bool taken = handler(p.x(), p.y());
        if (!self)
            return;
        if (taken) {
            m_mouseTaken = true;
            return;
        }
    }
    int row = RowFromXY(p.x(), p.y());
    const int column = ColumnFromXY(p.x(), p.y());
    if (row >= 0 && column >= 0) {
        if (const auto handler = CellClick) {
            const int revision = m_structureRevision;
            const QRect cell = CellRect(row, column);
            const bool handled = handler(row, column, p.x() - cell.x(), p.y() - cell.y());
            if (!self)
                return;
            // A handler that added or removed rows has dealt with the click itself.
            if (handled || revision != m_structureRevision)
                return;
        }
    }
    if (row < 0 || column < 0 || row >= ListCount()) {
        if (p.y() >= headingHeight())
            setListIndexInternal(-1);
        return;
    }
    setListIndexInternal(row);
    if (!self || row >= ListCount())
        return;
    const int type = EffectiveCellType(row, column);
    if (type == TypeCheckBox) {
        m_rows[row].cells[column].check = !m_rows[row].cells[column].check;
        InvalidateCell(row, column);
        if (const auto handler = CellAction)
            handler(row, column);
        if (!self)
            return;
    } else if (type == TypeEditable) {
        EditCell(row, column);
    }
    if (m_enableDragReorder && row < ListCount()) {
        m_dragRow = row;
        m_pressPoint = p;
    }
}

void ListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = localPoint(event->position());
    if (event->buttons() == Qt::NoButton) {
        if (const auto handler = MouseMove)
            handler(p.x(), p.y());
        return;
    }
    if (m_mouseTaken) {
        if (const auto handler = MouseDrag)
            handler(p.x(), p.y());
        return;
    }
    if (m_dragRow < 0)
        return;
    if (!m_dragging) {
        if ((p - m_pressPoint).manhattanLength() < DragThreshold)
            return;
        const int revision = m_structureRevision;
        EndEdit(true);
        if (revision != m_structureRevision || m_dragRow >= ListCount()) {
            m_dragRow = -1;
            return;
        }
        m_dragging = true;
    }
    const int rh = RowHeight();
    const int place = m_scrollPosition + int(std::lround(double(p.y() - headingHeight()) / rh));
    m_dropPosition = std::clamp(place, 0, ListCount());
    update();
}

void ListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint p = localPoint(event->position());
    if (m_mouseTaken) {
        m_mouseTaken = false;
        if (const auto handler = MouseUp)
            handler(p.x(), p.y());
        return;
    }
    const bool dragging = m_dragging;
    const int from = m_dragRow, drop = m_dropPosition;
    m_dragging = false;
    m_dragRow = -1;
    m_dropPosition = -1;
    if (!dragging || from < 0 || from >= ListCount() || drop < 0)
        return;
    update();
    const int newPosition = std::min(drop > from ? drop - 1 : drop, ListCount() - 1);
    if (newPosition == from)
        return;
    QPointer<ListBox> self(this);
    if (const auto handler = DragReorderRows) {
        const bool handled = handler(newPosition, -1);
        if (!self || handled || from >= ListCount() || newPosition >= ListCount())
            return;
    }
    moveRow(from, newPosition);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPointer<ListBox> self(this);
    mousePressEvent(event);
    if (!self || m_mouseTaken || event->button() != Qt::LeftButton)
        return;
    const QPoint p = localPoint(event->position());
    if (const auto handler = DoubleClick)
        handler(p.x(), p.y());
}

void ListBox::wheelEvent(QWheelEvent* event)
{
    m_wheelRestX += -event->angleDelta().x();
    m_wheelRestY += -event->angleDelta().y();
    const int notchesX = m_wheelRestX / 120;
    const int notchesY = m_wheelRestY / 120;
    m_wheelRestX -= notchesX * 120;
    m_wheelRestY -= notchesY * 120;
    if (notchesX == 0 && notchesY == 0) {
        event->accept();
        return;
    }
    const QPoint p = localPoint(event->position());
    if (const auto handler = MouseWheel) {
        if (handler(p.x(), p.y(), notchesX, notchesY)) {
            event->accept();
            return;
        }
    }
    if (notchesY != 0 && maxScrollPosition() > 0) {
        SetScrollPosition(m_scrollPosition + 3 * notchesY);
        event->accept();
    } else {
        event->ignore();
    }
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    if (const auto handler = KeyDown) {
        if (handler(event)) {
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Up && ListCount() > 0) {
        setListIndexInternal(m_listIndex <= 0 ? 0 : m_listIndex - 1);
    } else if (event->key() == Qt::Key_Down && ListCount() > 0) {
        setListIndexInternal(std::min(ListCount() - 1, m_listIndex + 1));
    } else {
        event->ignore();
        return;
    }
    const int fullRows = std::max(1, (height() - headingHeight()) / RowHeight());
    if (m_listIndex < m_scrollPosition)
        SetScrollPosition(m_listIndex);
    else if (m_listIndex >= m_scrollPosition + fullRows)
        SetScrollPosition(m_listIndex - fullRows + 1);
}

void ListBox::enterEvent(QEnterEvent*)
{
    if (const auto handler = MouseEnter)
        handler();
}

void ListBox::leaveEvent(QEvent*)
{
    if (const auto handler = MouseExit)
        handler();
}
