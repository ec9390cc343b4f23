#pragma once
#include "glance/calList.h"

// One of the calendar window's two month lists beside the week grid: member Index of the
// control array (0 the selected date's month, 1 the next month).
class MiniCalList : public calList
{
    Q_OBJECT
public:
    explicit MiniCalList(int index, QWidget* parent = nullptr);
    int Index = 0;
};
