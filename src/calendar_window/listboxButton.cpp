#include "calendar_window/listboxButton.h"

listboxButton::listboxButton(QWidget* parent) : ListBox(parent) {}

int listboxButton::getColumn(int x)
{
    int sum = 0;
    int i = 0;
    while (i <= ColumnCount() - 2) {
        sum += ColumnWidthActual(i);
        if (x < sum) {
            SetState(i, 1);
            if (ListCount() > 0)
                InvalidateCell(0, i);
            return i;
        }
        ++i;
    }
    return i;
}

int listboxButton::StateOf(int column) const
{
    return column >= 0 && column < cellState.size() ? cellState[column] : 0;
}

void listboxButton::SetState(int column, int state)
{
    if (column >= 0 && column < cellState.size())
        cellState[column] = state;
}
