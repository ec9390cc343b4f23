#include "CalendarWindowFixture.h"
#include "PixelProbe.h"
#include "calendar_window/TextButton.h"
#include "framework/WidgetEvents.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/listboxButton.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"

namespace {
class Controls : public CalendarWindowFixture {};
} // namespace

TEST_F(Controls, TextButtonColoursFollowTheMouseAndAReleaseInsideActs)
{
    CM::menuColor = QColor(1, 2, 3);
    const QColor hover = TextButton::HoverColor, pressed = TextButton::PressedColor, rest(1, 2, 3);
    struct Step { char what; int x, y; QColor colour; bool in; int actions; };
    struct Case { const char* name; std::vector<Step> steps; };
    const Case cases[] = {
        {"click", {{'e', 0, 0, hover, true, 0}, {'d', 5, 5, pressed, true, 0}, {'u', 5, 5, hover, true, 1}}},
        {"drag out", {{'e', 0, 0, hover, true, 0}, {'d', 5, 5, pressed, true, 0}, {'g', -1, 5, rest, false, 0},
                      {'u', -1, 5, rest, false, 0}}},
        {"drag out and back", {{'e', 0, 0, hover, true, 0}, {'d', 5, 5, pressed, true, 0}, {'g', -1, 5, rest, false, 0},
                               {'g', 1, 1, pressed, true, 0}, {'u', 1, 1, hover, true, 1}}},
        {"out, then onto the edge", {{'e', 0, 0, hover, true, 0}, {'d', 5, 5, pressed, true, 0},
                                     {'g', -3, 5, rest, false, 0}, {'g', 0, 5, rest, false, 0}, {'u', 0, 5, rest, false, 0}}},
        {"inside to the right edge", {{'e', 0, 0, hover, true, 0}, {'d', 5, 5, pressed, true, 0},
                                      {'g', 37, 5, pressed, true, 0}, {'u', 37, 5, hover, true, 1}}},
        {"press without enter", {{'d', 5, 5, pressed, false, 0}, {'u', 5, 5, pressed, false, 0}}},
        {"exit", {{'e', 0, 0, hover, true, 0}, {'x', 0, 0, rest, false, 0}}},
    };
    for (const Case& c : cases) {
        TextButton button;
        button.resize(37, 25);
        int actions = 0;
        button.Action = [&] { ++actions; };
        for (const Step& s : c.steps) {
            switch (s.what) {
            case 'e': button.Event_MouseEnter(); break;
            case 'x': button.Event_MouseExit(); break;
            case 'd': EXPECT_TRUE(button.Event_MouseDown(s.x, s.y)); break;
            case 'g': button.Event_MouseDrag(s.x, s.y); break;
            case 'u': button.Event_MouseUp(s.x, s.y); break;
            }
            EXPECT_EQ(button.TextColor(), s.colour) << c.name << " " << s.what;
            EXPECT_EQ(button.MouseIn, s.in) << c.name << " " << s.what;
            EXPECT_EQ(actions, s.actions) << c.name << " " << s.what;
        }
    }
}

TEST_F(Controls, TextButtonActsOnARealClickInsideOnly)
{
    QWidget window;
    TextButton& button = *new TextButton(&window);
    button.resize(37, 25);
    int actions = 0;
    button.Action = [&] { ++actions; };
    WidgetEvents::press(&button, {5, 5});
    EXPECT_EQ(button.TextColor(), TextButton::PressedColor);
    WidgetEvents::release(&button, {5, 5});
    EXPECT_EQ(actions, 0);              // the pointer never entered: no action
    button.Event_MouseEnter();
    WidgetEvents::press(&button, {5, 5});
    WidgetEvents::drag(&button, {-4, 5});
    WidgetEvents::release(&button, {-4, 5});
    EXPECT_EQ(actions, 0);              // released outside
    WidgetEvents::press(&button, {5, 5});
    WidgetEvents::drag(&button, {6, 6});
    WidgetEvents::release(&button, {6, 6});
    EXPECT_EQ(actions, 1);
}

TEST_F(Controls, TextButtonOpensDetachedThenRaisesOpenOnce)
{
    QWidget window;
    QWidget* container = new QWidget(&window);
    auto* button = new TextButton(container);
    int opens = 0;
    QWidget* parentAtOpen = nullptr;
    button->Open = [&] { ++opens; parentAtOpen = button->parentWidget(); };
    button->Event_Open();
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(parentAtOpen, &window);
}

