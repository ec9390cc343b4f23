// The framework's application and window life cycle: what counts as a completed opening,
// windows that a window manager minimises against their frame, work that waits until no
// dialog is open, and the work area that the docks' struts leave.
#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "framework/ShowingLooks.h"
#include "framework/Window.h"
#include "framework/WorkArea.h"
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Runs the event loop for ms milliseconds.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A window with one control whose open handler runs the given action.
class OneControlWindow : public Window
{
public:
    explicit OneControlWindow(std::function<void()> onOpen)
    {
        auto* control = new QWidget(this);
        AddControl(control, QRect(0, 0, 10, 10), LockLeft | LockTop, std::move(onOpen));
    }
};

} // namespace

TEST(Window, OnlyAnOpeningThatRanToItsEndIsCompleted)
{
    OneControlWindow plain([] {});
    plain.Open();
    EXPECT_TRUE(plain.IsOpenCompleted());

    OneControlWindow throwing([] { throw std::runtime_error("open failed"); });
    EXPECT_THROW(throwing.Open(), std::runtime_error);
    EXPECT_TRUE(throwing.IsOpened());
    EXPECT_FALSE(throwing.IsOpenCompleted());
    EXPECT_FALSE(Window::AnyOpening());

    OneControlWindow* closing = nullptr;
    closing = new OneControlWindow([&closing] { closing->CloseWindow(); });
    closing->Open();
    EXPECT_FALSE(closing->IsOpenCompleted());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A window manager may minimise any framed window (openbox offers it on every one), or make
// it full screen (icewm). A window whose frame has no minimise button comes back at once,
// and so does every window, the modal one too, while a modal window is open: it blocks the
// others, so nothing could bring it back. Full screen stays only with a maximise button.
TEST(Window, AWindowMinimisedOrFullScreenAgainstItsFrameComesBack)
{
    const auto minimised = [](QWidget* w) { return bool(w->windowState() & Qt::WindowMinimized); };
    Window plain;   // every button
    Window dialog;
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // No frame, no buttons, though Qt flags a plain frameless window with all of them.
    Window frameless;
    frameless.setWindowFlag(Qt::FramelessWindowHint);
    for (Window* w : {&plain, &dialog, &frameless}) {
        w->show();
        w->setWindowState(Qt::WindowMinimized);
    }
    spin(20);
    EXPECT_TRUE(minimised(&plain));
    EXPECT_FALSE(minimised(&dialog));
    EXPECT_FALSE(minimised(&frameless));
    // Full screen (icewm offers it on every framed window) only with a maximise button.
    plain.setWindowState(Qt::WindowFullScreen);
    dialog.setWindowState(Qt::WindowFullScreen);
    spin(20);
    EXPECT_TRUE(plain.windowState() & Qt::WindowFullScreen);
    EXPECT_FALSE(dialog.windowState() & Qt::WindowFullScreen);

    // A frameless window of the screen's size changes nothing by a full screen, which metacity
    // and mutter take its move to the screen's corner for: it is left so (undone, the window
    // would go back to where a drag had left it).
    frameless.setGeometry(frameless.screen()->geometry());
    frameless.setWindowState(Qt::WindowFullScreen);
    spin(20);
    EXPECT_TRUE(frameless.windowState() & Qt::WindowFullScreen);
    frameless.setWindowState(Qt::WindowNoState);

    plain.setWindowState(Qt::WindowNoState);
    bool boxChecked = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {   // ends the box's loop all the same, so that the test fails rather than hangs
            ADD_FAILURE() << "no modal box";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QMessageBox*>(w))
                    w->close();
            return;
        }
        box->setWindowState(Qt::WindowMinimized);
        plain.setWindowState(Qt::WindowMinimized);
        spin(20);
        EXPECT_FALSE(minimised(box));
        EXPECT_FALSE(minimised(&plain));
        boxChecked = true;
        box->close();
    });
    MessageBox::MsgBox(QStringLiteral("Blocking"));
    EXPECT_TRUE(boxChecked);
}

// After a restore, the guard looks at the window until it has stood shown for five looks, and
// asks again while the window manager refuses, ever more slowly: after some 13 s of refusals
// it gives up (a "show desktop" means it), until the window's state changes again.
TEST(Window, TheMinimiseGuardLooksUntilTheWindowStandsShownAndGivesUpOnAWindowManagerThatRefuses)
{
    using Next = ShowingLooks::Next;
    ShowingLooks settling;
    EXPECT_EQ(settling.After(false), Next::RestoreAndLook);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(settling.After(true), Next::Look) << i;
    EXPECT_EQ(settling.After(true), Next::Stop);

    ShowingLooks refused;
    int waited = refused.Delay();
    int restores = 0;
    while (refused.After(false) == Next::RestoreAndLook && restores < 1000) {
        ++restores;
        waited += refused.Delay();
    }
    EXPECT_LT(restores, 1000) << "the guard never gives up";
    EXPECT_GE(waited, 10000);
    EXPECT_LE(waited, 20000);
    // A window found shown in between starts the count anew.
    ShowingLooks interrupted;
    for (int i = 0; i < restores; ++i)
        interrupted.After(false);
    interrupted.After(true);
    EXPECT_EQ(interrupted.After(false), Next::RestoreAndLook);
}

