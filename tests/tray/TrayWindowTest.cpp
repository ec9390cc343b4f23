#include "TrayFixture.h"
#include "calendar_window/calCanvas.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include <QSet>
#include <QImage>
#include <QToolButton>

namespace {
class MiniCalendar : public TrayFixture
{
protected:
    // The six week rows as texts, days joined by "|".
    static QStringList rows(const QVector<TrayWindow::DayCell>& cells)
    {
        QStringList result;
        for (int r = 0; r < 6; ++r) {
            QStringList days;
            for (int c = 0; c < 7; ++c)
                days << cells[r * 7 + c].text;
            result << days.join('|');
        }
        return result;
    }
    static int boldCount(const QVector<TrayWindow::DayCell>& cells)
    {
        int n = 0;
        for (const auto& cell : cells)
            n += cell.bold && !cell.text.isEmpty();
        return n;
    }
};
} // namespace

TEST_F(MiniCalendar, TheMonthGridStartsOnTheSundayOfTheFirstsWeek)
{
    struct Case { Date month; const char* first; const char* fifth; const char* sixth; };
    const Case cases[] = {
        // February 2026 starts on a Sunday and has 28 days: rows five and six stay empty.
        {Date(2026, 2, 14), " 1| 2| 3| 4| 5| 6| 7", "||||||", "||||||"},
        // August 2026 starts on a Saturday: its 1st is the last cell of the first row.
        {Date(2026, 8, 31), "|||||| 1", "23|24|25|26|27|28|29", "30|31|||||"},
        // May 2026 has 31 days and starts on a Friday: it needs the sixth row.
        {Date(2026, 5, 1), "||||| 1| 2", "24|25|26|27|28|29|30", "31||||||"},
        // A leap February.
        {Date(2024, 2, 29), "|||| 1| 2| 3", "25|26|27|28|29||", "||||||"},
    };
    for (const Case& c : cases) {
        const QStringList grid = rows(TrayWindow::MonthGrid(c.month, Date(2000, 1, 1)));
        EXPECT_EQ(grid[0], c.first) << c.month.SQLDate().toStdString();
        EXPECT_EQ(grid[4], c.fifth) << c.month.SQLDate().toStdString();
        EXPECT_EQ(grid[5], c.sixth) << c.month.SQLDate().toStdString();
    }
    EXPECT_EQ(TrayWindow::Heading(Date(2026, 12, 6)), "December 2026");
    EXPECT_EQ(TrayWindow::Heading(Date(2027, 1, 31)), "January 2027");
}

TEST_F(MiniCalendar, OnlyTodayIsBoldAndOnlyInItsOwnMonthAndYear)
{
    const Date today(2026, 3, 15, 18, 30, 0);
    const auto march = TrayWindow::MonthGrid(Date(2026, 3, 1), today);
    ASSERT_EQ(boldCount(march), 1);
    for (const auto& cell : march) {
        if (cell.bold) {
            EXPECT_EQ(cell.text, "15");
        }
    }
    EXPECT_EQ(boldCount(TrayWindow::MonthGrid(Date(2026, 4, 1), today)), 0);
    EXPECT_EQ(boldCount(TrayWindow::MonthGrid(Date(2025, 3, 1), today)), 0);
    EXPECT_EQ(boldCount(TrayWindow::MonthGrid(Date(2026, 2, 1), today)), 0);   // 15 Mar is not in February's grid
}

TEST_F(MiniCalendar, OpensAtTheBottomRightAtATenthOfTheCalendarAndRecordsItsState)
{
    CalendarWindow* calendar = open();
    EXPECT_FALSE(App().TrayWindowOpen);
    TrayWindow* window = TrayWindow::Instance();
    window->show();
    EXPECT_TRUE(App().TrayWindowOpen);
    const QSize expected(std::max(ToInt(calendar->width() / 10.0), 64), std::max(ToInt(calendar->height() / 10.0), 64));
    EXPECT_EQ(window->size(), expected);
    EXPECT_EQ(window->geometry().right(), area().right() - 6);
    EXPECT_EQ(window->geometry().bottom(), area().bottom() - 6);
    // A window manager that puts the frame where the window was asked to go (i3: a 2-pixel
    // border, a 20-pixel title bar) leaves the frame's last rows past the work area: the
    // window is moved back by them. A frame past the top-left edges is moved down and right.
    const QRect workArea(0, 32, 1280, 992);
    const QRect asked(TrayWindow::StartPosition(QSize(128, 99), workArea), QSize(128, 99));
    const QRect framed(asked.topLeft(), QSize(132, 121));
    EXPECT_EQ(TrayWindow::KeptOnWorkArea(asked.translated(2, 20), framed, workArea),
              asked.translated(2, 20 - (framed.bottom() - workArea.bottom())));
    EXPECT_EQ(TrayWindow::KeptOnWorkArea(QRect(-2, 20, 128, 99), QRect(-4, 0, 132, 121), workArea),
              QRect(2, 52, 128, 99));
    EXPECT_EQ(TrayWindow::KeptOnWorkArea(QRect(1150, 900, 128, 99), QRect(1160, 880, 132, 121), workArea),
              QRect(1138, 900, 128, 99));
    EXPECT_EQ(TrayWindow::KeptOnWorkArea(asked, asked.adjusted(-2, -20, 2, 2), workArea), asked);
    EXPECT_EQ(window->Calendar->geometry(), QRect(QPoint(0, 0), expected));     // follows the window
    EXPECT_EQ(window->NextMonth->geometry(), QRect(expected.width() - 18, -1, 18, 12));
    EXPECT_EQ(window->PreviousMonth->geometry(), QRect(0, -1, 18, 12));
    EXPECT_EQ(window->Calendar->DefaultRowHeight, ToInt(calendar->height() / 10.0 / 9.0));
    EXPECT_EQ(window->Calendar->ColumnsWidth, ToInt(calendar->width() / 10.0 / 7.0));
    EXPECT_EQ(window->trayDate.SQLDate(), Date().SQLDate());
    EXPECT_EQ(window->BackColor, CM::calendarBackgroundColor);
    EXPECT_EQ(window->Backdrop, nullptr);     // no branding background picture
    window->CloseWindow();
    flush();
    EXPECT_FALSE(App().TrayWindowOpen);
    EXPECT_EQ(TrayWindow::Existing(), nullptr);
}

