#include "CalendarWindowFixture.h"
#include "PixelProbe.h"
#include "UrlRecorder.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "framework/Canvas.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/InterfacePictures.h"
#include "tray/TabWindow.h"
#include <QEnterEvent>
#include <QMouseEvent>

namespace {
class TitleBand : public CalendarWindowFixture {};

// 'e'nter, e'x'it, press 'd'own, release 'u'p; 'U' releases outside the control.
void send(QWidget* w, char what)
{
    const QPoint at(what == 'U' ? -20 : 3, 3);
    const QPointF local(at), global(w->mapToGlobal(at));
    switch (what) {
    case 'e': {
        QEnterEvent e(local, local, global);
        QCoreApplication::sendEvent(w, &e);
        break;
    }
    case 'x': {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(w, &e);
        break;
    }
    case 'd': {
        QMouseEvent e(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
        break;
    }
    case 'u':
    case 'U': {
        QMouseEvent e(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
        break;
    }
    }
}

} // namespace

TEST_F(TitleBand, TheHomeButtonFollowsTheMouseAndAReleaseOpensTheHomeLink)
{
    CM::includeHomeButton = true;
    CM::vendorURL = "https://www.example.com/vendor";
    CM::homeButtonLink = "https://www.example.com/home";
    // Faces after each step ('N'ormal, mouse 'O'ver, 'D'own), and whether the pointing
    // finger is set after entering. A press released outside the button hears of the
    // pointer's exit only after the release, and keeps the mouse-over face.
    struct Case { const char* edition; const char* steps; const char* faces; bool finger; };
    const Case cases[] = {{"Lumora Calendar", "edux", "ODON", false},
                          {"Lumora Calendar", "edUxex", "ODOOON", false},
                          {"Lumora Dravel Edition", "edUx", "NNNN", true}};
    for (const Case& c : cases) {
        CM::applicationName = c.edition;
        UrlRecorder urls;
        CalendarWindow* w = open();
        cCanvas* button = w->HomeButton;
        const PicturePtr normal = InterfacePictures::homeButtonNormal();
        EXPECT_EQ(button->geometry(),
                  QRect(30, ToInt(area().height() * 0.082 / 2 - normal->Height() / 2.0), normal->Width(), normal->Height()));
        EXPECT_FALSE(button->isHidden());
        EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(button->HelpTag(), "Goto https://www.example.com/vendor");
        EXPECT_EQ(button->cachedImage, w->HomeButtonN);
        auto face = [&] {
            const PicturePtr shown = button->cachedImage;
            return shown == w->HomeButtonN ? 'N' : shown == w->HomeButtonMO ? 'O' : shown == w->HomeButtonMD ? 'D' : '?';
        };
        for (int i = 0; c.steps[i]; ++i) {
            send(button, c.steps[i]);
            EXPECT_EQ(face(), c.faces[i]) << c.edition << " after " << c.steps << "[" << i << "]";
            if (c.steps[i] == 'e') {
                EXPECT_EQ(button->testAttribute(Qt::WA_SetCursor) && button->cursor().shape() == Qt::PointingHandCursor,
                          c.finger) << c.edition;
            }
        }
        EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor)) << c.edition;
        EXPECT_EQ(urls.opened, QStringList({"https://www.example.com/home"})) << c.edition;
        w->CloseWindow();
        flush();
    }
}

TEST_F(TitleBand, TheLogoLineSitsAtTheBottomAndOpensTheMakersPage)
{
    struct Case { bool right; const char* lumoraURL; const char* opened; };
    const Case cases[] = {
        {false, "", "https://www.example.com/desktop-lumora"},
        {true, "https://www.example.com/elsewhere", "https://www.example.com/elsewhere"},
        {false, "javascript:alert(1)", nullptr},
    };
    for (const Case& c : cases) {
        CM::LMLogoRightJustify = c.right;
        CM::LumoraURL = c.lumoraURL;
        UrlRecorder urls;
        CalendarWindow* w = open();
        Canvas* logo = w->LumoraLogo;
        EXPECT_EQ(logo->parentWidget(), w);
        EXPECT_FALSE(logo->isHidden());
        EXPECT_EQ(logo->geometry(),
                  QRect(c.right ? area().width() - 276 : 30, area().height() - 31, 251, 29));
        EXPECT_EQ(logo->HelpTag(), "Goto " + CalendarWindow::MakerURL());
        EXPECT_FALSE(w->LumoraLogo_MouseDown(1, 1));
        EXPECT_EQ(urls.opened, c.opened ? QStringList({c.opened}) : QStringList()) << c.lumoraURL;
        w->CloseWindow();
        flush();
    }
}

