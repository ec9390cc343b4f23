// A window's backing store made and touched before the window first shows: the first
// paint lands in it whole, and nothing touches it once the window has shown.
#include "framework/Window.h"
#include <QBackingStore>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QColor kPaint(10, 200, 30);

class PaintedWindow : public Window
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), kPaint);
        ++paints;
    }
};

// Runs the event loop until the window has painted, for at most two seconds.
bool waitForPaint(const PaintedWindow& window)
{
    QElapsedTimer timer;
    timer.start();
    while (window.paints == 0 && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return window.paints > 0;
}

// The pixels of the window's backing store that are not the painted colour.
int unpaintedPixels(Window& window)
{
    auto* image = dynamic_cast<QImage*>(window.backingStore()->paintDevice());
    if (!image)
        return -1;
    int count = 0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            count += image->pixelColor(x, y) != kPaint;
    return count;
}

} // namespace

TEST(WindowBackingStore, TheFirstPaintFillsAStoreTouchedAheadWhole)
{
    // Wide enough that a row spans pages: each page's first byte is touched.
    const QSize size(1400, 300);
    PaintedWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.PrepareBackingStore(size);
    ASSERT_NE(window.backingStore(), nullptr);
    EXPECT_EQ(window.backingStore()->size(), size);
    window.TouchBackingStore();
    window.TouchBackingStore();   // one worker at a time
    window.resize(size);
    window.show();
    ASSERT_TRUE(waitForPaint(window));
    EXPECT_EQ(window.backingStore()->size(), size);
    EXPECT_EQ(unpaintedPixels(window), 0);
}

TEST(WindowBackingStore, NothingIsTouchedOnceTheWindowHasShown)
{
    const QSize size(1400, 300);
    PaintedWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(size);
    window.show();
    ASSERT_TRUE(waitForPaint(window));
    window.TouchBackingStore();
    window.PrepareBackingStore(QSize(200, 100));
    window.hide();
    window.TouchBackingStore();   // hidden again, its store still holds what was painted
    EXPECT_EQ(window.backingStore()->size(), size);
    EXPECT_EQ(unpaintedPixels(window), 0);
}

// Qt's own request for a paint of each widget it shows must not come after the first paint
// and paint the whole window again. Shown from the event loop, as the calendar window is at
// start-up: the window system's expose then comes before the requests.
TEST(WindowBackingStore, AWindowWithControlsIsPaintedOnceWhenItShows)
{
    PaintedWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(400, 300);
    for (int i = 0; i < 5; ++i)
        (new QWidget(&window))->setGeometry(10 + 60 * i, 10, 50, 50);
    QTimer::singleShot(0, &window, [&window] { window.show(); });
    ASSERT_TRUE(waitForPaint(window));
    // Everything the showing left to do: posted events, then the paints they ask for.
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(window.paints, 1);
}

TEST(WindowBackingStore, AWindowGoneBeforeItShowsWaitsForItsWorker)
{
    for (int i = 0; i < 5; ++i) {
        auto* window = new PaintedWindow;
        window->PrepareBackingStore(QSize(1920, 1200));
        window->TouchBackingStore();
        delete window;   // the store goes with the window: the worker must be done first
    }
    PaintedWindow plain;
    plain.TouchBackingStore();   // no store made: nothing to touch
    EXPECT_EQ(plain.paints, 0);
}
