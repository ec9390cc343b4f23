// Sliding the calendar window up out of view and back down into view: paced steps that
// let the event loop run between them. One slide at a time; a window closed during a
// slide is not touched again.
//
// Many window managers keep a window on the screen and refuse a move above it, so the
// window itself never leaves the work area: its place along the slide (Top) is drawn
// inside it. A picture of the window is moved up within it (SlideCurtain), and only the
// rows that reach into the work area are seen: the others are transparent where a
// compositor shows the window, cut away by the window's shape where none does. What the
// user sees at each step is the window's bottom rows against the work area's top, as if
// the window had moved.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/SlideCurtain.h"
#include "framework/WorkArea.h"
#include "tray/TabWindow.h"
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {
// Without a compositor each step is on the screen as soon as it is drawn.
constexpr int kStepMilliseconds = 4;
QPointer<CalendarWindow> s_sliding;
// How the running slide hides the rows that must not be seen (decided as it starts).
bool s_cutsWithShape = true;

int availableTop() { return WorkArea::Rect().top(); }

// The window's shape is the X server's: the tests' offscreen platform has none.
void shapeTo(QWidget* window, const QRegion& region)
{
    static const bool shapes = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!shapes)
        return;
    if (region.isEmpty())
        window->clearMask();
    else
        window->setMask(region);
}

// How long a step lasts. A compositor shows a window's picture at its own rate, once a
// screen refresh: a step shorter than that would never be seen.
int stepMilliseconds()
{
    if (s_cutsWithShape)
        return kStepMilliseconds;
    const qreal rate = QGuiApplication::primaryScreen()->refreshRate();
    return std::clamp(int(1000.0 / (rate > 1 ? rate : 60.0) + 0.5), kStepMilliseconds, 50);
}

// Lets the event loop run for one step of the slide.
void slideStep(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Marks window as the one sliding while it lives (not acquired when another slide runs),
// and decides how that slide hides rows and how long its steps last.
class SlideGuard
{
public:
    explicit SlideGuard(CalendarWindow* window)
    {
        if (CalendarWindow::IsSliding())
            return;
        s_sliding = window;
        m_owner = true;
        s_cutsWithShape = SlideCurtain::CutsWithShape(window);
        m_step = stepMilliseconds();
    }
    ~SlideGuard()
    {
        if (m_owner)
            s_sliding = nullptr;
    }
    bool acquired() const { return m_owner; }
    int step() const { return m_step; }

private:
    bool m_owner = false;
    int m_step = kStepMilliseconds;
};
} // namespace

bool CalendarWindow::IsSliding() { return s_sliding && !s_sliding->IsClosed(); }

bool CalendarWindow::PictureInMotion() const { return IsSliding(); }

void CalendarWindow::OpenOutOfView() { m_openOutOfView = true; }

void CalendarWindow::slideTo(int top)
{
    m_top = top;
    const QRect area = WorkArea::Rect();
    // The rows of the window that reach into the work area: its last ones.
    const int rows = std::min(height(), top + height() - area.top());
    if (rows <= 0) {
        setVisible(false);
        return;
    }
    if (!m_curtain)
        m_curtain = new SlideCurtain(this, !s_cutsWithShape);
    m_curtain->SetOffset(top - area.top());
    // Where a compositor shows the window, the shape is the whole window, which hides
    // nothing whenever the compositor applies it: a window carries a shape for as long as it
    // slides, so whoever watches it (a test, a benchmark) sees the slide end as it goes.
    shapeTo(this, s_cutsWithShape ? QRegion(0, 0, width(), rows) : QRegion(rect()));
    if (isVisible() && !isMinimized())
        return;
    // Shown again where it belongs, whatever a window manager did to it meanwhile.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    if (pos() != area.topLeft())
        move(area.topLeft());
    show();
    // Shown anew, the calendar window lies over the small windows that belong to it.
    TabWindow::KeepOnTop();
}

void CalendarWindow::endSlide()
{
    delete m_curtain;
    shapeTo(this, {});
}

void CalendarWindow::ScrollUp()
{
    SlideGuard guard(this);
    if (!guard.acquired() || IsClosed())
        return;
    QPointer<CalendarWindow> self(this);
    const int step = guard.step();
    // Down to the last step that still shows rows (20 of them where the height is a multiple
    // of 20): the compositor's last picture of the window is then the transparent one below.
    int t = availableTop();
    while (t > availableTop() - height()) {
        slideTo(t);
        slideStep(step);
        if (!self || self->IsClosed())
            return;
        t -= 20;
    }
    // A compositor may animate a window's disappearance (mutter shrinks it away): it is
    // last shown wholly transparent, for a few of the compositor's frames, so that nothing
    // of it is seen in that animation when the compositor took that picture in time.
    if (!s_cutsWithShape && m_curtain && isVisible()) {
        m_curtain->SetOffset(-height());
        slideStep(3 * step);
        if (!self || self->IsClosed())
            return;
    }
    m_top = availableTop() - height() - 10;
    setVisible(false);
    endSlide();
}

void CalendarWindow::ScrollDown()
{
    SlideGuard guard(this);
    if (!guard.acquired() || IsClosed())
        return;
    QPointer<CalendarWindow> self(this);
    const int step = guard.step();
    int t = availableTop() - height() - 10;
    while (t <= availableTop()) {
        slideTo(t);
        slideStep(step);
        if (!self || self->IsClosed())
            return;
        t += 16;
    }
    slideTo(availableTop());
    endSlide();
    // A window manager may restack the windows that belong to this one once it covers the
    // whole screen again (openbox lifts them above the windows kept on top).
    TabWindow::KeepOnTop();
}