TEST_F(TitleBand, TheQuickStartOverlayShowsOnAFirstRunUntilClicked)
{
    App().firstRun = true;
    CalendarWindow* w = open();
    Canvas* overlay = w->QuickStartHelp;
    EXPECT_FALSE(overlay->isHidden());
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, area().width(), ToInt(area().height() * 0.62)));
    // It lies over the year view and the home button.
    EXPECT_EQ(w->childAt(300, w->Calendar->y() + 20), overlay);
    send(overlay, 'd');
    send(overlay, 'u');
    EXPECT_TRUE(overlay->isHidden());
    EXPECT_FALSE(App().firstRun);
    // A rebuilt window in the same run does not show it again; the Help menu does.
    w->CloseWindow();
    flush();
    w = open();
    EXPECT_TRUE(w->QuickStartHelp->isHidden());
    w->_HelpQuickStartHelp_Action();
    EXPECT_FALSE(w->QuickStartHelp->isHidden());
}

TEST_F(TitleBand, TheHomeButtonsFacesCarryTheLabelInTheirColours)
{
    PlainPictures pictures;
    CM::includeHomeButton = true;
    CM::homeTextColor = QColor(180, 20, 20);
    CalendarWindow* w = open();
    cCanvas* button = w->HomeButton;
    const int width = button->width();
    // "Home" in bold Tahoma 13, centred by its width, on baseline 15; the same place on
    // every face.
    const QFont font = Graphics::MakeFont("Tahoma", 13, true);
    const int labelX = ToInt(width / 2.0 - ToInt(QFontMetricsF(font).horizontalAdvance("Home")) / 2.0);
    const QRect label = Pixels::TextBox("Home", font, labelX, 15);
    struct Step { char event; int face; QColor colour; };
    const Step steps[] = {{' ', 168, QColor(180, 20, 20)}, {'e', 170, QColor(255, 255, 254)},
                          {'d', 171, QColor(255, 255, 254)}, {'u', 170, QColor(255, 255, 254)},
                          {'x', 168, QColor(180, 20, 20)}};
    for (const Step& s : steps) {
        if (s.event != ' ')
            send(button, s.event);
        const QImage image = Pixels::Render(button, QColor(255, 0, 255));
        const QColor face = PlainPictures::Colour(s.face);
        EXPECT_EQ(image.pixelColor(1, 1), face) << s.event;
        EXPECT_EQ(image.pixelColor(width - 2, button->height() - 2), face) << s.event;
        const QRect ink = Pixels::Ink(image, image.rect(), s.colour, face);
        EXPECT_TRUE(Pixels::Near(ink, label)) << "after " << s.event << ": " << ink << " expected " << label;
    }
}

TEST_F(TitleBand, TheLogoLineIsCentredInItsStripOnlyWhenTheBrandingAsks)
{
    CM::LMlogoColor = QColor(20, 40, 160);
    for (bool included : {true, false}) {
        CM::includeLMLogo = included;
        CalendarWindow* w = open();
        Canvas* logo = w->LumoraLogo;
        const QImage image = Pixels::Render(logo, QColor(255, 0, 255));
        const QString line = "Calendar by Desktop Lumora";
        const QFont font = Graphics::MakeFont("Arial", 10, false, true);
        const int x = ToInt(logo->width() / 2.0 - QFontMetricsF(font).horizontalAdvance(line) / 2);
        const QRect expected = Pixels::TextBox(line, font, x, logo->height() - 5);
        const QRect ink = Pixels::Ink(image, image.rect(), CM::LMlogoColor, QColor(255, 0, 255));
        if (included)
            EXPECT_TRUE(Pixels::Near(ink, expected)) << ink << " expected " << expected;
        else
            EXPECT_EQ(ink, QRect());
        w->CloseWindow();
        flush();
    }
}

