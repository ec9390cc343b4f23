#include "framework/ShowURL.h"
#include "CalendarWindowFixture.h"
#include "PixelProbe.h"
#include "calendar_window/MiniCalList.h"
#include "calendar_window/SlideCurtain.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "framework/Files.h"
#include "framework/ListBox.h"
#include "framework/MenuItem.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "framework/Timer.h"
#include "framework/WidgetEvents.h"
#include "shell/Menu.h"
#include "tray/AppTrayItem.h"
#include "tray/TabWindow.h"
#include <QDir>
#include <QElapsedTimer>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

using namespace WidgetEvents;

namespace {
class Frame : public CalendarWindowFixture {};

QString eventsFileText(const SandboxHome& home)
{
    QFile file(home.documentsFolder() + "/Calendar.tpc");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("<missing>");
}
} // namespace

TEST_F(Frame, CreatesTheTwentyEightControlsInOrderWithTheirDesignValues)
{
    CalendarWindow w;   // laid out, not opened
    struct Control { const char* name; QRect frame; bool hidden; };
    const Control widgets[] = {
        {"TopCanvas", {421, 0, 182, 60}, true},       {"BottomCanvas", {0, 527, 1024, 214}, true},
        {"wwwLinksList", {-3, 530, 1030, 21}, true},  {"HomeButton", {30, 22, 76, 29}, true},
        {"MainMenuButton", {987, 0, 37, 25}, false},  {"theTimeText", {895, 37, 96, 20}, false},
        {"GlanceHeader", {-1, 60, 1025, 60}, true},   {"MiniCalList", {856, 121, 168, 132}, true},
        {"MiniCalList", {856, 119, 168, 132}, true},  {"GlanceList", {0, 119, 856, 397}, true},
        {"TodoList", {856, 278, 168, 238}, true},     {"ToDoListHeader", {856, 254, 168, 21}, true},
        {"MoviePlayer1", {236, 22, 32, 30}, true},    {"Calendar", {-1, 137, 491, 349}, false},
        {"MenuBarCanvas", {-1, 0, 97, 15}, true},     {"tipCanvas", {283, 34, 89, 16}, true},
        {"QuickStartHelp", {0, 0, 75, 97}, false},    {"CalendarScrollButton", {997, 30, 13, 23}, false},
        {"CountdownCanvas", {9, 388, 118, 130}, false},
        {"floatingLinkCanvas", {816, 137, 194, 14}, false}, {"floatingLinkCanvas", {816, 157, 194, 13}, false},
        {"floatingLinkCanvas", {816, 174, 194, 14}, false}, {"floatingLinkCanvas", {816, 193, 194, 14}, false},
        {"floatingLinkCanvas", {816, 213, 194, 14}, false},
    };
    // The window's own children in stacking order (later above), the menu bar last.
    QVector<QWidget*> children;
    for (QObject* o : w.children())
        if (auto* widget = qobject_cast<QWidget*>(o); widget && widget != w.menuBarWidget())
            children.append(widget);
    ASSERT_EQ(children.size(), int(std::size(widgets)));
    for (int i = 0; i < children.size(); ++i) {
        EXPECT_EQ(children[i]->objectName(), widgets[i].name) << i;
        EXPECT_EQ(children[i]->geometry(), widgets[i].frame) << widgets[i].name;
        EXPECT_EQ(children[i]->isHidden(), widgets[i].hidden) << widgets[i].name;
    }
    EXPECT_EQ(w.TopCanvas->isEnabled(), false);
    EXPECT_EQ(w.LumoraLogo->parentWidget(), w.BottomCanvas);     // the 21st control starts inside it
    EXPECT_EQ(w.LumoraLogo->geometry(), QRect(764, 706 - 527, 251, 29));
    EXPECT_EQ(w.MiniCalListAt(1), children[7]);
    EXPECT_EQ(w.MiniCalListAt(0)->Index, 0);
    EXPECT_EQ(w.floatingLinkCanvasAt(0), nullptr);
    EXPECT_EQ(w.floatingLinkCanvasAt(5)->Index, 5);
    EXPECT_EQ(w.Calendar->ListCount, 81);
    EXPECT_EQ(w.Calendar->ColumnCount, 33);
    struct TimerCase { Timer* timer; const char* name; int mode; int period; };
    for (const TimerCase& t : {TimerCase{w.TimeTimer, "TimeTimer", 2, 30000}, TimerCase{w.PrintTimer, "PrintTimer", 0, 500},
                               TimerCase{w.DisplayScrollTimer, "DisplayScrollTimer", 0, 333}}) {
        EXPECT_EQ(t.timer->objectName(), t.name);
        EXPECT_EQ(t.timer->Mode(), t.mode) << t.name;
        EXPECT_EQ(t.timer->Period(), t.period) << t.name;
    }
    EXPECT_EQ(w.windowTitle(), "Calendar");
    EXPECT_EQ(w.size(), QSize(1024, 740));
}

