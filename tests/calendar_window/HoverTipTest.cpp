#include "CalendarWindowFixture.h"
#include "PixelProbe.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"

namespace {
class HoverTip : public CalendarWindowFixture
{
protected:
    void SetUp() override
    {
        CalendarWindowFixture::SetUp();
        w = open();
        grid = w->Calendar;
        tip = w->tipCanvas;
    }

    // The cell of a day of the shown year (the first band), given its cell text.
    QPoint cell(const Date& day, const QString& text)
    {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(day, row, column);
        grid->SetCellTag(row, column, text);
        return QPoint(column, row);
    }
    // Moves the pointer into the left (or right) half of a cell.
    void moveTo(QPoint cell, bool leftHalf = true)
    {
        const int x = grid->MarginWidth + cell.x() * grid->ColumnsWidth + (leftHalf ? 1 : grid->ColumnsWidth * 3 / 4);
        const int y = grid->MarginHeight + (cell.y() - 1) * grid->DefaultRowHeight + 1;
        w->Calendar_MouseMove(x, y);
    }
    int cellLeft(QPoint cell) const { return grid->MarginWidth + cell.x() * grid->ColumnsWidth; }
    int tipTop(QPoint cell) const
    {
        return grid->y() + grid->MarginHeight + (cell.y() - 1) * grid->DefaultRowHeight - 16 + 6;
    }
    static int tipWidth(const QString& title)
    {
        const PicturePtr p = Picture::New(1, 1);
        p->Graphics().SetTextSize(9);
        return ToInt(p->Graphics().StringWidth(title) + 20);
    }
    bool shown() const { return !tip->isHidden(); }

    CalendarWindow* w = nullptr;
    calCanvas* grid = nullptr;
    cCanvas* tip = nullptr;
};
} // namespace

TEST_F(HoverTip, ShowsTheFirstTitleOfAnEventDayAboveItsNumber)
{
    const QPoint dentist = cell(Date(2025, 6, 10), "6/10/2025//Dentist//");
    const QPoint again = cell(Date(2025, 6, 11), "6/11/2025//DENTIST//");
    const QPoint lunch = cell(Date(2025, 6, 12), "6/12/2025//Lunch////Dinner//");
    const QPoint untitled = cell(Date(2025, 6, 13), "6/13/2025////");
    const QPoint plain = cell(Date(2025, 6, 14), "6/14/2025");

    moveTo(dentist, false);                       // right half: nothing
    EXPECT_FALSE(shown());
    moveTo(untitled);                             // an empty title shows no tip while none is shown
    EXPECT_FALSE(shown());

    moveTo(dentist);
    ASSERT_TRUE(shown());
    EXPECT_EQ(tip->currentText, "Dentist");
    EXPECT_EQ(tip->geometry(), QRect(cellLeft(dentist), tipTop(dentist), tipWidth("Dentist"), 16));
    ASSERT_TRUE(tip->Backdrop());
    EXPECT_EQ(tip->Backdrop()->Transparent(), 1);
    EXPECT_EQ(tip->Backdrop()->Width(), tip->width());
    const QRect first = tip->geometry();

    moveTo(plain, false);                         // a right half changes nothing, even without events
    moveTo(again);                                // the same title (letter case aside) stays where it is
    EXPECT_TRUE(shown());
    EXPECT_EQ(tip->geometry(), first);
    EXPECT_EQ(tip->currentText, "Dentist");

    moveTo(lunch);                                // the day's first event only
    EXPECT_EQ(tip->currentText, "Lunch");
    EXPECT_EQ(tip->geometry().topLeft(), QPoint(cellLeft(lunch), tipTop(lunch)));

    moveTo(untitled);                             // while shown: an empty tip 20 pixels wide
    EXPECT_TRUE(shown());
    EXPECT_EQ(tip->currentText, "");
    EXPECT_EQ(tip->width(), 20);

    moveTo(plain);
    EXPECT_FALSE(shown());
    EXPECT_EQ(tip->currentText, "");

    // Leaving the year view hides the tip; coming back onto the same day shows it again.
    moveTo(dentist);
    w->Calendar_MouseExit();
    EXPECT_FALSE(shown());
    moveTo(dentist);
    EXPECT_TRUE(shown());
}

