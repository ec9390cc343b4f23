#include "WidgetEvents.h"
#include "framework/Canvas.h"
#include "framework/Graphics.h"
#include "framework/Timer.h"
#include "framework/UpDownArrows.h"
#include "framework/Window.h"
#include <QPixmap>
#include <gtest/gtest.h>

using namespace WidgetEvents;

namespace {

// A parent that records the presses its child canvas did not take.
class PressRecorder : public QWidget
{
public:
    int presses = 0;
    int keys = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

} // namespace

TEST(Canvas, APressThatHidesTheCanvasDoesNotSwallowTheNextOne)
{
    PressRecorder parent;
    Canvas* canvas = new Canvas(&parent);
    canvas->setGeometry(10, 10, 50, 40);
    parent.show();
    int downs = 0;
    canvas->MouseDown = [&](int, int) {
        ++downs;
        canvas->hide();       // e.g. the year view giving way to the week
        return true;
    };
    press(canvas, {5, 6});
    EXPECT_FALSE(canvas->IsTracking());
    canvas->show();
    press(canvas, {5, 6});
    EXPECT_EQ(downs, 2);      // the first press after coming back is not lost
    canvas->MouseDown = [&](int, int) { return true; };
    press(canvas, {5, 6});
    canvas->hide();
    EXPECT_FALSE(canvas->IsTracking());
}

TEST(Canvas, MouseDownDecidesWhoGetsDragAndUp)
{
    PressRecorder parent;
    Canvas* canvas = new Canvas(&parent);
    canvas->setGeometry(10, 10, 50, 40);
    QStringList log;
    bool take = true;
    canvas->MouseDown = [&](int x, int y) {
        log << QString("down %1,%2").arg(x).arg(y);
        return take;
    };
    canvas->MouseDrag = [&](int x, int y) { log << QString("drag %1,%2").arg(x).arg(y); };
    canvas->MouseUp = [&](int x, int y) { log << QString("up %1,%2").arg(x).arg(y); };
    canvas->MouseMove = [&](int x, int y) { log << QString("move %1,%2").arg(x).arg(y); };

    hover(canvas, {3, 4});
    press(canvas, {5, 6});
    EXPECT_TRUE(canvas->IsTracking());
    drag(canvas, {-4, 60});                   // outside the canvas still reaches it
    release(canvas, {-4, 60});
    EXPECT_FALSE(canvas->IsTracking());
    EXPECT_EQ(log, QStringList({"move 3,4", "down 5,6", "drag -4,60", "up -4,60"}));
    EXPECT_EQ(parent.presses, 0);

    log.clear();
    take = false;
    press(canvas, {7, 8});
    release(canvas, {7, 8});
    EXPECT_EQ(log, QStringList({"down 7,8"}));
    EXPECT_EQ(parent.presses, 1);             // the press went on to the parent

    canvas->MouseDown = nullptr;
    press(canvas, {7, 8});
    EXPECT_EQ(parent.presses, 2);
}

TEST(Canvas, WheelCountsNotches)
{
    PressRecorder parent;
    Canvas* canvas = new Canvas(&parent);
    canvas->resize(40, 40);
    EXPECT_FALSE(wheel(canvas, {1, 1}, {0, 120}));   // no handler: left to the parent

    QVector<QPoint> deltas;
    canvas->MouseWheel = [&](int, int, int dx, int dy) {
        deltas << QPoint(dx, dy);
        return false;
    };
    EXPECT_TRUE(wheel(canvas, {1, 1}, {0, 120}));    // away from the user: up, -1; kept
    wheel(canvas, {1, 1}, {0, -240});         // two notches down
    wheel(canvas, {1, 1}, {0, 0});            // nothing
    wheel(canvas, {1, 1}, {0, -40});          // a third of a notch: nothing yet
    wheel(canvas, {1, 1}, {0, -80});          // ... now one
    wheel(canvas, {1, 1}, {-120, 0});         // to the right
    EXPECT_EQ(deltas, QVector<QPoint>({{0, -1}, {0, 2}, {0, 1}, {1, 0}}));
}

TEST(Canvas, KeysEnterExitAndPaint)
{
    PressRecorder parent;
    Canvas* canvas = new Canvas(&parent);
    canvas->resize(20, 10);
    canvas->KeyDown = [](QKeyEvent* e) { return e->key() == Qt::Key_PageDown; };
    key(canvas, Qt::Key_PageDown);
    EXPECT_EQ(parent.keys, 0);
    key(canvas, Qt::Key_Space, " ");
    EXPECT_EQ(parent.keys, 1);

    QStringList log;
    canvas->MouseEnter = [&] { log << "enter"; };
    canvas->MouseExit = [&] { log << "exit"; };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(canvas, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(canvas, &leave);
    EXPECT_EQ(log, QStringList({"enter", "exit"}));

    canvas->SetHelpTag("Goto");
    EXPECT_EQ(canvas->toolTip(), "Goto");

    // The backdrop (masked) is drawn first, Paint over it; settings persist in one paint.
    auto backdrop = Picture::New(20, 10);
    backdrop->Graphics().SetForeColor(QColor(255, 0, 0));
    backdrop->Graphics().FillRect(0, 0, 20, 10);
    backdrop->Mask()->Graphics().SetForeColor(QColor(255, 255, 255));
    backdrop->Mask()->Graphics().FillRect(10, 0, 10, 10);
    canvas->SetBackdrop(backdrop);
    canvas->setAutoFillBackground(true);
    canvas->setPalette(QPalette(QColor(0, 0, 255)));
    int paints = 0;
    canvas->Paint = [&](Graphics& g) {
        ++paints;
        g.SetForeColor(QColor(0, 255, 0));
        g.FillRect(0, 0, 2, 2);
        g.FillRect(18, 8, 2, 2);   // same colour still in force
    };
    const QImage shot = canvas->grab().toImage();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(15, 5)), QColor(0, 0, 255));   // masked out: background shows
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(shot.pixel(19, 9)), QColor(0, 255, 0));
}

