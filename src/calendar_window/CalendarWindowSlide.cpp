// Sliding the calendar window up out of view and back down into view: paced steps that
// let the event loop run between them. One slide at a time; a window closed during a
// slide is not touched again.
#include "calendar_window/CalendarWindow.h"
#include "tray/TabWindow.h"
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int kStepMilliseconds = 4;
QPointer<CalendarWindow> s_sliding;

int availableTop() { return QGuiApplication::primaryScreen()->availableGeometry().top(); }

// Lets the event loop run for one step of the slide.
void slideStep()
{
    QEventLoop loop;
    QTimer::singleShot(kStepMilliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Marks window as the one sliding while it lives; false when another slide runs.
class SlideGuard
{
public:
    explicit SlideGuard(CalendarWindow* window)
    {
        if (CalendarWindow::IsSliding())
            return;
        s_sliding = window;
        m_owner = true;
    }
    ~SlideGuard()
    {
        if (m_owner)
            s_sliding = nullptr;
    }
    bool acquired() const { return m_owner; }

private:
    bool m_owner = false;
};
} // namespace

bool CalendarWindow::IsSliding() { return s_sliding && !s_sliding->IsClosed(); }

void CalendarWindow::ScrollUp()
{
    SlideGuard guard(this);
    if (!guard.acquired() || IsClosed())
        return;
    QPointer<CalendarWindow> self(this);
    int t = availableTop();
    while (t >= availableTop() - height()) {
        move(x(), t);
        show();
        slideStep();
        if (!self || self->IsClosed())
            return;
        t -= 20;
    }
    move(x(), availableTop() - height() - 10);
    setVisible(false);
}

void CalendarWindow::ScrollDown()
{
    SlideGuard guard(this);
    if (!guard.acquired() || IsClosed())
        return;
    QPointer<CalendarWindow> self(this);
    int t = availableTop() - height() - 10;
    setVisible(true);
    TabWindow::KeepOnTop();
    while (t <= availableTop()) {
        move(x(), t);
        show();
        slideStep();
        if (!self || self->IsClosed())
            return;
        t += 16;
    }
    move(x(), availableTop());
    show();
    // A window manager may restack the windows that belong to this one once it covers the
    // whole screen again (openbox lifts them above the windows kept on top).
    TabWindow::KeepOnTop();
}
