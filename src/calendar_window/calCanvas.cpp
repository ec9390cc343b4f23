#include "calendar_window/calCanvas.h"

calCanvas::calCanvas(QWidget* parent) : Canvas(parent), m_cells(TableRows * TableColumns) {}

QString calCanvas::CellTag(int row, int column) const
{
    return InTable(row, column) ? m_cells[row * TableColumns + column] : QString();
}

void calCanvas::SetCellTag(int row, int column, const QString& text)
{
    if (InTable(row, column))
        m_cells[row * TableColumns + column] = text;
}

void calCanvas::ClearCells() { m_cells.fill(QString()); }