TEST_F(Frame, OpensOverTheWorkAreaFramedByTheBorderLines)
{
    CM::vendorName = "Acme";
    CalendarWindow* w = open();
    EXPECT_EQ(w->geometry(), area());
    // Its size is fixed to the work area: it cannot be resized.
    EXPECT_EQ(w->minimumSize(), area().size());
    EXPECT_EQ(w->maximumSize(), area().size());
    w->resize(300, 200);
    EXPECT_EQ(w->size(), area().size());
    EXPECT_EQ(w->windowTitle(), "Acme Calendar");
    EXPECT_TRUE(TabWindow::Existing() && TabWindow::Existing()->isVisible());
    const int availH = area().height();
    const int titleH = ToInt(availH * 0.082), calH = ToInt(availH * 0.62);
    const QImage shot = w->grab().toImage();
    const int x = 3;   // left of the year digits, inside the margin
    EXPECT_EQ(shot.pixelColor(x, titleH), QColor(127, 157, 185));
    EXPECT_EQ(shot.pixelColor(x, titleH + 1), QColor(255, 255, 255));
    EXPECT_EQ(shot.pixelColor(x, titleH + calH - 2), QColor(127, 157, 185));
    EXPECT_EQ(shot.pixelColor(x, titleH + calH - 1), QColor(255, 255, 255));
    EXPECT_EQ(shot.pixelColor(x, titleH + 2), QColor(10, 20, 30));     // no picture: the colour
    // The year view spans the calendar band; the clock sits at the title band's bottom.
    EXPECT_EQ(w->Calendar->geometry(), QRect(0, titleH, area().width(), calH));
    EXPECT_EQ(w->theTimeText->geometry(),
              QRect(895 + area().width() - 1024, ToInt(availH * 0.082 - 20 - 2), 96, 20));
    EXPECT_NE(w->theTimeText->text(), "-");
    // Edge locks follow the window from wherever the control stands.
    EXPECT_EQ(w->GlanceList->width(), 856 + area().width() - 1024);
    EXPECT_EQ(w->MiniCalListAt(0)->x(), 856 + area().width() - 1024);
    // The menu bar lies over the top-right corner at its size hint.
    QMenuBar* bar = w->menuBarWidget();
    EXPECT_EQ(bar->geometry(), QRect(w->width() - bar->sizeHint().width(), 0, bar->sizeHint().width(),
                                     bar->sizeHint().height()));
    EXPECT_TRUE(w->MainMenuButton->isHidden());
}

TEST_F(Frame, ScalesTheBrandingPicturesOnceAndHidesBordersOnRequest)
{
    CM::backgroundImage = Picture::New(400, 300);
    CM::bottomImage = Picture::New(200, 20);
    CM::hideTopBorder = true;
    CalendarWindow* w = open();
    const int availW = area().width(), availH = area().height();
    ASSERT_TRUE(w->backgroundImageScaled && w->bottomImageScaled);
    EXPECT_EQ(w->backgroundImageScaled->Width(), availW);
    EXPECT_EQ(w->backgroundImageScaled->Height(), ToInt(float(availH * 0.62 + availH * 0.082)));
    EXPECT_EQ(w->bottomImageScaled->Width(), availW);
    EXPECT_EQ(w->bottomImageScaled->Height(), ToInt(float(availW) * 20.f / 200.f));
    const QImage shot = w->grab().toImage();
    const int titleH = ToInt(availH * 0.082);
    EXPECT_EQ(shot.pixelColor(3, titleH), QColor(255, 255, 255));     // the white picture, no border
    // A bottom picture made of nothing is left out.
    w->CloseWindow();
    flush();
    CM::backgroundImage = nullptr;
    CM::bottomImage = Picture::New(0, 0);
    w = open();
    EXPECT_FALSE(w->bottomImageScaled);
    EXPECT_FALSE(w->backgroundImageScaled);
}

