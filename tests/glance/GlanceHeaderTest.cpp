// The glance header: paging by week and month, the month and year pop-ups, the return
// arrow, the second month list's toggle and the arrow's hover.
#include "GlanceFixture.h"
#include "PixelProbe.h"
#include "framework/TextFunctions.h"
#include "framework/Canvas.h"
#include <QFile>

using namespace WidgetEvents;

namespace {
class GlanceHeader : public GlanceFixture
{
protected:
    static constexpr int Upper = 5;    // y in the upper band
    static constexpr int Lower = 50;   // y in the lower band
};
} // namespace

TEST_F(GlanceHeader, LowerButtonsPageByWeekAndMonthAndRefillTheWeek)
{
    struct Case { Date from; int column; const char* to; };
    const Case cases[] = {
        {Date(2027, 1, 3, 9, 30, 0), 8, "2026-12-27 09:30:00"},    // previous week across the year
        {Date(2025, 6, 18, 9, 30, 0), 9, "2025-06-25 09:30:00"},   // next week
        {Date(2025, 1, 31, 9, 30, 0), 12, "2025-03-03 09:30:00"},  // next month: 31 February carries
        {Date(2024, 1, 31, 9, 30, 0), 12, "2024-03-02 09:30:00"},  // ... in a leap year
        {Date(2025, 12, 15, 9, 30, 0), 12, "2026-01-15 09:30:00"}, // next month across the year
        {Date(2025, 1, 15, 9, 30, 0), 11, "2024-12-15 09:30:00"},  // previous month across the year
    };
    for (const Case& c : cases) {
        CalendarWindow* w = openWeek(c.from);
        Date target;
        ASSERT_TRUE(Date::ParseSQLDateTime(QString::fromLatin1(c.to), target));
        // An event in the week paged to shows in the refilled grid.
        const QString key = Date(target.Year(), target.Month(), target.Day(), 10, 0, 0).SQLDateTime();
        App().eventDict.SetValue(key, Date(target.Year(), target.Month(), target.Day(), 10, 30, 0).SQLDateTime() + "//X");
        EXPECT_TRUE(w->GlanceHeader_CellClick(0, c.column, 5, Lower));
        EXPECT_EQ(App().selectedDate.SQLDateTime(), QString::fromLatin1(c.to));
        EXPECT_EQ(w->GlanceList->CellTag(4, target.DayOfWeek()), key + "|4") << c.to;
        EXPECT_NE(w->MiniCalListAt(0)->ListIndex(), -1);   // the month list follows
        App().eventDict.Clear();
    }
}

TEST_F(GlanceHeader, ClicksOutsideTheControlsChangeNothingAndAreHandled)
{
    CalendarWindow* w = openWeek();
    const QString before = App().selectedDate.SQLDateTime();
    for (int column = 0; column <= 7; ++column)
        EXPECT_TRUE(w->GlanceHeader_CellClick(0, column, 5, Lower)) << column;
    for (int column : {1, 2, 3, 6, 7, 8, 9, 10, 11, 12})
        EXPECT_TRUE(w->GlanceHeader_CellClick(0, column, 5, Upper)) << column;
    EXPECT_EQ(App().selectedDate.SQLDateTime(), before);
    EXPECT_TRUE(popUpItems.isEmpty());
    EXPECT_TRUE(w->Calendar->isHidden());
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
}

TEST_F(GlanceHeader, TheMonthPopUpTakesTheMonthFromTheChosenItemsPlace)
{
    CalendarWindow* w = openWeek(Date(2025, 1, 31, 12, 0, 0));
    popUpAnswer = -1;   // dismissed
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 4, 100, Upper));
    EXPECT_EQ(popUpItems, QStringLiteral("January,February,March,April,May,June,July,August,September,October,"
                                         "November,December").split(','));
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-01-31");

    popUpAnswer = 1;    // February: the 31st carries into March
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 4, 100, Upper));
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-03-03");
    popUpAnswer = 11;
    w->GlanceHeader_CellClick(0, 4, 100, Upper);
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-12-03");
    EXPECT_EQ(w->MiniCalListAt(0)->Cell(2, 1), " 1");   // the list now shows December 2025
}

TEST_F(GlanceHeader, TheYearPopUpOffersTheThreeCalendarYears)
{
    CM::calendarStartYear = 2024;
    CalendarWindow* w = openWeek(Date(2024, 2, 29, 8, 0, 0));
    popUpAnswer = 1;
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 5, 10, Upper));
    EXPECT_EQ(popUpItems, QStringList({"2024", "2025", "2026"}));
    EXPECT_EQ(App().selectedDate.SQLDateTime(), "2025-03-01 08:00:00");   // no 29 February
    popUpAnswer = -1;
    w->GlanceHeader_CellClick(0, 5, 10, Upper);
    EXPECT_EQ(App().selectedDate.SQLDate(), "2025-03-01");
}