TEST_F(HoverTip, OnlyCellsOfTheShownYearsGridReact)
{
    const QPoint dentist = cell(Date(2025, 6, 10), "6/10/2025//Dentist//");
    moveTo(dentist);
    ASSERT_TRUE(shown());
    const QRect before = tip->geometry();
    // Rows 0 and 1 of the band and column 0 never react, not even to hide the tip.
    grid->SetCellTag(5, 0, "x//y//");
    for (QPoint p : {QPoint(3, 0), QPoint(3, 1), QPoint(0, 5)})
        moveTo(p);
    EXPECT_TRUE(shown());
    EXPECT_EQ(tip->geometry(), before);
    // A selected date outside the three years has no band: nothing changes.
    App().selectedDate = Date(2031, 6, 15);
    moveTo(QPoint(3, 5));
    EXPECT_TRUE(shown());
    App().selectedDate = Date(2025, 6, 15);
    // The last column is always empty: it hides the tip.
    moveTo(QPoint(32, 5));
    EXPECT_FALSE(shown());
}

TEST_F(HoverTip, ATipThatWouldPassTheRightEdgeEndsJustRightOfTheCell)
{
    const QString title(120, QLatin1Char('W'));
    const QPoint last = cell(Date(2025, 12, 27), "12/27/2025//" + title + "//");
    const int width = tipWidth(title);
    ASSERT_LT(grid->width(), cellLeft(last) + width);
    moveTo(last);
    ASSERT_TRUE(shown());
    EXPECT_EQ(tip->x(), cellLeft(last) - width + 12);
    EXPECT_EQ(tip->width(), width);
}

TEST_F(HoverTip, ThePointerPassesThroughTheTipAndPagingOrAClickHidesIt)
{
    const QPoint dentist = cell(Date(2025, 6, 10), "6/10/2025//Dentist//");
    moveTo(dentist);
    ASSERT_TRUE(shown());
    // Over the tip the year view still has the pointer (so it does not see it leave).
    EXPECT_EQ(w->childAt(tip->geometry().center()), grid);

    w->PageNextYear();                            // the tip named a day of the year paged away
    EXPECT_FALSE(shown());
    w->PagePreviousYear();

    moveTo(dentist);
    ASSERT_TRUE(shown());
    const int x = cellLeft(dentist) + 1;
    const int y = grid->MarginHeight + (dentist.y() - 1) * grid->DefaultRowHeight + 1;
    w->Calendar_MouseDown(x, y);                  // opens the week at a glance
    EXPECT_TRUE(grid->isHidden());
    EXPECT_FALSE(shown());
}

TEST_F(HoverTip, TheTipIsANearWhiteRoundedBubbleWithTheTitleInDarkGrey)
{
    moveTo(cell(Date(2025, 6, 10), "6/10/2025//Dentist//"));
    ASSERT_TRUE(shown());
    const QColor under(255, 0, 255), body(254, 254, 254), edge(180, 180, 180);
    const QImage image = Pixels::Render(tip, under);
    const int w = tip->width(), h = 16;
    // The corners outside the rounded rectangle (corner ellipses 14 across) let what lies
    // behind show; its outline is light grey, its body one step off white.
    for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_EQ(image.pixelColor(corner), under) << corner.x() << "," << corner.y();
    for (QPoint side : {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, 0), QPoint(w / 2, h - 1)})
        EXPECT_EQ(image.pixelColor(side), edge) << side.x() << "," << side.y();
    EXPECT_EQ(image.pixelColor(3, h / 2), body);
    EXPECT_EQ(image.pixelColor(w - 4, h / 2), body);
    // The title in the default font at 9 pixels, 10 from the left, on baseline 12.
    const QRect expected = Pixels::TextBox("Dentist", Graphics::MakeFont("System", 9), 10, h - 4);
    const QRect ink = Pixels::Ink(image, image.rect(), QColor(60, 60, 60), body);
    EXPECT_TRUE(Pixels::Near(ink, expected)) << ink << " expected " << expected;
    // Thin strokes at 9 pixels cover no pixel whole; none is darker than the title's grey.
    const double strongest = Pixels::Strongest(image, expected, QColor(60, 60, 60), body);
    EXPECT_GT(strongest, 0.8);
    EXPECT_LT(strongest, 1.03);
}
