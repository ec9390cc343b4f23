// A rebuild of the calendar window (the day change into a new season) closes the window and
// every dialog it owns: it waits until no dialog is open, so that what is typed there is kept.
#include "GlanceFixture.h"
#include "framework/Application.h"
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>

namespace {
class RebuildWaits : public GlanceFixture
{
protected:
    static void spin(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The clock sees a day of another season than the one before: the rebuild is asked for.
    static void newSeasonArrives(CalendarWindow* w)
    {
        const Date now;
        App().currentDate = Date(now.Year(), now.Month() - 6, 1, 12, 0, 0);
        ASSERT_NE(App().getSeason(App().currentDate), App().getSeason(now));
        w->TimeTimer_Action();
    }
    void TearDown() override
    {
        // The rebuild asked for is dropped, not run against the test's missing branding.
        App().Closing = true;
        spin(Application::DialogRecheckMs + 100);
        App().Closing = false;
        GlanceFixture::TearDown();
    }
};
} // namespace

TEST_F(RebuildWaits, TheEventDialogKeepsWhatIsTypedThroughANewSeason)
{
    CalendarWindow* w = openWeek();
    QPointer<CalendarWindow> window(w);
    bool stayedOpen = false;
    clickCell(w, 2, 4, [&](GlanceInputWindow* d) {
        d->EventField->setText("Dentist");
        newSeasonArrives(w);
        spin(2 * Application::DialogRecheckMs);
        stayedOpen = window && !window->IsClosed() && !d->IsClosed();
        App().Closing = true;   // the test stops here what would follow: re-reading the branding
        d->SaveButton->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(App().eventDict.Lookup("2025-06-18 09:00:00"), "2025-06-18 09:30:00//Dentist");
}