TEST_F(Controls, LinkRowFindsTheColumnUnderAPosition)
{
    listboxButton row;
    row.resize(400, 21);
    row.AddRow();
    row.SetColumnCount(3);
    row.SetColumnWidths("100,120,*");
    struct Case { int x; int column; QVector<int> states; };
    const Case cases[] = {
        {50, 0, {1, 0, 0}},     // inside the first column: hovered
        {100, 1, {0, 1, 0}},    // on its right edge: the next column
        {-7, 0, {1, 0, 0}},     // left of the row: column 0
        {300, 2, {0, 0, 0}},    // the filler column: found, never marked
        {5000, 2, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        row.cellState.fill(0);
        EXPECT_EQ(row.getColumn(c.x), c.column) << c.x;
        EXPECT_EQ(row.cellState.mid(0, 3), c.states) << c.x;
    }
    listboxButton single;
    single.SetColumnCount(1);
    EXPECT_EQ(single.getColumn(-5), 0);
    EXPECT_EQ(single.getColumn(500), 0);
    EXPECT_EQ(single.cellState, QVector<int>(10, 0));
    EXPECT_EQ(single.StateOf(12), 0);   // no state kept past ten columns
}

TEST_F(Controls, CountdownCountsWholeCalendarDays)
{
    const Date today(2025, 6, 10, 23, 59, 0);
    struct Case { Date day; const char* number; const char* label; };
    const Case cases[] = {
        {Date(2025, 6, 9), "1", "days since"},     // yesterday
        {Date(2025, 6, 8), "2", "days since"},
        {Date(2025, 6, 10), "0", "days until"},    // today
        {Date(2025, 6, 11), "1", "days until"},
        {Date(2025, 12, 25), "198", "days until"},
        {Date(2026, 1, 1), "205", "days until"},
    };
    for (const Case& c : cases) {
        const int days = cCanvas::DaysUntil(today, c.day);
        EXPECT_EQ(cCanvas::CountText(days), c.number) << c.day.SQLDate().toStdString();
        EXPECT_EQ(cCanvas::CountLabel(days), c.label) << c.day.SQLDate().toStdString();
    }
    struct Title { const char* title; const char* first; const char* second; };
    const Title titles[] = {
        {"Mom birthday party", "Mom", "birthday party"},
        {"Mom and Mom again", "Mom", "and Mom again"},      // everything after the first word
        {" leading blank", "", "leading blank"},
        {"Supercalifragilistic", "Supercalifragilistic", ""},
    };
    for (const Title& t : titles) {
        EXPECT_EQ(cCanvas::FirstLine(t.title), t.first);
        EXPECT_EQ(cCanvas::SecondLine(t.title), t.second);
    }
}

TEST_F(Controls, TheCountdownTileFallsBackToChristmasAtMidnight)
{
    cCanvas tile;
    tile.resize(118, 130);
    App().countdownDate = Date(2025, 3, 4, 15, 20, 0);
    // Hidden, the tile moves the date at once and renders only when it is shown.
    tile.updateCountdown();
    EXPECT_EQ(App().countdownDate.SQLDateTime(), "2025-12-25 00:00:00");
    EXPECT_FALSE(tile.cachedImage);
    tile.show();
    ASSERT_TRUE(tile.cachedImage);
    EXPECT_EQ(tile.cachedImage->Width(), 118);
    EXPECT_EQ(tile.cachedImage->Height(), 130);
    // With a countdown entry the date stays.
    App().countdownDate = Date(2025, 7, 4);
    App().eventDict.SetValue("2025-07-04 00:00:00", "2025-07-04 00:00:00//Picnic//Countdown");
    tile.updateCountdown();
    EXPECT_EQ(App().countdownDate.SQLDateTime(), "2025-07-04 00:00:00");
}

TEST_F(Controls, TheCountdownTileShowsTheCountItsLabelAndTheTitleCentredOnTheirBaselines)
{
    PlainPictures pictures;
    FixedClock clock(Date(2025, 6, 10, 15, 0, 0));
    const QColor face = PlainPictures::Colour(185);
    // Every text is centred 5 pixels left of the tile's middle: x = W / 2 - width / 2 - 5.
    auto place = [](const QString& text, const QFont& font, int baseline) {
        const int x = ToInt(118 / 2.0 - QFontMetricsF(font).horizontalAdvance(text) / 2 - 5);
        return Pixels::TextBox(text, font, x, baseline);
    };
    const QFont number = Graphics::MakeFont("Impact", 18), label = Graphics::MakeFont("Arial", 12);
    const QFont title = Graphics::MakeFont("Arial", 12, true), smaller = Graphics::MakeFont("Arial", 11, true);
    struct Case { Date day; const char* title; const char* count; const char* words; QRect titleBox; };
    const Case cases[] = {
        {Date(2025, 7, 4), "Picnic", "24", "days until", place("Picnic", title, 80)},
        {Date(2025, 6, 7), "Supercalifragilistic", "3", "days since", place("Supercalifragilistic", smaller, 80)},
        {Date(2025, 6, 10), "Mom birthday party", "0", "days until",
         place("Mom", title, 76).united(place("birthday party", title, 88))},
    };
    for (const Case& c : cases) {
        App().eventDict.Clear();
        App().countdownDate = c.day;
        App().eventDict.SetValue(c.day.SQLDateTime(), c.day.SQLDateTime() + "//" + c.title + "//Countdown");
        CalendarWindow* w = open();
        const QImage image = Pixels::Render(w->CountdownCanvas, QColor(255, 0, 255));
        EXPECT_EQ(image.pixelColor(2, 2), face) << c.title;
        const QRect count = Pixels::Ink(image, QRect(0, 0, 118, 48), QColor(50, 50, 50), face);
        EXPECT_TRUE(Pixels::Near(count, place(c.count, number, 44))) << c.title << ": " << count;
        const QRect words = Pixels::Ink(image, QRect(0, 48, 118, 17), QColor(120, 120, 120), face);
        EXPECT_TRUE(Pixels::Near(words, place(c.words, label, 60))) << c.title << ": " << words;
        const QRect named = Pixels::Ink(image, QRect(0, 65, 118, 65), QColor(40, 40, 40), face);
        EXPECT_TRUE(Pixels::Near(named, c.titleBox)) << c.title << ": " << named << " expected " << c.titleBox;
        w->CloseWindow();
        flush();
    }
}

TEST_F(Controls, TheBottomPictureScrollsOnePixelATickAndWrapsAfterItsWidth)
{
    cCanvas strip;
    strip.resize(50, 10);
    strip.ScrollHorizontal();                     // no picture: stays at 0
    EXPECT_EQ(strip.scrollLeft, 0);
    strip.cachedImage = Picture::New(4, 10);
    QVector<int> offsets;
    for (int tick = 0; tick < 6; ++tick) {
        strip.ScrollHorizontal();
        offsets << strip.scrollLeft;
    }
    EXPECT_EQ(offsets, QVector<int>({-1, -2, -3, -4, 0, -1}));
}
