// Printing: the print command hides the window's extras and the print capture brings them
// back; the captured picture (today's mark taken out, a grey frame); the picture's place on
// the page; the page setup kept for the next print; the dialogs answered by the test.
#include "GlanceFixture.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "framework/Canvas.h"
#include "framework/Timer.h"
#include "framework/UpDownArrows.h"
#include "glance/PagePrinter.h"
#include "glance/PrintCapture.h"
#include "shell/Menu.h"
#include "framework/MenuItem.h"
#include "tray/TabWindow.h"
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace {
class Printing : public GlanceFixture
{
protected:
    void SetUp() override
    {
        GlanceFixture::SetUp();
        m_previous = PagePrinter::SetInterceptor([this](PagePrinter::Dialog dialog, QPrinter& printer) {
            asked << (dialog == PagePrinter::Dialog::PageSetup ? "page setup" : "print");
            return answer ? answer(dialog, printer) : false;
        });
        App().PrinterSetupString.clear();
    }
    void TearDown() override
    {
        PagePrinter::SetInterceptor(m_previous);
        if (TabWindow* tab = TabWindow::Existing())
            tab->setVisible(true);
        GlanceFixture::TearDown();
    }
    // Whether each of the window's extras is shown: tab, overlay, clock, menu button, arrows,
    // countdown tile.
    static std::string extras(CalendarWindow* w)
    {
        const TabWindow* tab = TabWindow::Existing();
        const QWidget* parts[] = {w->QuickStartHelp, w->theTimeText, w->MainMenuButton, w->CalendarScrollButton,
                                  w->CountdownCanvas};
        std::string shown = tab && !tab->isHidden() ? "1" : "0";
        for (const QWidget* part : parts)
            shown += part->isHidden() ? "0" : "1";
        return shown;
    }
    static int countPixels(const QImage& image, const QColor& colour, const QRect& area)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixel(x, y) == colour.rgb();
        return count;
    }

    QStringList asked;
    PagePrinter::Interceptor answer;
    QTemporaryDir output;

private:
    PagePrinter::Interceptor m_previous;
};
} // namespace

TEST(PagePlacement, TheWidthTakesThePagesLongSideAndThePictureStaysWhole)
{
    struct Case {
        QSize picture, page, size;
        bool turned;
    };
    const Case cases[] = {
        {{1280, 800}, {792, 612}, {792, 495}, false},    // landscape page
        {{1280, 800}, {612, 792}, {792, 495}, true},     // portrait page: turned
        {{1280, 1024}, {792, 612}, {765, 612}, false},   // too tall at full width: fitted
        {{1280, 1024}, {612, 792}, {765, 612}, true},
        {{500, 500}, {600, 600}, {600, 600}, true},      // a square page counts as portrait
    };
    for (const Case& c : cases) {
        const PagePrinter::Placement placed = PagePrinter::Place(c.picture, c.page);
        EXPECT_EQ(placed.size, c.size) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(placed.turned, c.turned);
    }
}

