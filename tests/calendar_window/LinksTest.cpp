#include "framework/ShowURL.h"
#include "CalendarWindowFixture.h"
#include "UrlRecorder.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "calendar_window/listboxButton.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include <QCursor>
#include <QMouseEvent>

namespace {
class Links : public CalendarWindowFixture {};

// A left-button click (press and release) at p in w's coordinates.
void click(QWidget* w, QPoint p = QPoint(2, 2))
{
    const QPointF local(p), global(w->mapToGlobal(p));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}
} // namespace

TEST_F(Links, OnlyWebAndMailAddressesAreEverOpened)
{
    UrlRecorder urls;
    struct Case { const char* address; bool opens; };
    const Case cases[] = {
        {"https://www.example.com/lumora", true},
        {"  http://www.example.com/a?b=c  ", true},
        {"HTTPS://WWW.EXAMPLE.COM/", true},
        {"mailto:feedback@example.com", true},
        {"", false},
        {"   ", false},
        {"https://", false},             // no host
        {"http:relative/path", false},
        {"mailto:", false},              // nobody to write to
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"ftp://example.com/file", false},
        {"www.example.com", false},      // no scheme
        // Mail links fill in the subject and the body, nothing else.
        {"mailto:a@example.com?subject=Hi", true},
        {"mailto:a@example.com?SUBJECT=Hi&body=Two%20words", true},
        {"mailto:a@example.com?body=a%26attach%3D%2Fetc%2Fpasswd", true},   // a text, not a field
        {"mailto:a@example.com?attach=/etc/passwd", false},
        {"mailto:a@example.com?subject=Hi&attach=file:///home/u/.ssh/id_rsa", false},
        {"mailto:a@example.com?subject=Hi&cc=b@example.com", false},
        {"mailto:a@example.com?Attachment=x", false},
        {"mailto:a@example.com?subject=Hi&", false},
        {"mailto:a@example.com%3Fattach=/etc/passwd", false},   // a query hidden in the address
    };
    QStringList expected;
    for (const Case& c : cases) {
        EXPECT_EQ(IsOpenableURL(c.address), c.opens) << c.address;
        EXPECT_EQ(ShowURL(c.address), c.opens) << c.address;
        if (c.opens)
            expected << QUrl(QString::fromLatin1(c.address).trimmed()).toString();
    }
    EXPECT_EQ(urls.opened, expected);
}

TEST_F(Links, FloatingAreaCoordinatesMapOntoTheWholeWorkArea)
{
    struct Case { const char* text; QSize picture, work; bool placed; QRect area; };
    const Case cases[] = {
        {"816,137,194,14", {1024, 740}, {1440, 878}, true, {1147, 162, 272, 16}},
        {" 816 , 137 ,194, 14 ", {1024, 740}, {1440, 878}, true, {1147, 162, 272, 16}},
        {"5,6,7,8", {800, 600}, {800, 600}, true, {5, 6, 7, 8}},           // picture at its own size
        {"10.9,10.9,10.9,10.9", {100, 100}, {200, 200}, true, {20, 20, 20, 20}},   // fraction dropped first
        {"-10,0,30,10", {100, 100}, {100, 100}, true, {0, 0, 20, 10}},     // the part on the work area
        {"90,95,30,10", {100, 100}, {100, 100}, true, {90, 95, 10, 5}},
        {"100,0,30,10", {100, 100}, {100, 100}, false, {}},                // wholly beside it
        {"999999,999999,999999,9", {1, 1}, {1280, 1024}, false, {}},     // beyond any int: no area
        {"-999999,0,999999,1", {1, 1}, {1280, 1024}, false, {}},
        {"0,0,0,0", {1024, 740}, {1440, 878}, false, {}},                  // no size
        {"10,10,1,1", {1000, 1000}, {100, 100}, false, {}},               // shrinks to nothing
        {"", {1024, 740}, {1440, 878}, false, {}},
        {"1,2,3", {1024, 740}, {1440, 878}, false, {}},
        {"1,2,3,4,5", {1024, 740}, {1440, 878}, false, {}},
        {"ten,2,30,40", {1024, 740}, {1440, 878}, false, {}},
        {"1,2,30px,40", {1024, 740}, {1440, 878}, false, {}},
        {"1,2,inf,40", {1024, 740}, {1440, 878}, false, {}},
        {"1,2,30,40", {0, 740}, {1440, 878}, false, {}},                   // no picture: no scale
        {"1,2,30,40", {1024, 0}, {1440, 878}, false, {}},
    };
    for (const Case& c : cases) {
        QRect area;
        EXPECT_EQ(floatingLinkCanvas::Placement(c.text, c.picture, c.work, area), c.placed) << c.text;
        if (c.placed) {
            EXPECT_EQ(area, c.area) << c.text;
        }
    }
}

