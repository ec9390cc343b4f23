// The year view's painting, checked pixel by pixel: every place and size below is worked out
// from the drawing rules (the canvas's margins, column width and row height, the text sizes
// and fonts), and the painted image is asked what stands there.
#include "CalendarWindowFixture.h"
#include "PixelProbe.h"
#include "calendar_window/calCanvas.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"

namespace {
const QColor Backdrop(255, 0, 255);   // the canvas draws no background: this shows through
const QColor Days(0, 0, 0), Letters(0, 0, 200), Names(0, 128, 0), Year(0, 150, 150);
const QColor Red(255, 0, 0), MarkGrey(200, 200, 200);

class YearViewPaint : public CalendarWindowFixture
{
protected:
    void SetUp() override
    {
        CalendarWindowFixture::SetUp();
        CM::daysColor = Days;
        CM::dayHeaderColor = Letters;
        CM::monthNamesColor = Names;
        CM::yearColor = Year;
    }

    // Opens the window and checks the canvas's geometry against its rules: the whole width,
    // the calendar band's height, a margin of 8.8 % of the width, 31 columns in what the
    // margins leave, 27 rows and a text size of 1.38 % of the work area's height.
    calCanvas* openCanvas()
    {
        w = open();
        c = w->Calendar;
        const int availW = area().width(), availH = area().height();
        width = availW;
        height = ToInt(availH * 0.62);
        margin = ToInt(width * 0.088);
        cw = ToInt((width - 6 * margin) / 31.0);
        rh = ToInt(height / 27.0);
        textSize = ToInt(availH * 0.0138);
        EXPECT_EQ(c->size(), QSize(width, height));
        EXPECT_EQ(c->MarginWidth, margin);
        EXPECT_EQ(c->MarginHeight, 0);
        EXPECT_EQ(c->ColumnsWidth, cw);
        EXPECT_EQ(c->DefaultRowHeight, rh);
        EXPECT_EQ(c->TextSize, textSize);
        return c;
    }

    // The text position of a day's cell in the shown year: x at its column's left edge,
    // the baseline at the bottom of its row.
    QPoint textAt(const Date& day) const
    {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(day, row, column);
        return {margin + column * cw, (row % 27) * rh};
    }
    void setCell(const Date& day, const QString& text)
    {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(day, row, column);
        c->SetCellTag(row, column, text);
    }
    // Empties the cells either side of day, so that its number stands alone.
    void isolate(const Date& day)
    {
        setCell(Date(day.Year(), day.Month(), day.Day() - 1), "");
        setCell(Date(day.Year(), day.Month(), day.Day() + 1), "");
    }
    QFont dayFont() const { return Graphics::MakeFont("Arial", textSize); }
    // The area a day's number may use: its row (from below the numbers of the week above),
    // its cell and the emptied cells either side.
    QRect dayArea(const Date& day) const
    {
        const QPoint at = textAt(day);
        return QRect(at.x() - cw, at.y() - rh + 1, 3 * cw, rh + 5);
    }

    CalendarWindow* w = nullptr;
    calCanvas* c = nullptr;
    int width = 0, height = 0, margin = 0, cw = 0, rh = 0, textSize = 0;
};
} // namespace

TEST_F(YearViewPaint, DayNumbersStandOnTheirRowsBaselineAndEventDaysAreUnderlined)
{
    calCanvas* canvas = openCanvas();
    const Date plain(2025, 6, 18), single(2025, 6, 4), busy(2025, 6, 25), note(2025, 7, 16);
    for (const Date& d : {plain, single, busy, note})
        isolate(d);
    setCell(busy, "6/25/2025//Dentist//");
    setCell(note, "7/16/2025//Pay rent////Lunch//Countdown");
    const QImage image = Pixels::Render(canvas, Backdrop);

    struct Case { Date day; const char* text; bool underlined; };
    for (const Case& k : {Case{plain, "18", false}, Case{single, " 4", false}, Case{busy, "25", true},
                          Case{note, "16", true}}) {
        const QPoint at = textAt(k.day);
        QFont font = dayFont();
        font.setUnderline(k.underlined);
        const QRect expected = Pixels::TextBox(k.text, font, at.x(), at.y());
        const QRect ink = Pixels::Ink(image, dayArea(k.day), Days, Backdrop);
        EXPECT_TRUE(Pixels::Near(ink, expected)) << k.text << ": " << ink << " expected " << expected;
    }
    // Nothing else of the view is drawn in the days' colour left of the first column.
    EXPECT_EQ(Pixels::Ink(image, QRect(0, 0, margin + cw, height), Days, Backdrop), QRect());
}

