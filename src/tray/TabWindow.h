#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QColor>

// The small tab at the top edge of the screen, above every other window: a click slides
// the calendar window into view or out of it, a drag moves the tab along the top edge
// (never past the screen's sides) and stores its place in app.tabLeft. It keeps the
// branding's tab colour of the moment it opened. When the application was in the background at
// the press (another program's window had the keyboard), a click brings the calendar forward
// instead of sliding it away.
class TabWindow : public Window
{
    Q_OBJECT
public:
    static constexpr int TabWidth = 32;
    static constexpr int TabHeight = 7;

    TabWindow();
    static TabWindow* Instance() { return WindowAccessor<TabWindow>::Get(); }
    // Made without being opened (Instance then opens it).
    static TabWindow* Make() { return WindowAccessor<TabWindow>::Make(); }
    static TabWindow* Existing() { return WindowAccessor<TabWindow>::Existing(); }

    // Press position (window coordinates) and whether the tab moved since the press.
    int InX = 0;
    bool iMoved = false;

    // Raises the small windows that show in front (mini calendar, help, about, preferences)
    // and then the tab over the windows shown since: the tab floats above them all, and
    // they above the calendar window. Called whenever the calendar window was shown or
    // raised, since a window that is mapped anew lands on top, with or without a window
    // manager. The tab belongs to the calendar window then (see followCalendar).
    static void KeepOnTop();

    // Whether another program's window has the keyboard, asked at a press on the tab while
    // the calendar is in view and the application counts as in the background: the
    // display's answer (WindowManagerHints::AnotherProgramActive); a test of the tab puts
    // its own.
    static bool (*AnotherProgramActive)();

    // The default left edge for a work area width: half a tab right of the centre.
    static int DefaultLeft(int availableWidth);
    // left moved as little as needed to keep the whole tab within the work area's width.
    static int KeptOnScreen(int left);

    // The window's events (x, y in window coordinates).
    bool Event_MouseDown(int x, int y);
    void Event_MouseDrag(int x, int y);
    void Event_MouseUp(int x, int y);
    void Event_Moved();

    // Shown, the tab is left out of task lists: it is no window of its own to the user.
    void setVisible(bool visible) override;

protected:
    void Event_Open() override;
    // The tab has no close of its own: a close asked of the window manager leaves it there,
    // the one way back to a calendar slid away.
    bool Event_CancelClose() override { return true; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // A window manager may give the tab another size whatever its fixed size says (i3 gives
    // a floating window at least 75 x 50 when it restarts): the tab asks for its own back.
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void followCalendar();
    bool m_tracking = false;
    bool m_wasDeactivated = false;   // the application was in the background at the press
    QColor m_color = QColor(51, 51, 51);   // the branding's tab colour when the tab opened
};