// Start-up opens the window while the background and bottom pictures may still be being
// decoded; the window must come out as when they were waited for.
TEST_F(Frame, PicturesStillDecodingOpenTheSameWindowAsPicturesWaitedFor)
{
    QTemporaryDir dir;
    auto noise = [](int w, int h, quint32 seed) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x)
                line[x] = 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8);
        }
        return image;
    };
    ASSERT_TRUE(noise(2400, 1600, 3).save(dir.filePath("bg.jpg"), "JPG", 95));
    ASSERT_TRUE(noise(3000, 800, 5).save(dir.filePath("bottom.jpg"), "JPG", 95));
    struct Outcome {
        QRect bottomCanvas;
        QImage band, bottom, background;
        double title = 0;
    };
    auto image = [](const PicturePtr& p) { return p ? p->Image() : QImage(); };
    Outcome outcomes[2];
    for (const CM::Pictures when : {CM::Pictures::Now, CM::Pictures::Later}) {
        SCOPED_TRACE(when == CM::Pictures::Later ? "later" : "now");
        CM::DefaultCalendarFolder = dir.path();
        CM::CalendarPropertyValues = QStringLiteral("backgroundImageWide=bg.jpg\nbackgroundImageStandard=bg.jpg\n"
                                                    "bottomImage=bottom.jpg\nTitleAreaHeight=120\n");
        CM::StartLoadingSpecs();
        CM::FinishLoadingSpecs(when);
        if (when == CM::Pictures::Later && (CM::bottomImage || CM::backgroundImage))
            GTEST_SKIP() << "the pictures were decoded before the window was made: nothing to compare";
        CalendarWindow* made = CalendarWindow::Make();
        made->PreparePictures();
        CalendarWindow* w = open();
        Outcome& o = outcomes[when == CM::Pictures::Later];
        o = {w->BottomCanvas->geometry(), image(w->BottomCanvas->cachedImage), image(w->bottomImageScaled),
             image(w->backgroundImageScaled), CM::TitleAreaHeightPercent};
        EXPECT_FALSE(o.band.isNull());
        EXPECT_FALSE(o.bottom.isNull());
        EXPECT_FALSE(o.background.isNull());
        w->CloseWindow();
        flush();
    }
    EXPECT_EQ(outcomes[1].bottomCanvas, outcomes[0].bottomCanvas);
    EXPECT_TRUE(outcomes[1].band == outcomes[0].band);
    EXPECT_TRUE(outcomes[1].bottom == outcomes[0].bottom);
    EXPECT_TRUE(outcomes[1].background == outcomes[0].background);
    EXPECT_DOUBLE_EQ(outcomes[1].title, outcomes[0].title);
}

