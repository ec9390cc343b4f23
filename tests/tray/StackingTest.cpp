// The small windows the user keeps open (mini calendar, help, about, preferences) stay above
// the calendar window when it is rebuilt or slid back in, and the tab above them all. A window
// that is shown (mapped) anew lands on top of the others, so each showing of the calendar
// window must be followed by raising them again. Offscreen windows have no real stacking;
// the order of the show and raise events is what the screen would follow.
#include "TrayFixture.h"
#include "framework/WorkArea.h"
#include <QApplication>
#include <QWindow>
#include <algorithm>

namespace {
using Stacking = TrayFixture;

// Records, in order, which framework window was shown or raised, and the calendar window's moves.
class StackRecorder : public QObject
{
public:
    StackRecorder() { qApp->installEventFilter(this); }
    ~StackRecorder() override { qApp->removeEventFilter(this); }
    struct Step { QPointer<QObject> window; QEvent::Type type; int calendarTop = 0; bool sliding = false; };
    QVector<Step> steps;

    // Whether, after the calendar window was last shown, raised, moved or made active, each
    // of windows was raised, and the tab after them all.
    bool smallWindowsAndTabOnTop(const QVector<QWidget*>& windows) const
    {
        int lastCalendar = -1;
        for (int i = 0; i < steps.size(); ++i)
            if (qobject_cast<CalendarWindow*>(steps[i].window))
                lastCalendar = i;
        if (lastCalendar < 0)
            return false;
        int lastSmall = -1;
        for (QWidget* w : windows) {
            int raised = -1;
            for (int i = lastCalendar + 1; i < steps.size(); ++i)
                if (steps[i].window == w && steps[i].type == QEvent::ZOrderChange)
                    raised = i;
            if (raised < 0)
                return false;
            lastSmall = std::max(lastSmall, raised);
        }
        for (int i = lastSmall + 1; i < steps.size(); ++i)
            if (qobject_cast<TabWindow*>(steps[i].window) && steps[i].type == QEvent::ZOrderChange)
                return true;
        return false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool topLevel = watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow();
        // The calendar window's moves count too: a window manager may restack its windows
        // when it comes to cover the whole screen.
        const auto* calendar = qobject_cast<CalendarWindow*>(watched);
        // So does its activation: a window manager may lift the active window that covers
        // the whole screen above the windows kept on top.
        const bool calendarMove = (event->type() == QEvent::Move || event->type() == QEvent::WindowActivate) && calendar;
        if (topLevel && (event->type() == QEvent::Show || event->type() == QEvent::ZOrderChange || calendarMove)) {
            steps.append({watched, event->type(), calendar ? calendar->Top() : 0, CalendarWindow::IsSliding()});
        }
        return false;
    }
};
} // namespace

TEST_F(Stacking, SmallWindowsStayAboveTheCalendarWhenItIsRebuiltOrSlidIn)
{
    open();
    TrayWindow* mini = TrayWindow::Instance();
    mini->show();
    HelpWindow* help = HelpWindow::Instance();
    help->show();
    AboutWindow* about = AboutWindow::Instance();
    about->show();
    {
        StackRecorder recorder;
        CalendarWindow* old = CalendarWindow::Instance();
        App().ReloadCalendar();
        EXPECT_TRUE(recorder.smallWindowsAndTabOnTop({mini, help, about})) << "after a rebuild";
        // The new window is first seen out of view, in its slide down, never at its place.
        const auto shown = std::find_if(recorder.steps.begin(), recorder.steps.end(), [old](const auto& step) {
            return step.type == QEvent::Show && qobject_cast<CalendarWindow*>(step.window) && step.window != old;
        });
        ASSERT_NE(shown, recorder.steps.end()) << "the new calendar window never showed";
        EXPECT_LT(shown->calendarTop, WorkArea::Rect().top()) << "its place when it first showed";
        EXPECT_TRUE(shown->sliding) << "it first showed before its slide";
    }
    // They and the tab belong to the new calendar window, which a window manager keeps them
    // above (also when it lifts the calendar window above the windows kept on top).
    for (QWidget* w : {static_cast<QWidget*>(mini), static_cast<QWidget*>(help), static_cast<QWidget*>(about),
                       static_cast<QWidget*>(TabWindow::Instance())}) {
        ASSERT_TRUE(w->windowHandle());
        EXPECT_EQ(w->windowHandle()->transientParent(), CalendarWindow::Instance()->windowHandle()) << w->windowTitle().toStdString();
    }
    ASSERT_TRUE(mini->isVisible() && help->isVisible());
    CalendarWindow* calendar = CalendarWindow::Instance();
    calendar->ScrollUp();
    ASSERT_TRUE(calendar->isHidden());
    {
        StackRecorder recorder;
        TabWindow* tab = TabWindow::Instance();
        tab->Event_MouseDown(5, 3);
        tab->Event_MouseUp(5, 3);       // a click on the tab slides the calendar back in
        ASSERT_FALSE(calendar->isHidden());
        EXPECT_TRUE(recorder.smallWindowsAndTabOnTop({mini, help, about})) << "after a slide";
    }
    {
        // Made active again (after a click elsewhere), the calendar window may be lifted
        // above the windows kept on top.
        help->activateWindow();
        flush();
        ASSERT_FALSE(calendar->isActiveWindow());
        StackRecorder recorder;
        calendar->activateWindow();
        flush();
        ASSERT_TRUE(calendar->isActiveWindow());
        EXPECT_TRUE(recorder.smallWindowsAndTabOnTop({mini, help, about})) << "after it was made active";
    }
    {
        // The application was in the background: the press brings the calendar forward.
        StackRecorder recorder;
        AnotherProgramHasTheKeyboard another(true);
        App().Deactivated = true;
        TabWindow* tab = TabWindow::Instance();
        tab->Event_MouseDown(5, 3);
        EXPECT_TRUE(recorder.smallWindowsAndTabOnTop({mini, help, about})) << "after bringing it forward";
        tab->Event_MouseUp(5, 3);
    }
}
