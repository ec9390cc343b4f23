#pragma once
#include <QFont>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <functional>

class Graphics;
class QKeyEvent;

class QScrollBar;

// The list control: rows x columns of cells, each with a text, a tag, a check state and
// per-cell display settings, painted by the list itself and by its owner's hooks.
//
// Indexes count from 0. Reading or writing a cell, row or column that does not exist
// throws OutOfBoundsException. A cell that was never given a tag reads as "".
//
// Painting: every visible cell is painted on its own Graphics, clipped to the cell, with
// its origin at the cell's top-left corner and a fresh state (the list's font, size and
// style; black). This includes the empty row places below the last row that fill the
// control's height, for which row >= ListCount(). For each cell: the list fills it white;
// CellBackgroundPaint runs, and unless it returned true the list draws the selection
// highlight on the selected row. For a cell of an existing row CellTextPaint then runs
// with the place where the text would go (x, baseline y), and unless it returned true the
// list draws the cell's text (and its check box in a check-box cell). Grid lines and the
// cells' bottom borders come last.
//
// Mouse press, in this order: MouseDown(x, y) (true: the list takes the press and sends
// MouseDrag and MouseUp, nothing else happens); CellClick(row, column, x, y) with x, y
// relative to the cell, for a cell of an existing row (true: nothing else happens); then
// the list's own handling: the row becomes the selection (a press below the last row
// clears it), a check-box cell toggles and raises CellAction, an editable cell opens for
// editing, and with EnableDragReorder a drag moves the row.
//
// Change runs whenever ListIndex changes. CellAction(row, column) runs after a check box
// was toggled by a click and after an in-place edit ended.
//
// Nothing in the constructor reads the window: the owner sets the list up in its open
// handler.
class ListBox : public QWidget
{
    Q_OBJECT
public:
    // Cell and column types.
    enum { TypeDefault = 0, TypeNormal = 1, TypeCheckBox = 2, TypeEditable = 3 };
    // Alignments.
    enum { AlignDefault = 0, AlignLeft = 1, AlignCenter = 2, AlignRight = 3 };
    // Borders and grid lines.
    enum { BorderDefault = 0, BorderNone = 1, BorderThinDotted = 2, BorderThinSolid = 3,
           BorderThickSolid = 4, BorderDouble = 5 };

    explicit ListBox(QWidget* parent = nullptr);
    ~ListBox() override;

    // ---- handler slots ----
    std::function<bool(Graphics& g, int row, int column)> CellBackgroundPaint;
    std::function<bool(Graphics& g, int row, int column, int x, int y)> CellTextPaint;
    std::function<bool(int row, int column, int x, int y)> CellClick;
    std::function<bool(int x, int y)> MouseDown;
    std::function<void(int x, int y)> MouseDrag;
    std::function<void(int x, int y)> MouseUp;
    std::function<void(int x, int y)> MouseMove;
    std::function<void()> MouseEnter;
    std::function<void()> MouseExit;
    std::function<void(int x, int y)> DoubleClick;
    std::function<void()> Change;
    std::function<bool(QKeyEvent* event)> KeyDown;
    std::function<void(int row, int column)> CellAction;
    std::function<void(int row, int column)> CellGotFocus;
    std::function<void(int row, int column)> CellLostFocus;
    // A dragged row is about to move so that it stands at newPosition (its index after the
    // move); parentRow is -1 (the list is flat). True: the handler took care of it and the
    // list moves nothing.
    std::function<bool(int newPosition, int parentRow)> DragReorderRows;
    // Wheel in notches (as Canvas); true: the list does not scroll.
    std::function<bool(int x, int y, int deltaX, int deltaY)> MouseWheel;

    // ---- rows ----
    int ListCount() const { return int(m_rows.size()); }
    // Appends a row with the texts of its first columns; returns its index (LastIndex).
    int AddRow(const QStringList& texts = {});
    int AddRow(const QString& firstColumnText);
    // Inserts a row at row (0 to ListCount); the selection stays on its row.
    void InsertRow(int row, const QStringList& texts = {});
    void RemoveRow(int row);
    void DeleteAllRows();
    // The row added or inserted last (-1 when none since the list was emptied).
    int LastIndex() const { return m_lastIndex; }

