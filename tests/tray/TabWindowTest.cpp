#include "TrayFixture.h"
#include "framework/Files.h"
#include <QPixmap>
#include <climits>

namespace {
class Tab : public CalendarWindowFixture
{
protected:
    void TearDown() override
    {
        if (TabWindow* tab = TabWindow::Existing())
            tab->CloseWindow();
        CalendarWindowFixture::TearDown();
    }
    static void clickTab(TabWindow* tab)
    {
        tab->Event_MouseDown(5, 3);
        tab->Event_MouseUp(5, 3);
    }
};
} // namespace

TEST_F(Tab, OpensAtTheTopEdgeHalfATabRightOfTheCentreOrWhereItWasLeft)
{
    EXPECT_EQ(TabWindow::DefaultLeft(1440), 736);
    EXPECT_EQ(TabWindow::DefaultLeft(1280), 656);
    struct Case { int stored; int left; };
    for (const Case& c : {Case{0, area().left() + TabWindow::DefaultLeft(area().width())}, Case{300, 300}}) {
        App().tabLeft = c.stored;
        TabWindow* tab = TabWindow::Instance();
        EXPECT_EQ(tab->geometry(), QRect(c.left, area().top(), 32, 7)) << c.stored;
        tab->CloseWindow();
        flush();
    }
}

TEST_F(Tab, AClickSlidesTheCalendarOutAndBackIn)
{
    // As after a start on a display without a window manager: nothing made the calendar
    // active, and no other program has the keyboard, so there is nothing to come forward
    // from and the click slides the calendar away.
    ASSERT_TRUE(App().Deactivated);
    CalendarWindow* calendar = open();
    TabWindow* tab = TabWindow::Instance();
    {
        AnotherProgramHasTheKeyboard none(false);
        clickTab(tab);
    }
    EXPECT_LT(calendar->Top(), 0);
    EXPECT_TRUE(calendar->isHidden());
    App().Deactivated = true;              // slid up: a click slides it down in any case
    {
        AnotherProgramHasTheKeyboard another(true);
        clickTab(tab);
    }
    EXPECT_EQ(calendar->Top(), area().top());
    EXPECT_FALSE(calendar->isHidden());
    EXPECT_FALSE(App().Deactivated);
}

TEST_F(Tab, AClickWhileAnotherProgramHasTheKeyboardBringsTheCalendarForward)
{
    // In the background, a click brings the calendar forward where another program's window
    // has the keyboard (a window manager opened the calendar behind it, or the user went
    // there).
    AnotherProgramHasTheKeyboard another(true);
    CalendarWindow* calendar = open();
    TabWindow* tab = TabWindow::Instance();
    App().Deactivated = true;
    tab->Event_MouseDown(5, 3);
    App().Deactivated = false;             // the press activated the application
    tab->Event_MouseUp(5, 3);
    EXPECT_EQ(calendar->Top(), area().top());
    EXPECT_FALSE(calendar->isHidden());
}

TEST_F(Tab, ADragMovesTheTabAlongTheTopEdgeAndIsRemembered)
{
    CalendarWindow* calendar = open();
    TabWindow* tab = TabWindow::Instance();
    tab->Event_MouseDown(5, 3);
    tab->Event_MouseDrag(45, 30);          // 40 pixels to the right; up and down do not count
    tab->move(tab->x(), area().top() + 30);
    tab->Event_MouseUp(45, 30);
    EXPECT_EQ(tab->y(), area().top());
    EXPECT_EQ(App().tabLeft, tab->x());
    EXPECT_EQ(tab->x(), area().left() + TabWindow::DefaultLeft(area().width()) + 40);
    EXPECT_EQ(calendar->Top(), area().top());     // nothing slid
    EXPECT_FALSE(calendar->isHidden());
    // Slid away, the calendar stays out of sight after a drag.
    calendar->ScrollUp();
    tab->Event_MouseDown(5, 3);
    tab->Event_MouseDrag(25, 3);
    tab->Event_MouseUp(25, 3);
    EXPECT_LT(calendar->Top(), 0);
    EXPECT_TRUE(calendar->isHidden());
}

TEST_F(Tab, AStoredPlaceOffTheScreenIsBroughtBackAndCorrectedInThePreferences)
{
    const int rightmost = area().left() + area().width() - TabWindow::TabWidth;
    struct Case { int stored; int left; };
    const Case cases[] = {
        {-5000, area().left()},          // off the left edge
        {-20, area().left()},            // partly off
        {99999, rightmost},              // saved on a far wider screen
        {rightmost + 1, rightmost},
        {rightmost, rightmost},          // at the edge: kept as it is
        {INT_MIN, area().left()},
    };
    for (const Case& c : cases) {
        App().tabLeft = c.stored;
        TabWindow* tab = TabWindow::Instance();
        EXPECT_EQ(tab->geometry(), QRect(c.left, area().top(), 32, 7)) << c.stored;
        EXPECT_EQ(App().tabLeft, c.left) << c.stored;
        // The next write of the preferences stores the place the tab has.
        App().PutPrefs();
        QByteArray bytes;
        ASSERT_EQ(Files::ReadAll(app::PrefsPath(), bytes), Files::ReadStatus::Ok);
        EXPECT_EQ(QString::fromUtf8(bytes).section(';', 1, 1).toInt(), c.left) << c.stored;
        tab->CloseWindow();
        flush();
    }
}

TEST_F(Tab, ADragStopsAtTheScreensSides)
{
    open();
    TabWindow* tab = TabWindow::Instance();
    const int rightmost = area().left() + area().width() - TabWindow::TabWidth;
    struct Case { int dragBy; int left; };
    for (const Case& c : {Case{-100000, area().left()}, Case{100000, rightmost}, Case{INT_MAX - 10, rightmost}}) {
        tab->Event_MouseDown(5, 3);
        tab->Event_MouseDrag(5 + c.dragBy, 3);
        tab->Event_MouseUp(5 + c.dragBy, 3);
        EXPECT_EQ(tab->x(), c.left) << c.dragBy;
        EXPECT_EQ(App().tabLeft, c.left) << c.dragBy;
    }
}

TEST_F(Tab, KeepsTheColourItWasCreatedWith)
{
    CM::tabColor = QColor(32, 150, 156);
    open();
    TabWindow* tab = TabWindow::Instance();
    EXPECT_EQ(tab->grab().toImage().pixelColor(3, 3), QColor(32, 150, 156));
    // Another branding is read (another calendar chosen in the preferences); printing then
    // hides the tab and shows it again.
    CM::tabColor = QColor(200, 0, 0);
    tab->hide();
    tab->show();
    EXPECT_EQ(tab->grab().toImage().pixelColor(3, 3), QColor(32, 150, 156));
    tab->CloseWindow();
    flush();
    EXPECT_EQ(TabWindow::Instance()->grab().toImage().pixelColor(3, 3), QColor(200, 0, 0));   // a new tab: the new colour
}
