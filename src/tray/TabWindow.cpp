#include "tray/TabWindow.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/TextFunctions.h"
#include "framework/WindowManagerHints.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <climits>

bool (*TabWindow::AnotherProgramActive)() = &WindowManagerHints::AnotherProgramActive;

TabWindow::TabWindow()
{
    setWindowTitle(QStringLiteral("Tab"));
    // The tab never takes the keyboard: a window manager that gave it the focus at a click
    // refuses the focus to the calendar that the click maps anew (a window kept on top
    // covers it), and marks the calendar as asking for attention instead.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(TabWidth, TabHeight);
}

void TabWindow::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        winId();
        WindowManagerHints::WriteSkipTaskList(this);
    }
    Window::setVisible(visible);
}

int TabWindow::DefaultLeft(int availableWidth)
{
    return ToInt(availableWidth - (availableWidth / 2.0 - TabWidth / 2.0));
}

void TabWindow::KeepOnTop()
{
    Window::RaiseShownInFront();
    if (TabWindow* tab = Existing(); tab && tab->isVisible()) {
        tab->followCalendar();
        tab->raise();
    }
}

void TabWindow::followCalendar()
{
    // A window manager may lift a focused window that covers the whole screen above every
    // window kept on top (openbox does, while the window or one of its own windows has the
    // focus), but keeps a window's own windows above it: the tab belongs to the calendar
    // window shown now. It is told so without being unmapped (the calendar window may be a
    // new one, and a window manager forgets a window's own windows when it leaves the
    // screen); Qt writes the same owner whenever the tab itself is shown again.
    CalendarWindow* calendar = CalendarWindow::Existing();
    if (!calendar || !calendar->isVisible() || !calendar->windowHandle())
        return;
    winId();
    windowHandle()->setTransientParent(calendar->windowHandle());
    WindowManagerHints::WriteTransientFor(this, calendar);
}

int TabWindow::KeptOnScreen(int left)
{
    const QRect area = WorkArea::Rect();
    return std::clamp(left, area.left(), std::max(area.left(), area.left() + area.width() - TabWidth));
}

void TabWindow::Event_Open()
{
    // The colour is taken once: a later branding shows on the tab only in a new run.
    m_color = CustomizationModule::tabColor;
    const QRect area = WorkArea::Rect();
    int left = area.left() + DefaultLeft(area.width());
    if (App().tabLeft != 0) {
        // A stored place off the screen (saved on a wider screen, or edited) would leave no
        // way back to a calendar slid away: the tab comes back to the edge, and the place
        // corrected is what the preferences store next.
        left = KeptOnScreen(App().tabLeft);
        App().tabLeft = left;
    }
    move(left, area.top());
    update();
}

void TabWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}

bool TabWindow::Event_MouseDown(int x, int)
{
    InX = x;
    iMoved = false;
    m_wasDeactivated = false;
    // Only a calendar in view can be brought forward; one out of view slides in whatever the
    // answer, so the display is asked (one or two round trips) only for a calendar in view.
    if (CalendarWindow* calendar = CalendarWindow::Existing(); calendar && calendar->isVisible()) {
        // The application counts as in the background from its start until a window of it is
        // first made active (a window manager may open it behind another program), and
        // whenever it loses the keyboard. Where nothing made it active (no window manager) or
        // the keyboard went nowhere else (a desktop clicked), bringing it forward would show
        // nothing: the click is the plain one.
        m_wasDeactivated = App().Deactivated && AnotherProgramActive();
        if (m_wasDeactivated) {
            // Bring the running calendar to the front (a relaunch would start a second copy).
            calendar->raise();
            calendar->activateWindow();
            KeepOnTop();
        }
    }
    return true;
}

void TabWindow::Event_MouseDrag(int x, int)
{
    // The tab stays wholly on the screen, so that it can always be found again.
    move(KeptOnScreen(int(std::clamp<qint64>(qint64(this->x()) + x - InX, INT_MIN, INT_MAX))), y());
}

void TabWindow::Event_MouseUp(int, int)
{
    QPointer<TabWindow> self(this);
    if (iMoved) {
        // Only a calendar in view is shown: the window of one slid away stands on the work
        // area, hidden, until a slide shows it.
        CalendarWindow* calendar = CalendarWindow::Instance();
        if (calendar->Top() >= 0)
            calendar->show();
        if (self) {
            App().tabLeft = self->x();
            KeepOnTop();
        }
        return;
    }
    CalendarWindow* calendar = CalendarWindow::Instance();
    // Out of view, or put out of sight by a window manager (minimised): it slides in.
    if (calendar->Top() < 0 || calendar->isHidden() || calendar->isMinimized()) {
        QPointer<CalendarWindow> slid(calendar);
        calendar->ScrollDown();
        // The keys go to the calendar now, not to the tab that was clicked.
        if (slid && !slid->IsClosed())
            slid->activateWindow();
        App().Deactivated = false;
    } else if (m_wasDeactivated) {
        calendar->show();
        calendar->raise();
        calendar->activateWindow();
        KeepOnTop();
        App().Deactivated = false;
    } else {
        calendar->ScrollUp();
    }
}

void TabWindow::Event_Moved()
{
    iMoved = true;
    const int top = WorkArea::Rect().top();
    if (y() != top)
        move(x(), top);
}

void TabWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    m_tracking = Event_MouseDown(p.x(), p.y());
}

void TabWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_tracking || !(event->buttons() & Qt::LeftButton))
        return;
    // Window coordinates of the pointer measured from where the tab stands now.
    const int x = int(event->globalPosition().x()) - this->x();
    Event_MouseDrag(x, int(event->position().y()));
}

void TabWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking || event->button() != Qt::LeftButton)
        return;
    m_tracking = false;
    const QPoint p = event->position().toPoint();
    Event_MouseUp(p.x(), p.y());
}

void TabWindow::moveEvent(QMoveEvent* event)
{
    Window::moveEvent(event);
    Event_Moved();
}

void TabWindow::resizeEvent(QResizeEvent* event)
{
    Window::resizeEvent(event);
    if (size() != QSize(TabWidth, TabHeight))
        resize(TabWidth, TabHeight);
}