    QString RowTag(int row) const;
    void SetRowTag(int row, const QString& tag);

    // ---- cells ----
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    QString CellTag(int row, int column) const;
    void SetCellTag(int row, int column, const QString& tag);
    bool CellCheck(int row, int column) const;
    void SetCellCheck(int row, int column, bool checked);
    // The cell's own type; TypeDefault means the column's type.
    int CellType(int row, int column) const;
    void SetCellType(int row, int column, int type);
    int CellAlignment(int row, int column) const;
    void SetCellAlignment(int row, int column, int alignment);
    int CellBorderBottom(int row, int column) const;
    void SetCellBorderBottom(int row, int column, int border);
    // The type in force: the cell's, else the column's.
    int EffectiveCellType(int row, int column) const;

    // ---- columns ----
    int ColumnCount() const { return m_columnCount; }
    void SetColumnCount(int count);   // at least 1
    // Width expressions separated by "," (or blanks): a number of pixels ("60", fractions
    // allowed), a percentage of the list's width ("25%"), or a share of the width left
    // over by the others ("*", "2*"). Missing or empty expressions count as "*".
    QString ColumnWidths() const;
    void SetColumnWidths(const QString& expressions);
    QString ColumnWidthExpression(int column) const;
    void SetColumnWidthExpression(int column, const QString& expression);
    int ColumnWidthActual(int column) const;
    void SetColumnWidthActual(int column, int pixels);
    int ColumnLeft(int column) const;
    int ColumnType(int column) const;
    void SetColumnType(int column, int type);
    int ColumnAlignment(int column) const;
    void SetColumnAlignment(int column, int alignment);
    int ColumnAlignmentOffset(int column) const;
    void SetColumnAlignmentOffset(int column, int pixels);
    QString Heading(int column) const;
    void SetHeading(int column, const QString& text);

    // Column lefts (ColumnCount + 1 edges, the last one the right edge of the last column)
    // for the expressions over total pixels. Edges are the running sums of the exact widths
    // rounded down, so columns of a fractional width line up with another list that uses
    // the same expressions.
    static QVector<int> ColumnEdges(const QStringList& expressions, int columnCount, int total);