// Work that would close windows (a rebuild) waits for a modal window, a message box and a
// window that is still opening, whichever holds a nested event loop at the time.
TEST(Application, WhenNoDialogWaitsUntilNoDialogIsOpen)
{
    Application* application = Application::Instance();
    int runs = 0;
    const auto request = [&] { application->WhenNoDialog([&] { ++runs; }); };

    // A modal framework window.
    Window* dialog = new Window();
    QTimer::singleShot(0, dialog, [&] {
        request();
        spin(Application::DialogRecheckMs + 100);
        EXPECT_EQ(runs, 0);
        dialog->CloseWindow();
    });
    dialog->ShowModal();
    spin(Application::DialogRecheckMs + 100);
    EXPECT_EQ(runs, 1);

    // A message box.
    QMessageBox box;
    box.setText("Waiting");
    QTimer::singleShot(0, &box, [&] {
        request();
        spin(Application::DialogRecheckMs + 100);
        EXPECT_EQ(runs, 1);
        box.accept();
    });
    box.exec();
    spin(Application::DialogRecheckMs + 100);
    EXPECT_EQ(runs, 2);

    // A window whose control waits in a nested loop while it opens.
    OneControlWindow opening([&] {
        request();
        spin(Application::DialogRecheckMs + 100);
        EXPECT_EQ(runs, 2);
    });
    opening.Open();
    spin(Application::DialogRecheckMs + 100);
    EXPECT_EQ(runs, 3);

    // With nothing open it runs at the next turn of the event loop.
    request();
    EXPECT_EQ(runs, 3);
    spin(10);
    EXPECT_EQ(runs, 4);
}

TEST(WorkArea, StrutsReserveTheEdgesTheyMeetInTheScreensPixels)
{
    using Strut = WorkArea::Strut;
    // left, right, top, bottom; then left's start and end (along y), right's, top's (along
    // x) and bottom's.
    const auto partial = [](std::array<uint32_t, 12> values) { return Strut{values, false}; };
    const auto plain = [](uint32_t l, uint32_t r, uint32_t t, uint32_t b) { return Strut{{l, r, t, b}, true}; };
    const Strut bottomPanel = partial({0, 0, 0, 32, 0, 0, 0, 0, 0, 0, 0, 1279});
    const Strut topRightTray = partial({0, 0, 32, 0, 0, 0, 0, 0, 1200, 1279, 0, 0});
    const Strut rightDock = partial({0, 100, 0, 0, 0, 0, 0, 1023, 0, 0, 0, 0});
    const QRect screen(0, 0, 1280, 1024);
    const QSize full(1280, 1024);
    struct Case { const char* what; QRect screen; QSize full; qreal ratio; std::vector<Strut> struts; QRect expected; };
    const Case cases[] = {
        {"none", screen, full, 1, {}, screen},
        {"a bottom panel", screen, full, 1, {bottomPanel}, QRect(0, 0, 1280, 992)},
        {"a tray at the top right", screen, full, 1, {topRightTray}, QRect(0, 32, 1280, 992)},
        {"a dock at the right", screen, full, 1, {rightDock}, QRect(0, 0, 1180, 1024)},
        {"the widest of each edge", screen, full, 1,
         {bottomPanel, partial({0, 0, 0, 48, 0, 0, 0, 0, 0, 0, 0, 99}), topRightTray, plain(10, 0, 0, 0)},
         QRect(10, 32, 1270, 944)},
        {"a plain strut spans its edge", screen, full, 1, {plain(0, 0, 24, 0)}, QRect(0, 24, 1280, 1000)},
        // Beside a second screen to the right: the struts along the other screen's part of
        // the bottom edge, and that screen's left edge, are not this one's.
        {"another screen's panel", screen, QSize(2560, 1024), 1,
         {partial({0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 1280, 2559})}, screen},
        {"the right screen's panel", QRect(1280, 0, 1280, 1024), QSize(2560, 1024), 1,
         {partial({0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 1280, 2559}), partial({50, 0, 0, 0, 0, 1023, 0, 0, 0, 0, 0, 0})},
         QRect(1280, 0, 1280, 984)},
        // A plain strut spans its whole edge of the X screen, whichever screen it meets there.
        {"a plain strut beside the left screen", QRect(1280, 0, 1280, 1024), QSize(2560, 1024), 1,
         {plain(0, 30, 24, 0)}, QRect(1280, 24, 1250, 1000)},
        {"a plain strut beside the upper screen", QRect(0, 1024, 1280, 1024), QSize(1280, 2048), 1,
         {plain(40, 0, 0, 0)}, QRect(40, 1024, 1240, 1024)},
        // On a screen of two pixels to each of Qt's, rounded inwards.
        {"twice the pixels", QRect(0, 0, 640, 512), QSize(640, 512), 2,
         {partial({0, 0, 33, 0, 0, 0, 0, 0, 0, 1279, 0, 0}), partial({0, 0, 0, 31, 0, 0, 0, 0, 0, 0, 0, 1279})},
         QRect(0, 17, 640, 479)},
        // Struts that would leave less than half of the screen are not believed.
        {"half is left", screen, full, 1, {plain(640, 0, 0, 0)}, QRect(640, 0, 640, 1024)},
        {"less than half", screen, full, 1, {plain(641, 0, 0, 0)}, screen},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WorkArea::LessStruts(c.screen, c.full, c.ratio, c.struts), c.expected) << c.what;
}
