#pragma once
#include <QRect>
#include <array>
#include <cstdint>
#include <vector>

// The work area of the main screen: the screen less the panels and docks that reserve a
// part of it. Qt reads it from the window manager's _NET_WORKAREA; a window manager that
// publishes none (i3, for one) still lets its docks reserve their edges with struts, and
// those are taken off the screen here. Off X11 (the tests' offscreen platform) it is Qt's
// available geometry.
class WorkArea
{
public:
    static QRect Rect();

    // A window's strut in the screen's pixels: _NET_WM_STRUT_PARTIAL's left, right, top and
    // bottom widths, then the start and end of each along its edge. A plain _NET_WM_STRUT
    // gives the four widths only and spans its whole edges (wholeEdges).
    struct Strut {
        std::array<uint32_t, 12> values{};
        bool wholeEdges = false;
    };
    // screen (in Qt's pixels) less the edges that struts reserve of the whole X screen, whose
    // size is full (Qt's pixels too: ratio screen pixels each), each strut counted where its
    // range meets screen; screen itself when they would leave less than half of it.
    static QRect LessStruts(const QRect& screen, const QSize& full, qreal ratio, const std::vector<Strut>& struts);
};