TEST(PagePlacement, OnAPortraitPageThePicturesTopRunsAlongTheLeftEdge)
{
    // Left half red, right half blue; turned anticlockwise, the left half is at the bottom.
    QImage picture(100, 50, QImage::Format_ARGB32);
    picture.fill(QColor(0, 0, 255));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    QImage page(60, 200, QImage::Format_ARGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        PagePrinter::Draw(painter, picture, page.size());
    }
    // Placed 120 x 60 and turned: x 0 to 59, y 0 to 119.
    EXPECT_EQ(QColor(page.pixel(30, 100)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(page.pixel(30, 20)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(page.pixel(30, 150)), QColor(Qt::white));

    QImage landscape(200, 60, QImage::Format_ARGB32);
    landscape.fill(Qt::white);
    {
        QPainter painter(&landscape);
        PagePrinter::Draw(painter, picture, landscape.size());
    }
    EXPECT_EQ(QColor(landscape.pixel(20, 30)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(landscape.pixel(100, 30)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(landscape.pixel(150, 30)), QColor(Qt::white));
}

TEST(PageSetupText, RoundTripsAndRefusesWhatItCannotRead)
{
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 20, 30, 40),
                             QPageLayout::Point);
    QPageLayout back;
    ASSERT_TRUE(PagePrinter::ApplySetupString(PagePrinter::SetupString(layout), back));
    EXPECT_EQ(back.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(back.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(back.margins(QPageLayout::Point), QMarginsF(10, 20, 30, 40));
    for (const char* bad : {"", "612x792", "612x792;sideways;0,0,0,0", "0x792;portrait;0,0,0,0", "axb;portrait;1,2,3,4"}) {
        QPageLayout kept = layout;
        EXPECT_FALSE(PagePrinter::ApplySetupString(bad, kept)) << bad;
        EXPECT_EQ(kept.orientation(), QPageLayout::Landscape);
    }
}

TEST(PrintCaptureMark, PureRedTakesItsUpperLeftNeighbourInPlace)
{
    QImage picture(6, 4, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixel(2, 0, qRgb(1, 2, 3));
    for (int x = 3; x <= 5; ++x)
        picture.setPixel(x, 1, qRgb(255, 0, 0));   // a run: all take (2, 0)'s colour
    picture.setPixel(0, 2, qRgb(255, 0, 0));       // left column: no neighbour, stays
    picture.setPixel(2, 2, qRgb(254, 0, 0));       // not exactly the mark's colour
    picture.setPixel(4, 3, qRgb(255, 0, 0));       // outside the band
    PrintCapture::RemoveMark(picture, QRect(0, 0, 6, 3));
    EXPECT_EQ(picture.pixel(3, 1), qRgb(1, 2, 3));
    EXPECT_EQ(picture.pixel(4, 1), qRgb(10, 20, 30));   // (3, 0), not the replaced (3, 1)
    EXPECT_EQ(picture.pixel(0, 2), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(2, 2), qRgb(254, 0, 0));
    EXPECT_EQ(picture.pixel(4, 3), qRgb(255, 0, 0));
}

TEST_F(Printing, FilePrintHidesTheExtrasAndThePrintBringsThemBack)
{
    App().firstRun = true;   // the quick start overlay shows
    CalendarWindow* w = open();
    ASSERT_EQ(extras(w), "111011");   // the menu button hides itself at opening
    App()._FilePrint_Action();
    EXPECT_EQ(extras(w), "000000");
    EXPECT_EQ(w->PrintTimer->Mode(), Timer::ModeSingle);
    w->PrintTimer->SetMode(Timer::ModeOff);

    // While the dialogs show, the extras stay hidden; cancelling prints nothing.
    std::string during;
    answer = [&](PagePrinter::Dialog, QPrinter&) {
        during = extras(w);
        return false;
    };
    w->PrintTimer_Action();
    EXPECT_EQ(during, "000000");
    EXPECT_EQ(asked, QStringList{"page setup"});
    // Back: the tab, the clock, the arrows and the tile; the overlay and the menu button not.
    EXPECT_EQ(extras(w), "101011");
}

TEST_F(Printing, AHiddenTileOrClockStaysHidden)
{
    CM::hideTime = true;
    CalendarWindow* w = open();
    w->RunMainMenuCommand("Hide Countdown Event");
    // The countdown item may still read "Hide" from before: the tile stays hidden anyway.
    Menu::EditToggleCDCanvas()->Text = "Hide Countdown Event";
    App()._FilePrint_Action();
    w->PrintTimer->SetMode(Timer::ModeOff);
    w->PrintTimer_Action();
    EXPECT_EQ(extras(w), "100010");

    w->RunMainMenuCommand("Print Calendar");
    EXPECT_EQ(w->PrintTimer->Mode(), Timer::ModeSingle);
    w->PrintTimer->SetMode(Timer::ModeOff);
    w->PrintTimer_Action();
    EXPECT_EQ(extras(w), "100010");
}

TEST_F(Printing, ThePageSetupIsKeptForTheNextPrintAndThePagePrints)
{
    CalendarWindow* w = open();
    const QString pdf = output.path() + "/page.pdf";
    QPageLayout::Orientation seen = QPageLayout::Portrait;
    answer = [&](PagePrinter::Dialog dialog, QPrinter& printer) {
        if (dialog == PagePrinter::Dialog::PageSetup) {
            seen = printer.pageLayout().orientation();
            printer.setPageOrientation(QPageLayout::Landscape);
            return true;
        }
        return false;   // the print dialog cancelled
    };
    App().PrintCalendar(w->PrintPicture());
    EXPECT_EQ(asked, (QStringList{"page setup", "print"}));
    EXPECT_EQ(seen, QPageLayout::Portrait);
    EXPECT_FALSE(App().PrinterSetupString.isEmpty());

    answer = [&](PagePrinter::Dialog dialog, QPrinter& printer) {
        if (dialog == PagePrinter::Dialog::PageSetup) {
            seen = printer.pageLayout().orientation();
            return true;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    App().PrintCalendar(w->PrintPicture());
    EXPECT_EQ(seen, QPageLayout::Landscape);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    EXPECT_TRUE(log.messages.isEmpty());

    // A cancelled page setup keeps the setup confirmed last.
    const QString kept = App().PrinterSetupString;
    answer = {};
    App().PrintCalendar(w->PrintPicture());
    EXPECT_EQ(App().PrinterSetupString, kept);
}

TEST_F(Printing, APrintThatCannotStartIsReported)
{
    CalendarWindow* w = open();
    answer = [&](PagePrinter::Dialog, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output.path() + "/no/such/folder/page.pdf");
        return true;
    };
    App().PrintCalendar(w->PrintPicture());
    EXPECT_EQ(log.messages, QStringList{"The calendar could not be printed."});
}

TEST_F(Printing, TheYearViewPrintsWithoutTodaysMarkAndWithAGreyFrame)
{
    App().selectedDate = Date(2025, 6, 15);   // the year view shows today's year
    CalendarWindow* w = open();
    QImage plain(w->size(), QImage::Format_ARGB32);
    w->render(&plain);
    const QRect inside = plain.rect().adjusted(1, 1, -1, -1);
    ASSERT_GT(countPixels(plain, QColor(255, 0, 0), inside), 0);   // today's circle

    const QImage printed = w->PrintPicture();
    EXPECT_EQ(printed.size(), w->size());
    EXPECT_EQ(printed.format(), QImage::Format_ARGB32);
    EXPECT_EQ(countPixels(printed, QColor(255, 0, 0), inside), 0);
    const QColor grey(180, 180, 180);
    for (const QPoint p : {QPoint(0, 0), QPoint(printed.width() - 1, 0), QPoint(0, printed.height() - 1),
                           QPoint(printed.width() / 2, printed.height() - 1)})
        EXPECT_EQ(QColor(printed.pixel(p)), grey);
    // The menu bar is left out of the picture and shown again.
    ASSERT_TRUE(w->menuBarWidget());
    EXPECT_FALSE(w->menuBarWidget()->isHidden());
    const QRect bar = w->menuBarWidget()->geometry().adjusted(2, 2, -2, -2);
    EXPECT_NE(printed.copy(bar), plain.copy(bar));
}

TEST_F(Printing, TheWeekPrintsAsDrawn)
{
    CalendarWindow* w = openWeek();
    QImage plain(w->size(), QImage::Format_ARGB32);
    w->render(&plain);
    const QImage printed = w->PrintPicture();
    // The grid starts at the window's left edge, where the frame runs.
    const QRect grid = w->GlanceList->geometry().intersected(printed.rect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(printed.copy(grid), plain.copy(grid));
    EXPECT_EQ(QColor(printed.pixel(0, printed.height() / 2)), QColor(180, 180, 180));
}