TEST_F(GlanceHeader, TheReturnArrowShowsTheYearViewAndWritesTheEventsFile)
{
    CalendarWindow* w = openWeek();
    App().eventDict.SetValue("2025-06-18 09:00:00", "2025-06-18 09:30:00//Dentist");
    const QString path = home.documentsFolder() + "/Calendar.tpc";
    EXPECT_FALSE(QFile::exists(path));
    // Anywhere in the upper band of column 0, not only on the arrow.
    EXPECT_TRUE(w->GlanceHeader_CellClick(0, 0, 55, Upper));
    EXPECT_TRUE(w->Calendar->isVisible());
    EXPECT_TRUE(w->GlanceList->isHidden());
    EXPECT_TRUE(w->GlanceHeader->isHidden());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("2025-06-18 09:00:00|2025-06-18 09:30:00//Dentist\n"));
}

TEST_F(GlanceHeader, TheDiamondShowsAndHidesTheSecondMonthListAndTheChoiceLasts)
{
    CalendarWindow* w = openWeek();
    QWidget* todoHeader = w->ToDoListHeader;
    const QRect header = todoHeader->geometry();
    const QRect todo = w->TodoList->geometry();
    const int h = w->MiniCalListAt(0)->height();
    EXPECT_EQ(header.top(), w->MiniCalListAt(0)->geometry().bottom() + 1);
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());

    w->GlanceHeader_CellClick(0, 10, 30, Lower);
    EXPECT_TRUE(w->MiniCalListAt(1)->isVisible());
    EXPECT_EQ(todoHeader->geometry(), header.translated(0, h));
    EXPECT_EQ(w->TodoList->geometry(), QRect(todo.left(), todo.top() + h, todo.width(), todo.height() - h));
    w->GlanceOff();
    w->GlanceOn();
    EXPECT_TRUE(w->MiniCalListAt(1)->isVisible());

    w->GlanceHeader_CellClick(0, 10, 30, Lower);
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
    EXPECT_EQ(todoHeader->geometry(), header);
    EXPECT_EQ(w->TodoList->geometry(), todo);
    w->GlanceOff();
    w->GlanceOn();
    EXPECT_TRUE(w->MiniCalListAt(1)->isHidden());
}

