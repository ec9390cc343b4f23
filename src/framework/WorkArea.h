#pragma once
#include <QRect>

// The work area of the main screen: the screen less the panels and docks that reserve a
// part of it. Qt reads it from the window manager's _NET_WORKAREA; a window manager that
// publishes none (i3, for one) still lets its docks reserve their edges with struts, and
// those are taken off the screen here. Off X11 (the tests' offscreen platform) it is Qt's
// available geometry.
class WorkArea
{
public:
    static QRect Rect();
};
