#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

// The small tab at the top edge of the screen, above every other window: a click slides
// the calendar window into view or out of it, a drag moves the tab along the top edge and
// stores its place in app.tabLeft. When the application was in the background at the
// press, a click brings the calendar forward instead of sliding it away.
class TabWindow : public Window
{
    Q_OBJECT
public:
    static constexpr int TabWidth = 32;
    static constexpr int TabHeight = 7;

    TabWindow();
    static TabWindow* Instance() { return WindowAccessor<TabWindow>::Get(); }
    static TabWindow* Existing() { return WindowAccessor<TabWindow>::Existing(); }

    // Press position (window coordinates) and whether the tab moved since the press.
    int InX = 0;
    bool iMoved = false;

    // Raises the tab over the windows shown since (it floats above them all).
    static void KeepOnTop();

    // The default left edge for a work area width: half a tab right of the centre.
    static int DefaultLeft(int availableWidth);

    // The window's events (x, y in window coordinates).
    bool Event_MouseDown(int x, int y);
    void Event_MouseDrag(int x, int y);
    void Event_MouseUp(int x, int y);
    void Event_Moved();

protected:
    void Event_Open() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_tracking = false;
    bool m_wasDeactivated = false;   // the application was in the background at the press
};