TEST_F(Links, FloatingAreasExistOnlyWhereTheyCanOpenTheirLink)
{
    UrlRecorder urls;
    CM::backgroundImage = Picture::New(1024, 740);
    const struct { const char* coordinates; const char* link; bool shown; } areas[6] = {
        {}, 
        {"816,137,194,14", "https://www.example.com/one", true},
        {"0,0,0,0", "https://www.example.com/two", false},
        {"10,10,50,20", "", false},
        {"10,40,50,20", "file:///etc/passwd", false},
        {"ten,10,50,20", "https://www.example.com/five", false},
    };
    for (int i = 1; i <= 5; ++i) {
        CM::floatingLinkCoordinates[i] = areas[i].coordinates;
        CM::floatingLink[i] = areas[i].link;
    }
    CalendarWindow* w = open();
    EXPECT_EQ(w->floatingLinkCanvasAt(0), nullptr);
    QRect expected;
    ASSERT_TRUE(floatingLinkCanvas::Placement(areas[1].coordinates, QSize(1024, 740), area().size(), expected));
    EXPECT_EQ(w->floatingLinkCanvasAt(1)->geometry(), expected);
    EXPECT_EQ(w->floatingLinkCanvasAt(1)->HelpTag(), "Goto https://www.example.com/one");
    auto shownAreas = [w] {
        QVector<bool> shown;
        for (int i = 1; i <= 5; ++i)
            shown << !w->floatingLinkCanvasAt(i)->isHidden();
        return shown;
    };
    EXPECT_EQ(shownAreas(), QVector<bool>({true, false, false, false, false}));
    for (int i = 2; i <= 5; ++i)
        EXPECT_TRUE(w->floatingLinkCanvasAt(i)->HelpTag().isEmpty()) << i;
    // The week at a glance hides them; coming back shows only the real ones.
    w->GlanceOn();
    EXPECT_EQ(shownAreas(), QVector<bool>(5, false));
    w->GlanceOff();
    EXPECT_EQ(shownAreas(), QVector<bool>({true, false, false, false, false}));

    click(w->floatingLinkCanvasAt(1));
    EXPECT_EQ(urls.opened, QStringList({"https://www.example.com/one"}));
    // A click that reached a hidden area's handler still opens nothing unsafe.
    EXPECT_TRUE(w->floatingLinkCanvas_MouseDown(4, 1, 1));
    EXPECT_EQ(urls.opened.size(), 1);
}

TEST_F(Links, WithoutABackgroundPictureThereAreNoFloatingAreas)
{
    CM::floatingLinkCoordinates[1] = "816,137,194,14";
    CM::floatingLink[1] = "https://www.example.com/one";
    CalendarWindow* w = open();
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(w->floatingLinkCanvasAt(i)->isHidden()) << i;
}

TEST_F(Links, TheLinkRowOpensTheLinkUnderTheReleaseAndRefusesUnsafeOnes)
{
    UrlRecorder urls;
    CM::includeLinkButtons = true;
    CM::calendarURLlinks = {{"One", "https://www.example.com/one"},
                            {"Two", "https://www.example.com/two"},
                            {"Three", "javascript:alert(1)"}};
    CalendarWindow* w = open();
    listboxButton* row = w->wwwLinksList;
    ASSERT_FALSE(row->isHidden());
    ASSERT_EQ(row->ColumnCount(), 4);
    EXPECT_EQ(row->height(), ToInt(214 * 0.11023622));
    // The handlers read the pointer's place in the window.
    auto pointAt = [&](int column) {
        int x = 5;
        for (int i = 0; i < column; ++i)
            x += row->ColumnWidthActual(i);
        QCursor::setPos(row->mapToGlobal(QPoint(x, 5)));
    };
    pointAt(0);
    EXPECT_TRUE(w->wwwLinksList_MouseDown(0, 0));
    EXPECT_EQ(row->StateOf(0), 2);
    w->wwwLinksList_MouseUp(0, 0);
    EXPECT_EQ(row->StateOf(0), 0);
    EXPECT_EQ(urls.opened, QStringList({"https://www.example.com/one"}));

    // Pressed on one link, released over the next: the next one opens.
    w->wwwLinksList_MouseDown(0, 0);
    pointAt(1);
    w->wwwLinksList_MouseUp(0, 0);
    EXPECT_EQ(urls.opened.last(), "https://www.example.com/two");

    // An unsafe link and the filler column open nothing.
    for (int column : {2, 3}) {
        pointAt(column);
        w->wwwLinksList_MouseDown(0, 0);
        w->wwwLinksList_MouseUp(0, 0);
    }
    EXPECT_EQ(urls.opened.size(), 2);
}