TEST_F(MiniCalendar, TheButtonsStepByMonthsAcrossYearsWithoutSkippingAndRepaint)
{
    open();
    TrayWindow* window = TrayWindow::Instance();
    // The screen shows the month stepped to, as a fresh paint of the window draws it.
    window->show();
    const QImage june = Pixels::Shown(window);
    window->NextMonth->click();
    const QImage shown = Pixels::Shown(window);
    EXPECT_EQ(window->trayDate.Month(), 7);
    EXPECT_TRUE(shown != june) << "the screen still shows June";
    EXPECT_TRUE(shown == window->grab().toImage().convertToFormat(QImage::Format_RGB32));
    window->PreviousMonth->click();
    EXPECT_TRUE(Pixels::Shown(window) == june) << "the screen does not show June again";

    struct Case { Date start; int steps; int month; int year; };
    const Case cases[] = {
        {Date(2026, 1, 31), 1, 2, 2026},     // never 3 March
        {Date(2026, 1, 15), -1, 12, 2025},
        {Date(2026, 12, 31), 1, 1, 2027},
        {Date(2026, 3, 31), -1, 2, 2026},
        {Date(2026, 10, 31), 3, 1, 2027},
    };
    for (const Case& c : cases) {
        window->trayDate = c.start;
        for (int i = 0; i < std::abs(c.steps); ++i)
            (c.steps > 0 ? window->NextMonth : window->PreviousMonth)->click();
        EXPECT_EQ(window->trayDate.Month(), c.month) << c.start.SQLDate().toStdString();
        EXPECT_EQ(window->trayDate.Year(), c.year) << c.start.SQLDate().toStdString();
    }
}

TEST_F(MiniCalendar, ABrandingBackgroundMakesAPartlyClearBackdropBelowTheTopNinth)
{
    open();
    auto background = Picture::New(300, 200);
    background->Graphics().SetForeColor(QColor(0, 0, 200));
    background->Graphics().FillRect(0, 0, 300, 200);
    CM::backgroundImage = background;
    auto logo = Picture::New(50, 10);
    logo->Graphics().SetForeColor(QColor(200, 0, 0));
    logo->Graphics().FillRect(0, 0, 50, 10);
    CM::topLogoImage = logo;
    TrayWindow* window = TrayWindow::Instance();
    ASSERT_NE(window->Backdrop, nullptr);
    EXPECT_EQ(window->Backdrop->Width(), window->width());
    EXPECT_EQ(window->Backdrop->Height(), window->height());
    const QImage image = window->Backdrop->Composited();
    const int ninth = ToInt(window->height() / 9.0);
    const QColor top = QColor::fromRgba(image.pixel(5, 0));
    EXPECT_EQ(top.alpha(), 255);
    EXPECT_GT(top.red(), 150);                              // the logo, opaque
    const QColor below = QColor::fromRgba(image.pixel(5, ninth + 2));
    EXPECT_NEAR(below.alpha(), 255 - 140, 2);               // the background, partly clear
}

TEST_F(MiniCalendar, PaintsTheHeadingInItsBandAndTheDaysBelow)
{
    open();
    CM::monthNamesColor = QColor(255, 0, 0);
    CM::dayHeaderColor = QColor(0, 160, 0);
    CM::daysColor = QColor(0, 0, 255);
    CM::calendarBackgroundColor = QColor(255, 255, 255);
    TrayWindow* window = TrayWindow::Instance();
    window->show();
    const QImage image = window->grab().toImage();
    const int rowH = window->Calendar->DefaultRowHeight;
    // Rows of the image where each colour shows, as the band they lie in.
    auto bands = [&](auto isColour) {
        QSet<int> found;
        for (int y = 12; y < image.height(); ++y)       // below the step buttons
            for (int x = 20; x < image.width() - 20; ++x)
                if (isColour(image.pixelColor(x, y)))
                    found.insert(y / rowH);
        return found;
    };
    const auto red = bands([](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; });
    const auto green = bands([](QColor c) { return c.green() > 100 && c.red() < 100 && c.blue() < 100; });
    const auto blue = bands([](QColor c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; });
    EXPECT_TRUE(red.contains(1));
    for (int band : red)
        EXPECT_LE(band, 1);
    for (int band : green)
        EXPECT_TRUE(band == 2 || band == 3) << band;
    EXPECT_TRUE(blue.contains(3));
    EXPECT_TRUE(blue.contains(6));
    for (int band : blue)
        EXPECT_GE(band, 3);
}
