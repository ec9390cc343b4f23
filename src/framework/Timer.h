#pragma once
#include <QBasicTimer>
#include <QObject>
#include <functional>

// A timer that runs its Action on the GUI thread.
// Mode 0 is off, 1 runs Action once after Period milliseconds (and then turns the Mode back
// to 0, before Action runs, so Action may start it again), 2 runs Action after every Period.
// Setting Mode or Period (to a running timer) starts the period afresh; Reset() does too.
// Ticks that come while Action itself waits in a nested event loop (a dialog) are dropped.
class Timer : public QObject
{
    Q_OBJECT
public:
    enum { ModeOff = 0, ModeSingle = 1, ModeMultiple = 2 };

    explicit Timer(QObject* parent = nullptr);
    Timer(int mode, int period, QObject* parent = nullptr);
    ~Timer() override;

    std::function<void()> Action;

    int Mode() const { return m_mode; }
    void SetMode(int mode);          // values other than 0, 1, 2 count as 0
    int Period() const { return m_period; }
    void SetPeriod(int milliseconds);  // below 0 counts as 0
    // Starts the current period afresh (a timer that is off stays off).
    void Reset();
    bool IsRunning() const { return m_timer.isActive(); }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void restart();

    QBasicTimer m_timer;
    int m_mode = ModeOff;
    int m_period = 1000;
    bool m_inAction = false;
};
