#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Synthetic input for widget tests, delivered through the application as real input is
// (so that ignored events travel on to the parent).
namespace WidgetEvents {

inline void mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton,
                  Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

inline void press(QWidget* w, QPoint p) { mouse(w, QEvent::MouseButtonPress, p); }
inline void drag(QWidget* w, QPoint p) { mouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
inline void hover(QWidget* w, QPoint p) { mouse(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
inline void release(QWidget* w, QPoint p) { mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
inline void click(QWidget* w, QPoint p)
{
    press(w, p);
    release(w, p);
}

// Returns whether the widget kept the event (a kept event does not go on to the parent).
inline bool wheel(QWidget* w, QPoint p, QPoint angleDelta)
{
    QWheelEvent event(QPointF(p), QPointF(w->mapToGlobal(p)), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
    return event.isAccepted();
}

inline void key(QWidget* w, int key, const QString& text = QString())
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &event);
}

// Runs the event loop for about ms milliseconds.
inline void spin(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace WidgetEvents
