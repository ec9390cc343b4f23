#include "CalendarWindowFixture.h"
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

void send(QWidget* w, char what)
{
    const QPointF local(3, 3), global(w->mapToGlobal(QPoint(3, 3)));
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
    case 'u': {
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
    // Faces after enter, press, release and exit ('N'ormal, mouse 'O'ver, 'D'own), and
    // whether the pointing finger is set after entering.
    struct Case { const char* edition; const char* faces; bool finger; };
    const Case cases[] = {{"Lumora Calendar", "ODON", false}, {"Lumora Dravel Edition", "NNNN", true}};
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
        const char steps[] = {'e', 'd', 'u', 'x'};
        for (int i = 0; i < 4; ++i) {
            send(button, steps[i]);
            EXPECT_EQ(face(), c.faces[i]) << c.edition << " after " << steps[i];
            if (steps[i] == 'e') {
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

TEST_F(TitleBand, TheTabCallOutKeepsItsBubbleInsideTheWindow)
{
    App().firstRun = true;
    CM::includeHomeButton = true;
    CalendarWindow* w = open();
    TabWindow* tab = TabWindow::Instance();
    // The overlay drawn over a white picture: with the tab at the window's left edge the
    // bubbles' outlines start at x 0 or right of it, and the arrow is still drawn.
    for (int tabLeft : {w->x() - 200, w->x(), w->x() + 20, w->x() + 400}) {
        tab->move(tabLeft, tab->y());
        QImage image(w->QuickStartHelp->size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        w->QuickStartHelp->render(&image);
        const QRgb blue = qRgb(0, 80, 255);
        const int arrowX = std::max(0, ToInt(tabLeft - w->x() + tab->width() / 2.0 - 2));
        EXPECT_EQ(image.pixel(arrowX + 1, 30), blue) << tabLeft;
        const int bubbleTop = 10 + ToInt(area().height() * 0.082 - 20);
        EXPECT_EQ(image.pixel(std::max(50, arrowX) - 50 + 8, bubbleTop), qRgb(100, 100, 100)) << tabLeft;
    }
}
