#pragma once
#include "framework/ListBox.h"
#include <QVector>

// A one-row list used as a strip of buttons: each column is a button whose look (0 normal,
// 1 hover, 2 pressed) is kept in cellState; getColumn maps a position to a column.
class listboxButton : public ListBox
{
    Q_OBJECT
public:
    static constexpr int MaxColumns = 10;

    explicit listboxButton(QWidget* parent = nullptr);

    QVector<int> cellState = QVector<int>(MaxColumns, 0);
    int currentColumn = 0;

    // The column under x (pixels from the control's left edge): the first column but the
    // last whose right edge lies beyond x, which also gets the hover look and is repainted;
    // otherwise the last column (0 with none), unchanged.
    int getColumn(int x);
    // The state of column (0 for a column the strip keeps no state for).
    int StateOf(int column) const;
    void SetState(int column, int state);
};
