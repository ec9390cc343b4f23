// A window's backing store made and touched before the window first shows: the first
// paint lands in it whole, and nothing touches it once the window has shown. Where a
// compositor shows the window, when and where the screen is compared with its store.
#include "framework/ScreenCheck.h"
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

TEST(ScreenCheck, ChecksComeAtGrowingIntervalsUntilGivenUp)
{
    ScreenCheck checks;
    checks.Restart();
    EXPECT_EQ(checks.Next(), ScreenCheck::FirstDelay);
    EXPECT_EQ(checks.Next(), 2 * ScreenCheck::FirstDelay);
    int waited = 3 * ScreenCheck::FirstDelay;
    int last = 2 * ScreenCheck::FirstDelay;
    for (int delay = checks.Next(); delay >= 0; delay = checks.Next()) {
        EXPECT_GE(delay, last);
        EXPECT_LE(delay, ScreenCheck::MaxDelay);
        last = delay;
        waited += delay;
        ASSERT_LT(waited, 2 * ScreenCheck::GiveUpAfter);
    }
    EXPECT_GE(waited, ScreenCheck::GiveUpAfter);
    EXPECT_EQ(checks.Next(), -1);   // given up for good
    checks.Restart();               // until the picture changes again
    EXPECT_EQ(checks.Next(), ScreenCheck::FirstDelay);
}

TEST(ScreenCheck, HandOversTheScreenNeverTakesStop)
{
    ScreenCheck checks;
    checks.Restart();
    // The screen changes between the hand-overs: they go on.
    for (int i = 0; i < 2 * ScreenCheck::UnseenHandOvers; ++i) {
        EXPECT_TRUE(checks.HandOver());
        checks.ScreenChanged();
    }
    // It stands still whatever is handed over: a few, then none until it changes.
    for (int i = 0; i < ScreenCheck::UnseenHandOvers; ++i)
        EXPECT_TRUE(checks.HandOver());
    EXPECT_FALSE(checks.HandOver());
    EXPECT_FALSE(checks.HandOver());
    checks.ScreenChanged();
    EXPECT_TRUE(checks.HandOver());
    for (int i = 1; i < ScreenCheck::UnseenHandOvers; ++i)
        checks.HandOver();
    checks.Restart();   // a new change of the picture
    EXPECT_TRUE(checks.HandOver());
}

TEST(ScreenCheck, WindowsAboveAndTheirShadowsAreLeftOut)
{
    // A window at (100, 50) on a screen 800 wide, a tab above it at its top, a menu reaching
    // past the screen's right edge.
    const QRect window(100, 50, 1000, 300);
    const QRegion compared = ScreenCheck::Compared(window, QRect(0, 0, 800, 600),
                                                   {QRect(400, 40, 100, 30), QRect(700, 300, 200, 200)}, 10);
    EXPECT_TRUE(compared.contains(QPoint(0, 0)));
    EXPECT_TRUE(compared.contains(QPoint(289, 0)));      // beside the tab's shadow
    EXPECT_FALSE(compared.contains(QPoint(290, 0)));     // its shadow
    EXPECT_FALSE(compared.contains(QPoint(350, 20)));    // the tab
    EXPECT_FALSE(compared.contains(QPoint(350, 29)));    // its shadow below it
    EXPECT_TRUE(compared.contains(QPoint(350, 30)));
    EXPECT_FALSE(compared.contains(QPoint(599, 250)));   // the menu's shadow
    EXPECT_TRUE(compared.contains(QPoint(589, 299)));
    EXPECT_FALSE(compared.contains(QPoint(700, 100)));   // off the screen
    EXPECT_EQ(compared.boundingRect(), QRect(0, 0, 700, 300));
}

TEST(ScreenCheck, TheScreenAgreesWhereItShowsEveryOpaquePixel)
{
    QImage own(40, 20, QImage::Format_ARGB32_Premultiplied);
    own.fill(QColor(10, 120, 230));
    for (int x = 0; x < 40; ++x)
        own.setPixel(x, 19, 0);   // a transparent row, which a compositor blends
    // The screen's rows over the window's from its pixel (5, 2) on, red under the transparent
    // row, as the X server gives them: the fourth byte of a pixel is padding, 0.
    QImage screen(35, 18, QImage::Format_RGB32);
    for (int y = 0; y < 18; ++y) {
        auto* row = reinterpret_cast<QRgb*>(screen.scanLine(y));
        for (int x = 0; x < 35; ++x)
            row[x] = (y == 17 ? qRgb(200, 0, 0) : qRgb(10, 120, 230)) & 0xFFFFFFu;
    }
    const QRegion where(5, 2, 35, 18);
    EXPECT_TRUE(ScreenCheck::Agree(own, screen, QPoint(5, 2), where));

    QImage older = screen;
    older.setPixel(20, 10, qRgb(10, 120, 231));   // one pixel of an earlier picture
    EXPECT_FALSE(ScreenCheck::Agree(own, older, QPoint(5, 2), where));
    EXPECT_TRUE(ScreenCheck::Agree(own, older, QPoint(5, 2), where - QRegion(25, 12, 1, 1)));
    // Where the screen's picture does not reach, nothing is known to agree.
    EXPECT_FALSE(ScreenCheck::Agree(own, screen, QPoint(5, 2), QRegion(0, 0, 40, 20)));
}

TEST(ScreenCheck, APaintedPartCoversEveryDevicePixelItTouches)
{
    EXPECT_EQ(ScreenCheck::DevicePixels(QRect(3, 4, 10, 20), 1.0), QRect(3, 4, 10, 20));
    EXPECT_EQ(ScreenCheck::DevicePixels(QRect(3, 4, 10, 20), 2.0), QRect(6, 8, 20, 40));
    // At 1.5 the part reaches from pixel 4.5 to 19.5 across: pixels 4 to 19.
    EXPECT_EQ(ScreenCheck::DevicePixels(QRect(3, 4, 10, 20), 1.5), QRect(4, 6, 16, 30));
}