// The full-size pictures read from the branding's files go once the window has its copies
// (they are most of its memory), and come back the same from their files for what needs
// them later: the tray's window, a window made without the branding being read again.
TEST_F(Frame, TheFullSizePicturesGoOnceTheWindowHasItsCopiesAndComeBackFromTheirFiles)
{
    QTemporaryDir dir;
    auto gradient = [](int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        return image;
    };
    ASSERT_TRUE(gradient(900, 600).save(dir.filePath("bg.png")));
    ASSERT_TRUE(gradient(600, 60).save(dir.filePath("bottom.png")));
    ASSERT_TRUE(gradient(600, 40).save(dir.filePath("title.png")));
    CM::DefaultCalendarFolder = dir.path();
    CM::CalendarPropertyValues = QStringLiteral("backgroundImageWide=bg.png\nbackgroundImageStandard=bg.png\n"
                                                "bottomImage=bottom.png\ntopLogoImage=title.png\n");
    CM::StartLoadingSpecs();
    CM::FinishLoadingSpecs();
    ASSERT_TRUE(CM::backgroundImage && CM::bottomImage && CM::topLogoImage);
    const QImage background = CM::backgroundImage->Image().copy(), logo = CM::topLogoImage->Image().copy();

    CalendarWindow* w = open();
    ASSERT_TRUE(w->backgroundImageScaled && w->bottomImageScaled);
    const QImage scaled = w->backgroundImageScaled->Image().copy(), bottom = w->bottomImageScaled->Image().copy();
    const QImage shot = w->grab().toImage();
    EXPECT_FALSE(CM::backgroundImage || CM::backgroundImageWide || CM::backgroundImageStandard);
    EXPECT_FALSE(CM::bottomImage || CM::topLogoImage);
    EXPECT_TRUE(CM::HasTopLogo() && CM::HasBottom());   // the layout still has the bands
    const PicturePtr again = CM::TakeBackground();
    ASSERT_TRUE(again && CM::TopLogo());
    EXPECT_TRUE(again->Image() == background);
    EXPECT_TRUE(CM::TopLogo()->Image() == logo);
    EXPECT_FALSE(CM::backgroundImage);   // decoded for the caller alone
    EXPECT_TRUE(w->grab().toImage() == shot);

    w->CloseWindow();
    flush();
    w = open();
    ASSERT_TRUE(w->backgroundImageScaled && w->bottomImageScaled);
    EXPECT_TRUE(w->backgroundImageScaled->Image() == scaled);
    EXPECT_TRUE(w->bottomImageScaled->Image() == bottom);
    EXPECT_TRUE(w->grab().toImage() == shot);
    w->CloseWindow();
    flush();

    // A picture drawn into after its decoding, or one from anywhere else, stays.
    CM::StartLoadingSpecs();
    CM::FinishLoadingSpecs();
    CM::topLogoImage->Graphics().FillRect(0, 0, 5, 5);
    CM::bottomImage = Picture::New(600, 60);
    open();
    EXPECT_TRUE(CM::topLogoImage && CM::bottomImage);
    EXPECT_FALSE(CM::backgroundImage);
}

TEST_F(Frame, ScaledPicturesAreNeverLargerThanTheScreen)
{
    // Without a bottom picture the background keeps its proportions: at the band's height on
    // a screen narrower than 1.28 : 1, else at the work area's width. A background ten times
    // too wide (or too tall) for that keeps only the screen's size of it.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const bool byHeight = double(screen.width()) / screen.height() < 1.28;
    const int availW = area().width(), availH = area().height();
    CM::backgroundImage = byHeight ? Picture::New(10 * availW, availH) : Picture::New(availW, 10 * availH);
    CM::hideYear = true;
    CM::yearImage[0] = Picture::New(10, 10);
    CM::yearImage_x = 50;
    CM::yearImage_y = 500;
    CalendarWindow* w = open();
    ASSERT_TRUE(w->backgroundImageScaled && w->yearImageScaled[0]);
    EXPECT_EQ(QSize(w->backgroundImageScaled->Width(), w->backgroundImageScaled->Height()),
              byHeight ? QSize(screen.width(), availH) : QSize(availW, screen.height()));
    // The year picture is placed on the background's full scale (1 : 1 here), moved by
    // half of what overhangs the screen, as before.
    const double below = availH - availH * 0.082;
    if (byHeight) {
        EXPECT_EQ(w->yearImageScaled_x, ToInt(50 - (10.0 * availW / 2 - availW / 2.0)));
        EXPECT_EQ(w->yearImageScaled_y, 500);
    } else {
        EXPECT_EQ(w->yearImageScaled_x, 50);
        EXPECT_EQ(w->yearImageScaled_y, ToInt(500 - (10.0 * availH / 2 - below / 2)));
    }
    w->CloseWindow();
    flush();

    // A bottom picture a thousand times as tall as wide, at the work area's width.
    CM::backgroundImage = nullptr;
    CM::bottomImage = Picture::New(2, 2000);
    w = open();
    ASSERT_TRUE(w->bottomImageScaled);
    EXPECT_EQ(QSize(w->bottomImageScaled->Width(), w->bottomImageScaled->Height()), QSize(availW, screen.height()));
}

TEST_F(Frame, ClosingWritesTheEventsFileWithTheToDoRows)
{
    // The to-do rows come from the events file (as it stands, and as start-up kept them).
    QDir().mkpath(home.documentsFolder());
    QFile old(home.documentsFolder() + "/Calendar.tpc");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("1\tBuy milk\n0\tCall Ann\nEvents Data:\n");
    old.close();
    App().keptTodoLines = QStringList({"1\tBuy milk", "0\tCall Ann"});
    App().eventDict.SetValue("2025-02-02 09:00:00", "2025-02-02 09:30:00//Dentist");
    open()->CloseWindow();
    EXPECT_EQ(eventsFileText(home), "1\tBuy milk\n0\tCall Ann\nEvents Data:\n2025-02-02 09:00:00|2025-02-02 09:30:00//Dentist\n");
}

