#pragma once
#include "framework/Canvas.h"
#include <QString>
#include <QVector>

// A canvas that carries a grid of cell texts and the geometry of its rows and columns; its
// owner fills, paints and hit-tests it. The year view uses 81 rows of 33 columns (three
// years of 27 rows); the table holds one row more, which the painter reads as the row
// after the last year. Reading a cell outside the table gives "", writing one does nothing.
class calCanvas : public Canvas
{
    Q_OBJECT
public:
    static constexpr int TableRows = 82;
    static constexpr int TableColumns = 33;

    explicit calCanvas(QWidget* parent = nullptr);

    QString CellTag(int row, int column) const;
    void SetCellTag(int row, int column, const QString& text);
    static bool InTable(int row, int column)
    {
        return row >= 0 && row < TableRows && column >= 0 && column < TableColumns;
    }
    // Empties every cell.
    void ClearCells();

    QVector<int> ColumnWidth = QVector<int>(TableColumns, 0);
    int ScrollPosition = 0;
    int ListCount = 81;
    int ColumnCount = 33;
    int DefaultRowHeight = 0;
    int TextSize = 12;
    int ColumnsWidth = 0;
    int MarginWidth = 0;
    QString TextFont = QStringLiteral("Arial");
    int MarginHeight = 0;

    // Kept for callers that invalidate one cell; the whole canvas repaints anyway.
    void InvalidateCell_notneeded(int, int) {}

private:
    QVector<QString> m_cells;
};