    // ---- looks ----
    // Row height in pixels; -1 (the default) derives it from the text size.
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int pixels);
    int RowHeight() const;      // the height in force
    QString TextFont() const { return m_textFont; }
    void SetTextFont(const QString& name);
    int TextSize() const { return m_textSize; }   // pixels, 0 = 12
    void SetTextSize(int pixels);
    bool Bold() const { return m_bold; }
    void SetBold(bool on);
    bool Italic() const { return m_italic; }
    void SetItalic(bool on);
    bool Underline() const { return m_underline; }
    void SetUnderline(bool on);
    bool HasHeading() const { return m_hasHeading; }
    void SetHasHeading(bool on);
    // Grid lines: BorderNone / BorderDefault none, the others a thin solid line.
    int GridLinesHorizontal() const { return m_gridH; }
    void SetGridLinesHorizontal(int style);
    int GridLinesVertical() const { return m_gridV; }
    void SetGridLinesVertical(int style);
    void SetGridLines(bool on);    // both thin solid, or both none
    bool ScrollBarVertical() const { return m_scrollBarVertical; }
    void SetScrollBarVertical(bool on);
    bool ScrollBarHorizontal() const { return m_scrollBarHorizontal; }
    void SetScrollBarHorizontal(bool on) { m_scrollBarHorizontal = on; }   // kept, not shown
    bool EnableDragReorder() const { return m_enableDragReorder; }
    void SetEnableDragReorder(bool on) { m_enableDragReorder = on; }

    // ---- scrolling, selection ----
    // Index of the first row shown (0 to the last row that still fills the list).
    int ScrollPosition() const { return m_scrollPosition; }
    void SetScrollPosition(int row);
    int ListIndex() const { return m_listIndex; }
    void SetListIndex(int row);      // -1 clears; other rows outside the list throw
    bool Selected(int row) const;
    void SetSelected(int row, bool selected);

    // ---- hit testing, repainting ----
    // The row / column under a point of the control; -1 outside the rows / columns. Rows
    // below the last row give -1.
    int RowFromXY(int x, int y) const;
    int ColumnFromXY(int x, int y) const;
    // The cell's rectangle in the control's coordinates (rows past the end are allowed).
    QRect CellRect(int row, int column) const;
    // Repaints one cell; -1 for row or column means every row / column. Throws
    // OutOfBoundsException for a row or column outside the list.
    void InvalidateCell(int row, int column);
    void Refresh() { update(); }

    // ---- in-place editing ----
    // Opens the cell for editing in a line edit over it (ending any other edit first);
    // Return, or another control of the window taking the focus, commits the text; Escape
    // keeps the old text. Either way the edit ends and CellAction(row, column) runs.
    // EndEdit ends it from code.
    void EditCell(int row, int column);
    // The editor while a cell is being edited, else nullptr.
    QLineEdit* ActiveCell() const;
    bool IsEditing() const { return m_editor != nullptr; }
    int EditRow() const { return m_editRow; }
    int EditColumn() const { return m_editColumn; }
    void EndEdit(bool commit = true);

    QFont ListFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct CellData {
        QString text;
        QString tag;
        bool check = false;
        int type = TypeDefault;
        int alignment = AlignDefault;
        int borderBottom = BorderDefault;
    };
    struct RowData {
        QVector<CellData> cells;
        QString tag;
    };
    struct ColumnData {
        int type = TypeDefault;
        int alignment = AlignDefault;
        int alignmentOffset = 0;
        QString heading;
    };

    void checkRow(int row) const;
    void checkColumn(int column) const;
    void checkCell(int row, int column) const;
    const CellData& cellAt(int row, int column) const;
    CellData& cellAt(int row, int column);
    RowData makeRow(const QStringList& texts) const;
    void setListIndexInternal(int row);
    int cellAreaWidth() const;
    int headingHeight() const;
    int visibleRowPlaces() const;
    int maxScrollPosition() const;
    void updateScrollBar();
    QVector<int> edges() const;
    void paintCell(QPainter& painter, int row, int column, const QRect& rect);
    void drawCheckBox(Graphics& g, int x, int height, bool checked);
    int defaultTextX(int row, int column, const QString& text, int width, const QFont& font) const;
    void moveRow(int from, int to);

    QVector<RowData> m_rows;
    QVector<ColumnData> m_columns;
    QStringList m_widthExpressions;   // may be longer or shorter than the column count
    int m_structureRevision = 0;      // counts row insertions and removals
    int m_columnCount = 1;
    int m_lastIndex = -1;
    int m_listIndex = -1;
    int m_scrollPosition = 0;

    int m_defaultRowHeight = -1;
    QString m_textFont = QStringLiteral("System");
    int m_textSize = 0;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_hasHeading = false;
    int m_gridH = BorderNone;
    int m_gridV = BorderNone;
    bool m_scrollBarVertical = false;
    bool m_scrollBarHorizontal = false;
    bool m_enableDragReorder = false;

    QScrollBar* m_vbar = nullptr;
    QPointer<QLineEdit> m_editor;
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_pendingEditRow = -1;        // EditCell's target while an earlier edit ends

    // Mouse state.
    bool m_mouseTaken = false;      // MouseDown took the press
    int m_dragRow = -1;             // row pressed with drag reordering enabled
    QPoint m_pressPoint;
    bool m_dragging = false;
    int m_dropPosition = -1;        // insertion place (0 to ListCount) while dragging
    int m_wheelRestX = 0;
    int m_wheelRestY = 0;
};