TEST_F(Frame, MenuItemsAreFoundByNameAndQuickStartHelpReturnsToTheYearView)
{
    CalendarWindow* w = open();
    EXPECT_EQ(w->FileClose()->Name, "FileClose");
    EXPECT_EQ(w->EditToggleCDCanvas()->Name, "EditToggleCDCanvas");
    EXPECT_EQ(w->FileQuit()->ItemKind, MenuItem::Kind::Quit);
    EXPECT_EQ(w->UntitledMenu5(), nullptr);
    EXPECT_FALSE(w->_FileClose_Action());
    EXPECT_FALSE(w->_FilePrint_Action());
    EXPECT_FALSE(w->_EditToggleCDCanvas_Action());
    w->HelpQuickStartHelp()->Enabled = false;
    w->Event_EnableMenuItems();
    EXPECT_TRUE(w->HelpQuickStartHelp()->Enabled);
    // Close and Print act on the calendar in view: slid away (where the window itself stays
    // on the work area) they are off, or a Ctrl+W in another window would slide it in and out.
    const auto restore = qScopeGuard([bar = App().GetMenuBar()] { App().SetMenuBar(bar); });
    App().SetMenuBar(Menu::Instance());
    const auto closeAndPrint = [w] {
        App().RunEnableMenuItems();
        return std::make_pair(w->FileClose()->Enabled, w->FilePrint()->Enabled);
    };
    EXPECT_EQ(closeAndPrint(), std::make_pair(true, true));
    w->ScrollUp();
    EXPECT_EQ(closeAndPrint(), std::make_pair(false, false));
    w->ScrollDown();
    EXPECT_EQ(closeAndPrint(), std::make_pair(true, true));

    w->GlanceOn();
    ASSERT_TRUE(w->Calendar->isHidden());
    EXPECT_FALSE(w->_HelpQuickStartHelp_Action());
    EXPECT_FALSE(w->Calendar->isHidden());
    EXPECT_FALSE(w->QuickStartHelp->isHidden());
    EXPECT_NE(eventsFileText(home), "<missing>");
}

TEST_F(Frame, TheMainMenuOffersItsEntriesByTheWindowsState)
{
    struct Case { bool year; bool countdown; const char* print; const char* toggle; };
    for (const Case& c : {Case{true, true, "Print Calendar", "Hide Countdown Event"},
                          Case{false, false, "Print Week At A Glance", "Show Countdown Event"}}) {
        const QStringList entries = CalendarWindow::MainMenuEntries(c.year, c.countdown, "www.example.com");
        EXPECT_EQ(entries, QStringList({"Help", "Quick Start Help", "-", c.print, "-", c.toggle, "Preferences", "-",
                                        "Goto www.example.com", "-", "About Calendar", "-", "Exit"}));
    }
    CalendarWindow* w = open();
    EXPECT_TRUE(w->RunMainMenuCommand("Hide Countdown Event"));
    EXPECT_TRUE(w->CountdownCanvas->isHidden());
    EXPECT_TRUE(w->RunMainMenuCommand("Show Countdown Event"));
    EXPECT_FALSE(w->CountdownCanvas->isHidden());
    EXPECT_TRUE(w->RunMainMenuCommand("Print Calendar"));
    EXPECT_TRUE(TabWindow::Existing()->isHidden());
    EXPECT_TRUE(w->theTimeText->isHidden());
    EXPECT_EQ(w->PrintTimer->Mode(), Timer::ModeSingle);
    EXPECT_FALSE(w->RunMainMenuCommand("Nothing of the kind"));
    TabWindow::Existing()->show();
    // Only web and mail addresses are ever opened.
    for (const char* address : {"", "   ", "file:///etc/passwd", "javascript:alert(1)", "not an address"})
        EXPECT_FALSE(ShowURL(address)) << address;
}