TEST_F(YearViewPaint, ASpecialDayHasTheCheckeredMarkBehindItsNumberAndNoUnderline)
{
    calCanvas* canvas = openCanvas();
    // Days whose left neighbour is a day too, so that the mark's height is measured in the
    // days' own font.
    const Date fair(2025, 6, 18), sale(2025, 7, 9);
    setCell(fair, "6/18/2025//Birthday////Fair//Special");
    setCell(sale, "7/9/2025//special sale//");     // the word in a title counts too, in any case
    setCell(Date(2025, 6, 19), "");
    setCell(Date(2025, 7, 10), "");
    const QImage image = Pixels::Render(canvas, Backdrop);
    for (const Date& day : {fair, sale}) {
        const QPoint at = textAt(day);
        const int px = at.x() + ToInt(cw / 2.0 - 7);
        const int py = at.y() - QFontMetrics(dayFont()).height() + 2;
        // The checkerboard's top and bottom rows of 3-pixel squares (clear of the digits),
        // filled at 0, 6 and 12 and empty at 3 and 9; the frame one pixel outside.
        for (int k : {0, 4}) {
            for (int i = 0; i < 5; ++i) {
                const QColor expected = i % 2 == 0 ? MarkGrey : Backdrop;
                EXPECT_EQ(image.pixelColor(px + 3 * i + 1, py + 3 * k + 1), expected) << day.SQLDate().toStdString()
                                                                                     << " row " << k << " square " << i;
            }
        }
        for (int x = px - 1; x < px + 16; ++x)
            EXPECT_EQ(image.pixelColor(x, py - 1), MarkGrey) << "top frame at " << x;
        for (int y = py - 1; y < py + 16; ++y)
            EXPECT_EQ(image.pixelColor(px - 1, y), MarkGrey) << "left frame at " << y;
        EXPECT_EQ(image.pixelColor(px + 1, py + 3 + 1), Backdrop);   // the second row starts clear
        // The number stands on the mark, with nothing below its baseline.
        const QRect ink = Pixels::Ink(image, QRect(at.x(), at.y() - rh, cw, rh + 4), Days, Backdrop);
        EXPECT_FALSE(ink.isEmpty());
        EXPECT_LE(ink.bottom(), at.y()) << day.SQLDate().toStdString();
    }
}

TEST_F(YearViewPaint, TodayIsCircledInRedOnlyInItsOwnYear)
{
    const Date today(2025, 6, 11, 8, 0, 0);
    App().currentDate = today;
    calCanvas* canvas = openCanvas();
    isolate(today);
    const QImage image = Pixels::Render(canvas, Backdrop);
    const QPoint at = textAt(today);
    // A circle one row across, its top at the top of the number's line, a pixel left of it.
    const int x0 = at.x() - 1, y0 = at.y() - QFontMetrics(dayFont()).height();
    const QRect circle(x0, y0, rh, rh);
    EXPECT_EQ(image.pixelColor(x0, y0 + rh / 2), Red);                 // left
    EXPECT_EQ(image.pixelColor(x0 + rh - 1, y0 + rh / 2), Red);        // right
    EXPECT_EQ(image.pixelColor(x0 + rh / 2, y0), Red);                 // top
    EXPECT_EQ(image.pixelColor(x0 + rh / 2, y0 + rh - 1), Red);        // bottom
    EXPECT_EQ(image.pixelColor(x0, y0), Backdrop);                     // a corner of its box
    EXPECT_EQ(Pixels::Count(image, image.rect(), Red), Pixels::Count(image, circle, Red));
    EXPECT_TRUE(Pixels::Near(Pixels::Ink(image, circle.adjusted(1, 1, -1, -1), Days, Backdrop),
                             Pixels::TextBox("11", dayFont(), at.x(), at.y())));

    App().selectedDate = Date(2026, 6, 15);
    EXPECT_EQ(Pixels::Count(Pixels::Render(canvas, Backdrop), image.rect(), Red), 0);
}

