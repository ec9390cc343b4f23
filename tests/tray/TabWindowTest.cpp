#include "../calendar_window/CalendarWindowFixture.h"
#include "tray/TabWindow.h"

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
    for (const Case& c : {Case{0, area().left() + TabWindow::DefaultLeft(area().width())}, Case{300, 300}, Case{-20, -20}}) {
        App().tabLeft = c.stored;
        TabWindow* tab = TabWindow::Instance();
        EXPECT_EQ(tab->geometry(), QRect(c.left, area().top(), 32, 7)) << c.stored;
        tab->CloseWindow();
        flush();
    }
}

TEST_F(Tab, AClickSlidesTheCalendarOutAndBackIn)
{
    CalendarWindow* calendar = open();
    TabWindow* tab = TabWindow::Instance();
    clickTab(tab);
    EXPECT_LT(calendar->y(), 0);
    EXPECT_TRUE(calendar->isHidden());
    App().Deactivated = true;              // slid up: a click slides it down in any case
    clickTab(tab);
    EXPECT_EQ(calendar->y(), area().top());
    EXPECT_FALSE(calendar->isHidden());
    EXPECT_FALSE(App().Deactivated);
}

TEST_F(Tab, AClickWhileInTheBackgroundBringsTheCalendarForward)
{
    CalendarWindow* calendar = open();
    TabWindow* tab = TabWindow::Instance();
    App().Deactivated = true;
    tab->Event_MouseDown(5, 3);
    App().Deactivated = false;             // the press activated the application
    tab->Event_MouseUp(5, 3);
    EXPECT_EQ(calendar->y(), area().top());
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
    EXPECT_EQ(calendar->y(), area().top());     // nothing slid
    EXPECT_FALSE(calendar->isHidden());
}
