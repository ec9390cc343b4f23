#include "TestSupport.h"
#include "calendar_window/CalendarWindow.h"
#include "shell/CustomizationModule.h"
#include "shell/Menu.h"
#include "shell/app.h"
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Menu, HoldsTheItemsInOrderWithPortableShortcuts)
{
    Menu* menu = Menu::Instance();
    ASSERT_EQ(menu->Root().Count(), 3);
    EXPECT_EQ(menu->Root().Item(0)->Text, "File");
    EXPECT_EQ(menu->Root().Item(1)->Text, "Edit");
    EXPECT_EQ(menu->Root().Item(2)->Text, "Help");
    EXPECT_EQ(menu->Root().Item(0)->Count(), 5);
    EXPECT_EQ(menu->Root().Item(1)->Count(), 11);
    EXPECT_EQ(menu->Root().Item(2)->Count(), 4);
    EXPECT_EQ(Menu::FileClose()->PortableShortcut(), "Ctrl+W");
    EXPECT_EQ(menu->Child("FileQuit")->ItemKind, MenuItem::Kind::Quit);
    EXPECT_EQ(menu->Child("ApplePreferences")->ItemKind, MenuItem::Kind::Prefs);
}

TEST(Menu, EnablingFollowsTheApplicationState)
{
    App()._ApplicationAddMenuHandlers();
    CustomizationModule::vendorURL = "https://www.example.com/lumora";
    App().RunEnableMenuItems();
    EXPECT_EQ(Menu::HelpGotoURL()->Text, "Goto https://www.example.com/lumora");
    EXPECT_TRUE(Menu::HelpQuickStartHelp()->Enabled);
    EXPECT_FALSE(Menu::Instance()->Child("EditCopy")->Enabled);
    EXPECT_TRUE(Menu::Instance()->Child("FileQuit")->Enabled);
    CustomizationModule::vendorURL.clear();
    App().RunEnableMenuItems();
    EXPECT_EQ(Menu::HelpGotoURL()->Text, "Goto ");
    // Without a calendar window, enabling creates none.
    EXPECT_FALSE(App().CalendarWindowOpen());
}

namespace {
class FrontWindow : public Window
{
public:
    int handled = 0;
    bool answer = false;
    FrontWindow()
    {
        AddMenuHandler("HelpHelp", [this] { ++handled; return answer; });
    }
};
} // namespace

TEST(Menu, FrontWindowHandlesFirstThenTheApplication)
{
    int appHandled = 0;
    App().AddMenuHandler("HelpHelp", [&] { ++appHandled; return false; });
    auto* window = new FrontWindow();
    window->show();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), window);
    App().DispatchMenuItem("HelpHelp");
    EXPECT_EQ(window->handled, 1);
    EXPECT_EQ(appHandled, 1);          // the window returned false
    window->answer = true;
    App().DispatchMenuItem("HelpHelp");
    EXPECT_EQ(window->handled, 2);
    EXPECT_EQ(appHandled, 1);          // the window handled it

    // Chosen in a window's own menu bar, the item goes to that window while another one
    // is active: a click on a menu bar activates nothing.
    QMenuBar* bar = Menu::Instance()->CreateWidget(window);
    auto* other = new FrontWindow();
    other->show();
    QApplication::setActiveWindow(other);
    QCoreApplication::processEvents();
    QMenu* help = bar->findChild<QMenu*>("HelpMenu");
    ASSERT_NE(help, nullptr);
    emit help->aboutToShow();
    QAction* item = help->findChild<QAction*>("HelpHelp");
    ASSERT_NE(item, nullptr);
    item->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->handled, 3);
    EXPECT_EQ(other->handled, 0);
    other->CloseWindow();

    // A closed window handles nothing, even while it is still the active one.
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
    window->CloseWindow();
    App().DispatchMenuItem("HelpHelp");
    EXPECT_EQ(window->handled, 3);
    EXPECT_EQ(appHandled, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    App()._ApplicationAddMenuHandlers();
}

TEST(UnhandledException, OneDialogAtATimeEvenForARepeatingTimer)
{
    int dialogs = 0, depth = 0, deepest = 0;
    QStringList seen;
    auto previous = MessageBox::SetInterceptor([&](const MessageBox::Dialog& d) {
        ++dialogs;
        deepest = std::max(deepest, ++depth);
        seen << d.message << d.explanation << d.actionCaption << d.alternateCaption << d.cancelCaption;
        // A modal dialog runs a nested loop: other timers keep firing meanwhile.
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        --depth;
        return MessageBox::Button::Cancel;
    });
    QTimer first, second;
    int ticks = 0;
    for (QTimer* timer : {&first, &second}) {
        QObject::connect(timer, &QTimer::timeout, [&] {
            ++ticks;
            throw std::runtime_error("tick");
        });
        timer->start(10);
    }
    QEventLoop outer;
    QTimer::singleShot(150, &outer, &QEventLoop::quit);
    outer.exec();
    first.stop();
    second.stop();
    MessageBox::SetInterceptor(previous);
    EXPECT_GT(ticks, dialogs);   // ticks during a dialog showed no dialog of their own
    EXPECT_EQ(deepest, 1);
    ASSERT_GE(seen.size(), 5);
    EXPECT_EQ(seen[0], "An Unexpected Error Occurred");
    EXPECT_EQ(seen[1], "Lumora Calendar encountered an error that it could not handle and must quit.  "
                       "Please report this error and how it occurred.");
    EXPECT_EQ(seen[2], "Quit");
    EXPECT_EQ(seen[3], "Feedback");
    EXPECT_EQ(seen[4], "");   // no cancel button
}