TEST_F(GlanceHeader, PaintsTheMonthTheYearTheWeekdaysAndTheButtonsOverItsTwoBands)
{
    PlainPictures pictures;
    CalendarWindow* w = openWeek(Date(2025, 6, 18, 12, 0, 0));
    calList* header = w->GlanceHeader;
    const int R = 60;
    ASSERT_EQ(header->RowHeight(), R);
    const QImage image = Pixels::Render(header, QColor(255, 0, 255));
    const QColor upper = PlainPictures::Colour(189), lower = PlainPictures::Colour(190);
    auto cell = [&](int column) { return header->CellRect(0, column); };
    // The upper picture along the top of every column, the lower one (22 high) 4 above the
    // row's bottom, the return arrow at (20, 8).
    for (int column = 0; column <= 12; ++column) {
        EXPECT_EQ(image.pixelColor(cell(column).left() + 1, 2), upper) << column;
        EXPECT_EQ(image.pixelColor(cell(column).left() + 1, R - 22 - 4), lower) << column;
        EXPECT_EQ(image.pixelColor(cell(column).left() + 1, R - 5), lower) << column;
        EXPECT_EQ(image.pixelColor(cell(column).left() + 1, R - 3), upper) << column;
    }
    EXPECT_EQ(image.pixelColor(cell(0).left() + 20, 8), PlainPictures::Colour(194));
    EXPECT_EQ(image.pixelColor(cell(0).left() + 39, 27), PlainPictures::Colour(194));

    // Month and year in bold 16 meet across the border of columns 4 and 5, baseline 23.
    const QFont big = Graphics::MakeFont("Arial", 16, true);
    const int w4 = cell(4).width();
    const int monthX = w4 - ToInt(QFontMetricsF(big).horizontalAdvance("June")) - 10;
    const QColor light(240, 240, 240);
    EXPECT_TRUE(Pixels::Near(Pixels::Ink(image, cell(4), light, upper),
                             Pixels::TextBox("June", big, monthX, 23).translated(cell(4).left(), 0)));
    EXPECT_TRUE(Pixels::Near(Pixels::Ink(image, cell(5), light, upper),
                             Pixels::TextBox("2025", big, 10, 23).translated(cell(5).left(), 0)));
    // The week's days, Sunday to Saturday, centred at 12 pixels on baseline R - 10.
    const QFont font = Graphics::MakeFont("Arial", 12);
    for (int column = 1; column <= 7; ++column) {
        const Date day(2025, 6, 14 + column);
        const QString text = NthField(day.LongDate(), " ", 1) + " " + Str(day.Day());
        const int x = ToInt(cell(column).width() / 2.0 - ToInt(QFontMetricsF(font).horizontalAdvance(text)) / 2.0);
        const QRect expected = Pixels::TextBox(text, font, x, R - 10).translated(cell(column).left(), 0);
        const QRect ink = Pixels::Ink(image, cell(column), QColor(254, 254, 254), lower);
        EXPECT_TRUE(Pixels::Near(ink, expected)) << text.toStdString() << ": " << ink << " expected " << expected;
    }
    // The buttons in grey: triangles left, right, up and down, and the diamond centred at
    // (W / 2, R - 13) with diagonals 8 long.
    const QColor grey(160, 160, 160);
    for (int column : {8, 9, 11, 12})
        EXPECT_GT(Pixels::Count(image, cell(column), grey), 10) << column;
    const QPoint diamond(cell(10).left() + cell(10).width() / 2, R - 13);
    EXPECT_EQ(image.pixelColor(diamond), grey);
    EXPECT_EQ(image.pixelColor(diamond + QPoint(2, 0)), grey);
    EXPECT_EQ(image.pixelColor(diamond + QPoint(0, -6)), lower);
    EXPECT_EQ(image.pixelColor(diamond + QPoint(3, 3)), lower);
    EXPECT_EQ(Pixels::Count(image, cell(10), grey), Pixels::Count(image, QRect(diamond - QPoint(5, 5), QSize(11, 11)), grey));
    // Triangles pointing the right way: more ink on the side they point from.
    auto half = [&](int column, bool leftHalf) {
        const QRect c = cell(column);
        return Pixels::Count(image, QRect(c.left() - 3, R - 22, c.width() / 2 + 3 + (leftHalf ? 0 : 10), 22)
                                        .translated(leftHalf ? 0 : c.width() / 2 + 3, 0), grey);
    };
    EXPECT_LT(half(8, true), half(8, false));     // points left: its wide end at the right
    EXPECT_GT(half(9, true), half(9, false));
}

TEST_F(GlanceHeader, TheArrowLightsUpWhileTheMouseIsOverIt)
{
    PlainPictures pictures;
    CalendarWindow* w = openWeek();
    calList* header = w->GlanceHeader;
    auto arrow = [&] { return Pixels::Render(header, QColor(255, 0, 255)).pixelColor(30, 18); };
    EXPECT_EQ(arrow(), PlainPictures::Colour(194));
    hover(header, {20, 10});
    EXPECT_TRUE(header->MouseEnteredColumn[0]);
    EXPECT_EQ(arrow(), PlainPictures::Colour(195));
    hover(header, {80, 10});   // another column
    EXPECT_FALSE(header->MouseEnteredColumn[0]);
    EXPECT_EQ(arrow(), PlainPictures::Colour(194));
    hover(header, {20, 10});
    w->GlanceHeader_MouseExit();
    EXPECT_FALSE(header->MouseEnteredColumn[0]);
    EXPECT_EQ(arrow(), PlainPictures::Colour(194));
}

TEST_F(GlanceHeader, TakesNoFocusAndNeverPaintsASelection)
{
    CalendarWindow* w = openWeek();
    w->show();
    w->activateWindow();
    // The week of a date is open: click a weekday heading, then press Down. Nothing selects.
    WidgetEvents::click(w->GlanceHeader, QPoint(w->GlanceHeader->CellRect(0, 3).center().x(), Lower));
    EXPECT_NE(QApplication::focusWidget(), w->GlanceHeader);
    for (QWidget* target : {QApplication::focusWidget(), static_cast<QWidget*>(w->GlanceHeader)})
        if (target)
            WidgetEvents::key(target, Qt::Key_Down);
    EXPECT_EQ(w->GlanceHeader->ListIndex(), -1);
    const QImage shot = w->GlanceHeader->grab().toImage();
    int selectionPixels = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == QColor(56, 117, 215) || shot.pixelColor(x, y) == QColor(212, 212, 212))
                ++selectionPixels;
    EXPECT_EQ(selectionPixels, 0);
}
