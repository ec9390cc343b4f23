#pragma once
#include "framework/Canvas.h"

// One of the link areas that float over the calendar window's background picture:
// member Index (1 to 5) of the control array.
class floatingLinkCanvas : public Canvas
{
    Q_OBJECT
public:
    explicit floatingLinkCanvas(int index, QWidget* parent = nullptr);
    int Index = 0;
};