TEST_F(Frame, SlidesOutAndInAndIgnoresASlideRequestedMeanwhile)
{
    CalendarWindow* w = open();
    const int top = area().top();
    bool ignored = false;
    QRect midway;
    int midwayTop = top;
    // Looked at in every pass of the slide's event loop until its place has moved: how long
    // the first step takes (it takes the window's picture) depends on the machine.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, w, [&] {
        if (w->Top() == top)
            return;
        watch.stop();
        ignored = CalendarWindow::IsSliding();
        midway = w->geometry();
        midwayTop = w->Top();
        w->ScrollDown();   // returns at once
    });
    watch.start(0);
    w->ScrollUp();
    watch.stop();
    EXPECT_TRUE(ignored);
    // A window manager may keep a window on the screen: the window itself stays on the work
    // area while its place along the slide moves up.
    EXPECT_EQ(midway, area());
    EXPECT_LT(midwayTop, top);
    EXPECT_EQ(w->Top(), top - w->height() - 10);
    EXPECT_TRUE(w->isHidden());
    EXPECT_FALSE(CalendarWindow::IsSliding());
    w->ScrollDown();
    EXPECT_EQ(w->Top(), top);
    EXPECT_FALSE(w->isHidden());
    // Moved down and sideways once it shows, it snaps back to the top edge where it was put.
    w->move(area().left() + 7, top + 150);
    EXPECT_EQ(w->pos(), QPoint(area().left() + 7, top));
    // A window manager places a window as it maps it, before the window is first exposed:
    // such a place is undone once a showing (i3 puts it a border's width off the corner).
    w->hide();
    flush();
    w->show();
    w->move(area().left() + 2, top + 8);
    EXPECT_EQ(w->pos(), area().topLeft());
}

TEST_F(Frame, TheSlideCurtainShowsTheWindowMovedUpWithTransparentRowsBelowAndIsGoneAfterASlide)
{
    // Where no compositor runs, a step scrolls what the curtain showed and paints the rows it
    // brings in; under one, it paints the rows that changed and hands over the whole window.
    // Each is read where the screen takes it from: the window's backing store.
    for (const bool composited : {false, true}) {
        SlideCurtain::AssumeCompositor(composited);
        const auto restore = qScopeGuard([] { SlideCurtain::AssumeCompositor(std::nullopt); });
        CalendarWindow* w = open();
        ASSERT_EQ(SlideCurtain::CutsWithShape(w), !composited);
        const QImage resting = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int h = w->height();
        auto* curtain = new SlideCurtain(w, composited);
        // Shown first, then a step down and one up, each moving what the one before showed.
        for (const int slid : {100, 37, 120}) {
            curtain->SetOffset(-slid);
            const QImage shown = Pixels::Shown(w);
            // The window's rows from `slid` down, at its top; every row below them transparent
            // (black once the alpha channel is dropped).
            EXPECT_EQ(shown.copy(0, 0, w->width(), h - slid), resting.copy(0, slid, w->width(), h - slid))
                << slid << (composited ? " composited" : "");
            QImage below(w->width(), slid, QImage::Format_RGB32);
            below.fill(Qt::black);
            EXPECT_EQ(shown.copy(0, h - slid, w->width(), slid), below) << slid << (composited ? " composited" : "");
        }
        delete curtain;
        w->CloseWindow();
        flush();
    }
    // A slide leaves no curtain over the controls (they would be dead to the mouse).
    CalendarWindow* w = open();
    w->ScrollUp();
    w->ScrollDown();
    const auto children = w->findChildren<QWidget*>();
    EXPECT_TRUE(std::none_of(children.begin(), children.end(), [](QWidget* c) { return dynamic_cast<SlideCurtain*>(c); }));
}

namespace {
// A window whose every row has a colour of its own, so that a picture moved up shows where.
class StripedWindow : public Window
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        for (int y = 0; y < height(); ++y)
            painter.fillRect(0, y, width(), 1, QColor(y % 256, (y * 7) % 256, 90));
    }
};

QImage storeImage(QWidget& window)
{
    auto* image = dynamic_cast<QImage*>(window.backingStore()->paintDevice());
    return image ? image->copy() : QImage();
}
} // namespace

