// The list's model: rows, cells, columns and their widths, looks, scrolling and selection.
// Painting is in ListBoxPaint.cpp, editing and input in ListBoxInput.cpp.
#include "framework/ListBox.h"
#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include <QFontMetrics>
#include <QRegularExpression>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <string>

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
    if (ListCount() == 0)   // nothing to scroll: no font is measured
        return 0;
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
    if (ListCount() > 0)   // set again whenever rows come or go
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