TEST_F(TitleBand, TheMenuToggleStripRestsOnTheTitleAreaWithItsWordsAndFrames)
{
    PlainPictures pictures;
    ScreenSize screen(1280, 800);
    CalendarWindow* w = open();
    cCanvas* strip = w->MenuBarCanvas;
    // Hidden all run long; its bottom edge 2 pixels above the title area's bottom, and as
    // wide as the window less the design's 1024 - 97.
    EXPECT_TRUE(strip->isHidden());
    EXPECT_EQ(strip->geometry(), QRect(-1, ToInt(area().height() * 0.082 - 15 - 2), 97 + area().width() - 1024, 15));

    // Shown, it paints the bar's slice across its width and the words in white bold Tahoma 10.
    strip->setVisible(true);
    const QImage image = Pixels::Render(strip, QColor(255, 0, 255));
    const QColor bar = PlainPictures::Colour(173);
    EXPECT_EQ(image.pixelColor(0, 0), bar);
    EXPECT_EQ(image.pixelColor(strip->width() - 1, 14), bar);
    const QString words = "    File   Help           Home";
    const QRect expected = Pixels::TextBox(words, Graphics::MakeFont("Tahoma", 10, true), 3, 11);
    const QRect ink = Pixels::Ink(image, image.rect(), QColor(255, 255, 255), bar);
    EXPECT_TRUE(Pixels::Near(ink, expected)) << ink << " expected " << expected;

    // The toggle picture: frame A (the source's left) while hidden, frame B (from x 16)
    // while shown, taken from the picture of the event.
    auto toggle = [&] { return strip->cachedImage->Pixel(7, 7); };
    strip->setVisible(false);
    w->MenuBarCanvas_MouseEnter();
    EXPECT_EQ(toggle(), PlainPictures::Colour(179));
    strip->setVisible(true);
    w->MenuBarCanvas_MouseEnter();
    EXPECT_EQ(toggle(), PlainPictures::SecondFrame(179));
    w->MenuBarCanvas_MouseExit();
    EXPECT_EQ(toggle(), PlainPictures::SecondFrame(178));
    EXPECT_FALSE(w->MenuBarCanvas_MouseDown(3, 3));     // hides it
    EXPECT_TRUE(strip->isHidden());
    EXPECT_EQ(toggle(), PlainPictures::Colour(178));
    EXPECT_EQ(strip->Backdrop(), strip->cachedImage);
}

TEST_F(TitleBand, TheQuickStartCallOutsPointAtTheHomeButtonTheTabAndTheDates)
{
    App().firstRun = true;
    CM::includeHomeButton = true;
    CM::vendorURL = "www.example.com";
    CalendarWindow* w = open();
    TabWindow* tab = TabWindow::Instance();
    const QRgb blue = qRgb(0, 80, 255), outline = qRgb(100, 100, 100), shadow = qRgb(160, 160, 160);
    const QColor text(40, 40, 40);
    const QFont font = Graphics::MakeFont("Arial", 12, true);
    const int availH = area().height();
    // A call-out: an arrow up to its tip (x0, y0) and h long, a bubble B wide whose top-left
    // is 50 pixels left of the tip at the arrow's end, a shadow 5 lower and right, and the
    // text from 40 pixels left of the tip, its first baseline 22 below the bubble's top.
    auto check = [&](const QImage& image, const char* what, int arrowX, int x0, int y0, int h, const QString& firstWord) {
        EXPECT_EQ(image.pixel(arrowX + 1, y0 + h / 2), blue) << what;       // the shaft
        EXPECT_EQ(image.pixel(arrowX + 7, y0 + 6), blue) << what;           // the head
        EXPECT_EQ(image.pixel(x0 - 50 + 8, y0 + h), outline) << what;       // the bubble's top edge
        EXPECT_EQ(image.pixel(x0 - 50, y0 + h + 12), outline) << what;      // its left edge
        EXPECT_EQ(image.pixel(x0 - 50 + 1, y0 + h + 12), qRgb(255, 255, 255)) << what;
        const QRect word = Pixels::TextBox(firstWord, font, x0 - 40, y0 + h + 22);
        const QRect ink = Pixels::Ink(image, word.adjusted(-2, -2, 2, 2), text, Qt::white);
        EXPECT_TRUE(Pixels::Near(ink.intersected(word.adjusted(-1, -1, 1, 1)), word)) << what << ": " << ink;
        EXPECT_EQ(ink.left(), word.left()) << what;
    };
    for (int tabLeft : {w->x() - 200, w->x() + 20, w->x() + 400}) {
        tab->move(tabLeft, tab->y());
        const QImage image = Pixels::Render(w->QuickStartHelp, Qt::white);
        // The tab's bubble, drawn later, covers the home button's unless the tab is far right.
        cCanvas* home = w->HomeButton;
        const int homeX = ToInt(home->x() + home->width() / 2.0);
        if (tabLeft > w->x() + 300)
            check(image, "home", homeX, homeX, home->y() + home->height(), 30, "Goto");
        // The tab's arrow points at the tab wherever it is; its bubble keeps inside the window.
        const int tabX = std::max(0, ToInt(tabLeft - w->x() + tab->width() / 2.0 - 2));
        check(image, "tab", tabX, std::max(50, tabX), 10, ToInt(availH * 0.082 - 20), "Calendar");
        check(image, "date", 300, 300, ToInt(availH * 0.62 / 27 * 20), 30, "Click");
        // The date bubble's shadow shows below its bottom edge, 5 right of its left edge.
        const QRect dateText = Pixels::Ink(image, QRect(250, 0, 220, image.height()), text, Qt::white);
        int bottom = dateText.bottom();
        while (bottom < image.height() - 1 && image.pixel(260, bottom) != outline)
            ++bottom;
        EXPECT_EQ(image.pixel(260, bottom + 2), shadow);
        EXPECT_EQ(image.pixel(252, bottom + 2), qRgb(255, 255, 255));
    }
}