TEST_F(Frame, UnderACompositorAStepOnAStoreNotReadyForTheWindowIsLeftToQtsOwnPaint)
{
    // A whole step paints straight into the window's backing store and hands it over. Until Qt
    // has made the store the window's own (a window shown and not exposed yet, as a busy
    // window manager maps it late; a window resized since its last paint, whose store Qt makes
    // anew at the next), a step is left to Qt's own paint: the store is not what the window
    // shows yet, and on the X server a window shown and never painted has a store without
    // pixels, which crashed such a step. The step still shows once Qt has painted.
    SlideCurtain::AssumeCompositor(true);
    const auto restore = qScopeGuard([] { SlideCurtain::AssumeCompositor(std::nullopt); });
    const QSize size(400, 300);
    struct Case {
        const char* name;
        std::function<void(StripedWindow&, SlideCurtain*&)> before;   // leaves the first step shown
    };
    const Case cases[] = {
        {"shown, not exposed yet", [&](StripedWindow& w, SlideCurtain*& curtain) {
             w.PrepareBackingStore(size);   // a store of the window's size, with pixels
             curtain = new SlideCurtain(&w, true);
             curtain->SetOffset(-100);
             w.show();
         }},
        {"resized, not painted since", [&](StripedWindow& w, SlideCurtain*& curtain) {
             w.show();
             curtain = new SlideCurtain(&w, true);
             curtain->SetOffset(-100);
             Pixels::Shown(&w);
             w.resize(size + QSize(60, 40));   // its store keeps the old size until Qt paints
         }},
    };
    for (const Case& c : cases) {
        StripedWindow w;
        w.setWindowFlag(Qt::FramelessWindowHint);
        w.resize(size);
        const QImage resting = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        SlideCurtain* curtain = nullptr;
        c.before(w, curtain);
        const QImage before = storeImage(w);
        ASSERT_FALSE(before.isNull()) << c.name;
        curtain->SetOffset(-84);
        EXPECT_EQ(storeImage(w), before) << c.name << ": the step went into the store before Qt made it ready";
        const QImage shown = Pixels::Shown(curtain);
        EXPECT_EQ(shown.copy(0, 0, size.width(), size.height() - 84),
                  resting.copy(0, 84, size.width(), size.height() - 84))
            << c.name;
        delete curtain;
    }
}

TEST_F(Frame, UnderACompositorTheSlideUpEndsOnAWhollyTransparentPictureHeldForAFrame)
{
    // A compositor that animates a window's disappearance animates its last picture: the
    // slide up leaves a transparent one, for the compositor's next frame at least.
    SlideCurtain::AssumeCompositor(true);
    const auto restore = qScopeGuard([] { SlideCurtain::AssumeCompositor(std::nullopt); });
    CalendarWindow* w = open();
    QElapsedTimer clock;
    qint64 clearFrom = -1;
    // Looked at in every pass of the slide's event loop: the top-left pixel of the curtain,
    // the last of the window's rows to go.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, w, [&] {
        SlideCurtain* curtain = nullptr;
        for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            curtain = curtain ? curtain : dynamic_cast<SlideCurtain*>(child);
        if (!curtain || curtain->isHidden() || clearFrom >= 0)
            return;
        QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
        pixel.fill(Qt::red);
        curtain->render(&pixel, QPoint(), QRegion(0, 0, 1, 1), QWidget::RenderFlags());
        if (qAlpha(pixel.pixel(0, 0)) == 0)
            clearFrom = clock.elapsed();
    });
    clock.start();
    watch.start(0);
    w->ScrollUp();
    const qint64 hidden = clock.elapsed();
    watch.stop();
    EXPECT_TRUE(w->isHidden());
    ASSERT_GE(clearFrom, 0) << "the window went without a transparent picture";
    EXPECT_GE(hidden - clearFrom, 1000 / 60) << "the transparent picture stood for less than a frame";
}

TEST_F(Frame, AWindowClosedDuringASlideIsLeftAlone)
{
    CalendarWindow* w = open();
    QPointer<CalendarWindow> watched(w);
    QTimer::singleShot(25, qApp, [w] { w->CloseWindow(); });
    w->ScrollUp();
    EXPECT_FALSE(CalendarWindow::IsSliding());
    flush();
    EXPECT_TRUE(watched.isNull());
    // The next window slides normally.
    CalendarWindow* next = open();
    next->ScrollUp();
    EXPECT_TRUE(next->isHidden());
}

