#include "framework/Timer.h"
#include <QPointer>
#include <QTimerEvent>

Timer::Timer(QObject* parent) : QObject(parent)
{
}

Timer::Timer(int mode, int period, QObject* parent) : QObject(parent), m_period(period < 0 ? 0 : period)
{
    SetMode(mode);
}

Timer::~Timer() = default;

void Timer::SetMode(int mode)
{
    m_mode = (mode == ModeSingle || mode == ModeMultiple) ? mode : ModeOff;
    restart();
}

void Timer::SetPeriod(int milliseconds)
{
    m_period = milliseconds < 0 ? 0 : milliseconds;
    restart();
}

void Timer::Reset()
{
    restart();
}

void Timer::restart()
{
    m_timer.stop();
    if (m_mode != ModeOff)
        m_timer.start(m_period, Qt::PreciseTimer, this);
}

void Timer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (m_mode == ModeSingle) {
        m_timer.stop();
        m_mode = ModeOff;
    }
    // An action that runs a nested event loop (a dialog) is not entered a second time by
    // the ticks that come while it waits.
    if (m_inAction)
        return;
    const auto action = Action;
    if (!action)
        return;
    QPointer<Timer> self(this);
    m_inAction = true;
    struct Guard { QPointer<Timer>& t; ~Guard() { if (t) t->m_inAction = false; } } guard{self};
    action();
}