TEST(Timer, Modes)
{
    Timer timer;
    int fired = 0;
    int modeSeen = -1;
    timer.Action = [&] {
        ++fired;
        modeSeen = timer.Mode();
    };
    EXPECT_EQ(timer.Mode(), Timer::ModeOff);
    timer.SetPeriod(10);
    spin(40);
    EXPECT_EQ(fired, 0);                      // off: never fires

    timer.SetMode(Timer::ModeSingle);
    spin(80);
    EXPECT_EQ(fired, 1);                      // once
    EXPECT_EQ(modeSeen, Timer::ModeOff);      // turned off before the action ran
    EXPECT_EQ(timer.Mode(), Timer::ModeOff);
    EXPECT_FALSE(timer.IsRunning());

    fired = 0;
    timer.SetMode(Timer::ModeMultiple);
    spin(120);
    EXPECT_GE(fired, 3);
    timer.SetMode(Timer::ModeOff);
    const int after = fired;
    spin(40);
    EXPECT_EQ(fired, after);

    // Setting the period of a running single timer starts it afresh.
    fired = 0;
    timer.SetPeriod(150);
    timer.SetMode(Timer::ModeSingle);
    spin(75);
    timer.SetPeriod(150);
    spin(75);
    EXPECT_EQ(fired, 0);
    spin(150);
    EXPECT_EQ(fired, 1);

    timer.SetMode(7);                         // unknown modes are off
    EXPECT_EQ(timer.Mode(), Timer::ModeOff);
}

TEST(Timer, ActionMayRestartItself)
{
    Timer timer(Timer::ModeSingle, 5);
    int fired = 0;
    timer.Action = [&] {
        if (++fired < 3)
            timer.SetMode(Timer::ModeSingle);
    };
    spin(100);
    EXPECT_EQ(fired, 3);
}

TEST(UpDownArrows, HalvesRaiseUpAndDown)
{
    UpDownArrows arrows;
    EXPECT_EQ(arrows.size(), QSize(13, 23));
    EXPECT_EQ(arrows.focusPolicy(), Qt::NoFocus);
    QStringList log;
    arrows.Up = [&] { log << "up"; };
    arrows.Down = [&] { log << "down"; };
    press(&arrows, {6, 2});
    EXPECT_EQ(arrows.PressedPart(), 1);
    release(&arrows, {6, 2});
    EXPECT_EQ(arrows.PressedPart(), 0);
    click(&arrows, {6, 20});
    EXPECT_EQ(log, QStringList({"up", "down"}));
    EXPECT_FALSE(arrows.grab().isNull());
}

TEST(Window, LockedControlsKeepTheirDistanceFromWhereTheyStand)
{
    Window window;
    window.resize(Window::DesignWidth, Window::DesignHeight);
    QWidget* right = new QWidget(&window);
    QWidget* wide = new QWidget(&window);
    QWidget* fixed = new QWidget(&window);
    window.AddControl(right, QRect(856, 119, 168, 132), Window::LockRight);
    // Its open handler moves it, as the glance controls' handlers do.
    window.AddControl(wide, QRect(0, 119, 856, 397), Window::LockLeft | Window::LockRight,
                      [wide] { wide->setGeometry(0, 150, 856, 300); });
    window.AddControl(fixed, QRect(5, 5, 10, 10));
    window.Open();
    window.resize(1280, 900);
    QResizeEvent resize(QSize(1280, 900), QSize(Window::DesignWidth, Window::DesignHeight));
    QApplication::sendEvent(&window, &resize);
    EXPECT_EQ(right->geometry(), QRect(1112, 119, 168, 132));
    EXPECT_EQ(wide->geometry(), QRect(0, 150, 1112, 300));
    EXPECT_EQ(fixed->geometry(), QRect(5, 5, 10, 10));
    window.close();
}