TEST_F(Frame, ANewDayMovesTodaysCircleAndRendersTheCountdownAgain)
{
    PlainPictures pictures;
    App().countdownDate = Date(2025, 7, 4);
    App().eventDict.SetValue("2025-07-04 00:00:00", "2025-07-04 00:00:00//Picnic//Countdown");
    App().currentDate = Date(2025, 6, 10, 23, 59, 40);
    CalendarWindow* w = nullptr;
    {
        FixedClock evening(App().currentDate);
        w = open();
    }
    calCanvas* c = w->Calendar;
    // Today's circle: one row across, a pixel left of the number, its top at the top of
    // the number's line.
    auto circleOf = [&](const Date& day) {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(day, row, column);
        const int x = c->MarginWidth + column * c->ColumnsWidth, y = c->MarginHeight + (row % 27) * c->DefaultRowHeight;
        const int lineHeight = QFontMetrics(Graphics::MakeFont("Arial", c->TextSize)).height();
        return QRect(x - 1, y - lineHeight, c->DefaultRowHeight, c->DefaultRowHeight);
    };
    auto circle = [&] {
        return Pixels::Ink(Pixels::Render(c, QColor(255, 0, 255)), c->rect(), QColor(255, 0, 0), QColor(255, 0, 255));
    };
    EXPECT_EQ(circle(), circleOf(Date(2025, 6, 10)));
    // The tile's count, in Impact 18 on baseline 44, centred 5 left of the middle.
    auto showsCount = [&](const QString& count) {
        const QFont font = Graphics::MakeFont("Impact", 18);
        const int x = ToInt(118 / 2.0 - QFontMetricsF(font).horizontalAdvance(count) / 2 - 5);
        const QImage tile = Pixels::Render(w->CountdownCanvas, QColor(255, 0, 255));
        return Pixels::Near(Pixels::Ink(tile, QRect(0, 0, 118, 48), QColor(50, 50, 50), PlainPictures::Colour(185)),
                            Pixels::TextBox(count, font, x, 44));
    };
    EXPECT_TRUE(showsCount("24"));

    FixedClock midnight(Date(2025, 6, 11, 0, 0, 30));
    w->TimeTimer_Action();
    EXPECT_EQ(App().currentDate.SQLDateTime(), "2025-06-11 00:00:30");
    EXPECT_EQ(w->theTimeText->text(), "12:00 AM");
    EXPECT_EQ(circle(), circleOf(Date(2025, 6, 11)));
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-06-15");      // the year shown stays
    EXPECT_TRUE(showsCount("23"));
    // The windows' icon shows the new day, also without a tray icon (none here).
    ASSERT_EQ(App().mAppTrayItem, nullptr);
    EXPECT_EQ(QApplication::windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
              AppTrayItem::IconPicture(11)->Composited().convertToFormat(QImage::Format_ARGB32));

    // The same day again changes nothing but the clock.
    const PicturePtr after = w->CountdownCanvas->cachedImage;
    FixedClock later(Date(2025, 6, 11, 0, 1, 0));
    w->TimeTimer_Action();
    EXPECT_EQ(w->CountdownCanvas->cachedImage, after);
    EXPECT_EQ(w->theTimeText->text(), "12:01 AM");
    EXPECT_EQ(App().currentDate.SQLDateTime(), "2025-06-11 00:00:30");
}

TEST_F(Frame, TheFirstTickOfANewSeasonRereadsTheBrandingAndRebuildsTheWindow)
{
    QTemporaryDir apps;
    QDir().mkpath(apps.filePath("Summer"));
    ASSERT_TRUE(Files::WriteAtomic(apps.filePath("Summer/calspc.dat"), "applicationName=Summer Edition\ncalendarStartYear=2025\n"));
    CM::DefaultCalendarFolder = apps.filePath("Summer");
    App().currentDate = Date(2025, 6, 20, 23, 59, 40);    // the last day of spring
    QPointer<CalendarWindow> old;
    {
        FixedClock evening(App().currentDate);
        old = open();
    }
    FixedClock midnight(Date(2025, 6, 21, 0, 0, 10));
    old->TimeTimer_Action();
    flush();
    EXPECT_TRUE(old.isNull());
    ASSERT_NE(CalendarWindow::Existing(), nullptr);
    EXPECT_TRUE(CalendarWindow::Existing()->isVisible());
    EXPECT_EQ(CM::applicationName, "Summer Edition");
    EXPECT_EQ(App().currentDate.SQLDateTime(), "2025-06-21 00:00:10");
    EXPECT_TRUE(log.messages.isEmpty());
}