TEST_F(YearViewPaint, MonthNamesTakeTheirStyleAndASizeThatFollowsTheScreensHeight)
{
    // September's name stands alone in its row (the other three emptied); 31 August, the
    // last day painted before it, has an event, and its underline does not carry over.
    struct Case { const char* name; int screenHeight; bool upper, abbreviated, bold, left; const char* text; int plus; };
    const Case cases[] = {
        {"plain, 960 high", 960, false, false, false, false, "September", 2},
        {"plain, 961 high", 961, false, false, false, false, "September", 3},
        {"capitals", 961, true, false, false, false, "SEPTEMBER", 3},
        {"abbreviated", 960, false, true, false, false, "Sep", 2},
        {"both", 960, true, true, false, false, "SEP", 2},
        {"bold", 961, false, false, true, false, "September", 3},
        {"left", 960, false, false, false, true, "September", 2},
    };
    for (const Case& k : cases) {
        ScreenSize screen(800, k.screenHeight);
        CM::monthNamesUppercase = k.upper;
        CM::monthNamesAbbreviated = k.abbreviated;
        CM::monthNamesBold = k.bold;
        CM::monthNamesLeftJ = k.left;
        calCanvas* canvas = openCanvas();
        for (int column : {9, 17, 25})
            canvas->SetCellTag(19, column, "");
        canvas->SetCellTag(20, 5, "");          // the letter after the "W" checked below
        setCell(Date(2025, 8, 31), "8/31/2025//Party//");
        const QImage image = Pixels::Render(canvas, Backdrop);

        const QFont font = Graphics::MakeFont("Arial", textSize + k.plus, k.bold);
        const int x = margin + cw, y = 19 * rh;
        int left = x;
        if (!k.left) {
            const QFontMetricsF metrics(font);
            const int w = ToInt(metrics.horizontalAdvance(k.text));
            left = ToInt((x + 2) + (7.0 * cw) / 2 - w / 2.0 - metrics.horizontalAdvance("W") / 2);
        }
        const QRect expected = Pixels::TextBox(k.text, font, left, y);
        const QRect ink = Pixels::Ink(image, QRect(0, y - 2 * rh, width, 3 * rh), Names, Backdrop);
        EXPECT_TRUE(Pixels::Near(ink, expected)) << k.name << ": " << ink << " expected " << expected;

        // The weekday letters below it: bold, in the canvas's font and size, 2 pixels in.
        const QRect letter = Pixels::Ink(image, QRect(margin + 4 * cw, y, 2 * cw, rh + 2), Letters, Backdrop);
        EXPECT_TRUE(Pixels::Near(letter, Pixels::TextBox("W", Graphics::MakeFont("Arial", textSize, true),
                                                         margin + 4 * cw + 2, y + rh)))
            << k.name << ": " << letter;
        w->CloseWindow();
        flush();
    }
}

TEST_F(YearViewPaint, TheYearStandsAsFourDigitsLeftOfTheMonthsOrAsItsPicture)
{
    App().selectedDate = Date(2026, 3, 3);
    calCanvas* canvas = openCanvas();
    const QImage image = Pixels::Render(canvas, Backdrop);
    const QFont font = Graphics::MakeFont("Tahoma", 64);
    const QFontMetricsF metrics(font);
    const int dw = ToInt(metrics.horizontalAdvance("0"));
    const int dh = QFontMetrics(font).height();
    const int dx = ToInt((margin + cw) / 2.0 - dw / 2.0);
    const int dy = ToInt(height / 2.0 - 4.0 * dh / 2);
    for (int i = 1; i <= 4; ++i) {
        const QString digit = QString("2026").mid(i - 1, 1);
        const QRect ink = Pixels::Ink(image, QRect(0, dy + (i - 1) * dh + 1, margin + cw, dh), Year, Backdrop);
        EXPECT_TRUE(Pixels::Near(ink, Pixels::TextBox(digit, font, dx, dy + i * dh))) << i << ": " << ink;
    }
    w->CloseWindow();
    flush();

    // With hideYear the picture of the shown year (2026 is picture 1 from 2025) stands at
    // the branding's place (no background picture: no scaling), at its own size, and no
    // digits are drawn.
    auto solid = [](QColor colour) {
        PicturePtr p = Picture::New(20, 30, 32);
        p->Graphics().SetForeColor(colour);
        p->Graphics().FillRect(0, 0, 20, 30);
        return p;
    };
    CM::hideYear = true;
    CM::yearImageStartYear = 2025;
    CM::yearImage[0] = solid(QColor(10, 10, 250));
    CM::yearImage[1] = solid(QColor(250, 120, 10));
    CM::yearImage_x = 7;
    CM::yearImage_y = 40;
    calCanvas* pictured = openCanvas();
    const QImage withPicture = Pixels::Render(pictured, Backdrop);
    EXPECT_EQ(Pixels::Count(withPicture, withPicture.rect(), QColor(250, 120, 10)), 20 * 30);
    EXPECT_EQ(Pixels::Count(withPicture, QRect(7, 40, 20, 30), QColor(250, 120, 10)), 20 * 30);
    EXPECT_EQ(Pixels::Count(withPicture, withPicture.rect(), QColor(10, 10, 250)), 0);
    EXPECT_EQ(Pixels::Ink(withPicture, withPicture.rect(), Year, Backdrop), QRect());

    // A year without a picture (2032 would be picture 7): no year, the days still drawn.
    CM::yearImageStartYear = 2019;
    const QImage without = Pixels::Render(pictured, Backdrop);
    EXPECT_EQ(Pixels::Count(without, without.rect(), QColor(250, 120, 10)), 0);
    EXPECT_FALSE(Pixels::Ink(without, without.rect(), Days, Backdrop).isEmpty());
}
