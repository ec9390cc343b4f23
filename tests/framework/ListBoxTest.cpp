#include "WidgetEvents.h"
#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPixmap>
#include <QSet>
#include <gtest/gtest.h>

using namespace WidgetEvents;

namespace {

QVector<int> edges(const char* expressions, int columns, int total)
{
    return ListBox::ColumnEdges(QString(expressions).split(','), columns, total);
}

// A week-grid-like list: 8 columns "60,*,...", 856 x 397, rows 14 pixels high.
void setUpGrid(ListBox& list, int rows)
{
    list.resize(856, 397);
    list.SetColumnCount(8);
    list.SetColumnWidths("60,*,*,*,*,*,*,*");
    list.SetDefaultRowHeight(14);
    for (int r = 0; r < rows; ++r)
        list.AddRow();
}

} // namespace

TEST(ListBox, ColumnWidthExpressions)
{
    struct Case { const char* expressions; int columns, total; QVector<int> expected; };
    const Case cases[] = {
        {"60,*,*,*,*,*,*,*", 8, 856, {0, 60, 173, 287, 401, 514, 628, 742, 856}},
        {"20,*,20", 3, 168, {0, 20, 148, 168}},
        {"25%,*", 2, 200, {0, 50, 200}},
        {"*,2*", 2, 90, {0, 30, 90}},
        {"100,100", 2, 150, {0, 100, 200}},       // fixed widths are not shrunk
        {"100,*", 2, 80, {0, 100, 100}},          // no room left for the share
        {"", 3, 100, {0, 33, 66, 100}},           // missing expressions are "*"
        {"40", 3, 100, {0, 40, 70, 100}},
        {"abc,*", 2, 100, {0, 50, 100}},          // unreadable counts as "*"
        {" 25 , * ", 2, 100, {0, 25, 100}},
        {"-5,*", 2, 100, {0, 0, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListBox::ColumnEdges(QString(c.expressions).split(','), c.columns, c.total), c.expected)
            << c.expressions << " over " << c.total;

    // Fractional pixel widths (the glance header's day columns) line up with "*" columns
    // of a list of the same width.
    const QString day = QString::number((1024.0 - 60 - 168) / 7, 'g', 15);
    QStringList header{"60"};
    for (int i = 0; i < 7; ++i)
        header << day;
    EXPECT_EQ(ListBox::ColumnEdges(header, 8, 856), edges("60,*,*,*,*,*,*,*", 8, 856));
}

TEST(ListBox, ColumnWidthsFollowTheControl)
{
    ListBox list;
    list.resize(168, 100);
    list.SetColumnWidths("20,*,20");   // before the column count, as a layout may do
    list.SetColumnCount(3);
    EXPECT_EQ(list.ColumnWidths(), "20,*,20");
    EXPECT_EQ(list.ColumnWidthActual(1), 128);
    EXPECT_EQ(list.ColumnLeft(2), 148);
    list.resize(200, 100);
    EXPECT_EQ(list.ColumnWidthActual(1), 160);
    list.SetScrollBarVertical(true);   // the bar takes its width from the columns
    EXPECT_LT(list.ColumnWidthActual(1), 160);
    EXPECT_EQ(list.ColumnWidthActual(2), 20);
    list.SetColumnWidthActual(1, 50);
    EXPECT_EQ(list.ColumnWidthExpression(1), "50");
    EXPECT_THROW(list.ColumnWidthActual(3), OutOfBoundsException);
}

TEST(ListBox, CellsTagsAndRows)
{
    ListBox list;
    list.SetColumnCount(3);
    int changes = 0;
    list.Change = [&] { ++changes; };
    EXPECT_EQ(list.AddRow({"a0", "a1"}), 0);
    EXPECT_EQ(list.AddRow("b0"), 1);
    list.AddRow();
    EXPECT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.LastIndex(), 2);
    EXPECT_EQ(list.Cell(0, 1), "a1");
    EXPECT_EQ(list.Cell(0, 2), "");
    EXPECT_EQ(list.CellTag(1, 1), "");        // never tagged
    list.SetCellTag(1, 1, "2007-01-02 08:00:00|4");
    list.SetRowTag(2, "row two");
    list.SetCell(2, 0, "c0");

    list.SetListIndex(1);
    EXPECT_EQ(changes, 1);
    list.InsertRow(0, {"new"});               // rows, tags and the selection move down
    EXPECT_EQ(list.LastIndex(), 0);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(list.CellTag(2, 1), "2007-01-02 08:00:00|4");
    EXPECT_EQ(list.RowTag(3), "row two");
    EXPECT_TRUE(list.Selected(2));
    EXPECT_FALSE(list.Selected(1));
    EXPECT_EQ(changes, 1);                    // the same row stays selected

    list.RemoveRow(0);                        // a row above the selection
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(list.Cell(1, 0), "b0");
    list.RemoveRow(1);                        // the selected row
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list.Cell(1, 0), "c0");
    EXPECT_EQ(list.CellTag(1, 1), "");

    list.SetColumnCount(5);                   // cells kept, new ones empty
    EXPECT_EQ(list.Cell(0, 1), "a1");
    EXPECT_EQ(list.Cell(1, 4), "");
    list.SetColumnCount(2);
    EXPECT_THROW(list.Cell(0, 2), OutOfBoundsException);

    // Out of bounds.
    EXPECT_THROW(list.Cell(-1, 0), OutOfBoundsException);
    EXPECT_THROW(list.Cell(2, 0), OutOfBoundsException);
    EXPECT_THROW(list.SetCellTag(0, -1, "x"), OutOfBoundsException);
    EXPECT_THROW(list.RemoveRow(2), OutOfBoundsException);
    EXPECT_THROW(list.InsertRow(3), OutOfBoundsException);
    EXPECT_THROW(list.SetListIndex(2), OutOfBoundsException);
    list.InsertRow(2, {"end"});               // inserting at ListCount appends
    EXPECT_EQ(list.Cell(2, 0), "end");

    list.SetListIndex(0);
    list.DeleteAllRows();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.LastIndex(), -1);
    EXPECT_EQ(changes, 4);
}

TEST(ListBox, InvalidateCellChecksItsBounds)
{
    ListBox list;
    setUpGrid(list, 28);
    EXPECT_NO_THROW(list.InvalidateCell(-1, -1));
    EXPECT_NO_THROW(list.InvalidateCell(27, 7));
    EXPECT_NO_THROW(list.InvalidateCell(0, -1));
    EXPECT_THROW(list.InvalidateCell(28, 1), OutOfBoundsException);
    EXPECT_THROW(list.InvalidateCell(-2, 1), OutOfBoundsException);
    EXPECT_THROW(list.InvalidateCell(3, 8), OutOfBoundsException);
}

TEST(ListBox, ClicksMapToRowsAndColumns)
{
    ListBox list;
    setUpGrid(list, 28);
    struct Case { QPoint at; int row, column, x, y; };
    const Case cases[] = {
        {{0, 0}, 0, 0, 0, 0},
        {{59, 13}, 0, 0, 59, 13},
        {{60, 14}, 1, 1, 0, 0},
        {{200, 3 * 14 + 5}, 3, 2, 200 - 173, 5},
        {{855, 27 * 14 + 13}, 27, 7, 855 - 742, 13},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.RowFromXY(c.at.x(), c.at.y()), c.row);
        EXPECT_EQ(list.ColumnFromXY(c.at.x(), c.at.y()), c.column);
        int row = -9, column = -9, x = -9, y = -9;
        list.CellClick = [&](int r, int col, int cx, int cy) {
            row = r, column = col, x = cx, y = cy;
            return true;
        };
        click(&list, c.at);
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(column, c.column);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(list.ListIndex(), -1);   // a handled click selects nothing
    }
    // Below the last row and outside the control there is no row.
    EXPECT_EQ(list.RowFromXY(10, 28 * 14), -1);
    EXPECT_EQ(list.RowFromXY(-1, 5), -1);
    EXPECT_EQ(list.ColumnFromXY(856, 5), -1);

    // Scrolled: the first row shown is ScrollPosition.
    ListBox tall;
    setUpGrid(tall, 40);
    tall.SetScrollPosition(5);
    EXPECT_EQ(tall.RowFromXY(70, 0), 5);
    tall.SetScrollPosition(100);           // clamped to the last full page
    EXPECT_EQ(tall.ScrollPosition(), 40 - 397 / 14);
}

TEST(ListBox, MouseDownTakesThePress)
{
    ListBox list;
    setUpGrid(list, 5);
    QStringList log;
    list.MouseDown = [&](int x, int y) {
        log << QString("down %1,%2").arg(x).arg(y);
        return y < 14;   // takes presses on row 0 only
    };
    list.MouseDrag = [&](int x, int y) { log << QString("drag %1,%2").arg(x).arg(y); };
    list.MouseUp = [&](int x, int y) { log << QString("up %1,%2").arg(x).arg(y); };
    list.CellClick = [&](int r, int c, int, int) {
        log << QString("cell %1,%2").arg(r).arg(c);
        return false;
    };
    press(&list, {10, 5});
    drag(&list, {12, 6});
    release(&list, {12, 7});
    EXPECT_EQ(log, QStringList({"down 10,5", "drag 12,6", "up 12,7"}));
    EXPECT_EQ(list.ListIndex(), -1);

    log.clear();
    click(&list, {70, 30});
    EXPECT_EQ(log, QStringList({"down 70,30", "cell 2,1"}));
    EXPECT_EQ(list.ListIndex(), 2);           // the standard handling selected the row
    click(&list, {70, 200});                  // below the last row: selection cleared
    EXPECT_EQ(list.ListIndex(), -1);
}

TEST(ListBox, CheckBoxCells)
{
    ListBox list;
    list.resize(168, 100);
    list.SetColumnCount(3);
    list.SetColumnWidths("20,*,20");
    list.SetDefaultRowHeight(19);
    list.SetColumnType(0, ListBox::TypeCheckBox);
    list.AddRow({"", "first"});
    list.AddRow({"", "second"});
    QStringList actions;
    list.CellAction = [&](int r, int c) { actions << QString("%1,%2:%3").arg(r).arg(c).arg(list.CellCheck(r, c)); };

    EXPECT_EQ(list.EffectiveCellType(1, 0), ListBox::TypeCheckBox);
    EXPECT_EQ(list.EffectiveCellType(1, 1), ListBox::TypeDefault);
    click(&list, {5, 25});                    // row 1's box
    EXPECT_TRUE(list.CellCheck(1, 0));
    EXPECT_FALSE(list.CellCheck(0, 0));
    EXPECT_EQ(list.ListIndex(), 1);
    click(&list, {5, 25});
    EXPECT_FALSE(list.CellCheck(1, 0));
    click(&list, {60, 5});                    // a text cell: no toggle, no action
    EXPECT_EQ(actions, QStringList({"1,0:1", "1,0:0"}));

    // A cell of its own type overrides the column's.
    list.SetCellType(0, 0, ListBox::TypeNormal);
    click(&list, {5, 5});
    EXPECT_FALSE(list.CellCheck(0, 0));
    list.SetCellType(0, 2, ListBox::TypeCheckBox);
    click(&list, {160, 5});
    EXPECT_TRUE(list.CellCheck(0, 2));
    list.SetCellCheck(0, 2, false);           // set from code: no action
    EXPECT_EQ(actions.size(), 3);

    // A click handler that removes its row is not followed by the standard handling.
    list.SetListIndex(0);
    list.CellClick = [&](int r, int c, int, int) {
        if (c == 2) {
            list.RemoveRow(r);
            list.SetListIndex(-1);
        }
        return false;
    };
    click(&list, {160, 5});
    EXPECT_EQ(list.ListCount(), 1);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.Cell(0, 1), "second");
}

TEST(ListBox, PaintHooksCoverEveryVisibleCell)
{
    ListBox list;
    list.resize(100, 50);
    list.SetColumnCount(2);
    list.SetColumnWidths("40,*");
    list.SetDefaultRowHeight(12);     // 50 / 12: 5 row places, the last one partly shown
    list.AddRow({"a", "b"});
    list.AddRow({"c", "d"});
    list.SetListIndex(1);
    QSet<QPair<int, int>> background, text;
    QVector<QSize> sizes;
    list.CellBackgroundPaint = [&](Graphics& g, int r, int c) {
        background.insert({r, c});
        sizes << QSize(g.Width(), g.Height());
        g.SetForeColor(QColor(0, 200, 0));
        g.FillRect(0, 0, 3, 3);       // origin at the cell's corner
        return r == 1 && c == 1;      // no selection highlight in cell (1, 1)
    };
    list.CellTextPaint = [&](Graphics&, int r, int c, int x, int y) {
        text.insert({r, c});
        EXPECT_GE(x, 0);
        EXPECT_GT(y, 0);
        EXPECT_LT(y, 12);
        return false;
    };
    const QImage shot = list.grab().toImage();
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_TRUE(background.contains({r, c})) << r << "," << c;
    EXPECT_FALSE(background.contains({5, 0}));
    EXPECT_EQ(text, (QSet<QPair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_TRUE(sizes.contains(QSize(40, 12)));
    EXPECT_TRUE(sizes.contains(QSize(60, 12)));
    EXPECT_EQ(QColor(shot.pixel(41, 37)), QColor(0, 200, 0));        // cell (3, 1) corner
    EXPECT_NE(QColor(shot.pixel(20, 20)), QColor(255, 255, 255));    // highlighted (1, 0)
    EXPECT_EQ(QColor(shot.pixel(90, 22)), QColor(255, 255, 255));    // (1, 1): hook said handled
    EXPECT_EQ(QColor(shot.pixel(90, 45)), QColor(255, 255, 255));    // empty place below the rows
}

TEST(ListBox, CellBordersAndCellStateSurviveRepaint)
{
    ListBox list;
    list.resize(70, 40);
    list.SetColumnCount(7);
    list.SetDefaultRowHeight(16);
    list.AddRow();
    list.AddRow({"S", "M"});
    list.SetCellAlignment(1, 0, ListBox::AlignCenter);
    list.SetCellBorderBottom(1, 0, ListBox::BorderThinSolid);
    EXPECT_EQ(list.CellAlignment(1, 0), ListBox::AlignCenter);
    EXPECT_EQ(list.CellBorderBottom(1, 0), ListBox::BorderThinSolid);
    const QImage shot = list.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(3, 31)), QColor(0, 0, 0));           // the border under (1, 0)
    EXPECT_EQ(QColor(shot.pixel(13, 31)), QColor(255, 255, 255));    // none under (1, 1)
}

// A typed emoji shows as the colour emoji where that font is installed, also where another
// installed font has a black-and-white letter for it (DejaVu Sans has the cup and the smiley,
// Noto Sans Symbols2 the thumb), and the text before it is drawn as without it.
TEST(ListBox, TypedEmojiShowInColour)
{
    if (!QFontDatabase::hasFamily(QStringLiteral("Noto Color Emoji")))
        GTEST_SKIP() << "no colour emoji font installed";
    const QStringList texts = {QStringLiteral("Buy milk"), QStringLiteral("Coffee"), QStringLiteral("Call Mum"),
                               QStringLiteral("Well done"), QStringLiteral("Smile")};
    const QStringList emoji = {QStringLiteral(u"\U0001F95B"), QStringLiteral(u"\u2615"),
                               QStringLiteral(u"\u2764\uFE0F"), QStringLiteral(u"\U0001F44D"),
                               QStringLiteral(u"\U0001F600")};
    // The to-do list's rows: bold Arial at 10 pixels, 19 pixels high.
    auto shot = [&](bool withEmoji) {
        ListBox list;
        list.resize(168, 19 * texts.size());
        list.SetColumnCount(1);
        list.SetDefaultRowHeight(19);
        list.SetTextFont(QStringLiteral("Arial"));
        list.SetTextSize(10);
        list.SetBold(true);
        for (qsizetype i = 0; i < texts.size(); ++i)
            list.AddRow({withEmoji ? texts[i] + QLatin1Char(' ') + emoji[i] : texts[i]});
        return list.grab().toImage();
    };
    const QImage typed = shot(true), plain = shot(false);
    const QFontMetricsF metrics(Graphics::MakeFont(QStringLiteral("Arial"), 10, true));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const int top = int(19 * i);
        const int emojiLeft = 2 + int(metrics.horizontalAdvance(texts[i] + QLatin1Char(' ')));
        int coloured = 0, changedBefore = 0;
        for (int y = top; y < top + 19; ++y) {
            for (int x = 0; x < typed.width(); ++x) {
                const QColor c = typed.pixelColor(x, y);
                if (x >= emojiLeft && std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 40)
                    ++coloured;
                if (x < emojiLeft - 1 && c != plain.pixelColor(x, y))
                    ++changedBefore;
            }
        }
        EXPECT_GE(coloured, 5) << texts[i].toStdString() << ": the emoji is not drawn in colour";
        EXPECT_EQ(changedBefore, 0) << texts[i].toStdString() << ": the text before the emoji changed";
    }
}

TEST(ListBox, InPlaceEditing)
{
    ListBox list;
    list.resize(168, 100);
    list.SetColumnCount(3);
    list.SetColumnWidths("20,*,20");
    list.SetDefaultRowHeight(19);
    list.AddRow({"", "milk"});
    QStringList actions;
    list.CellAction = [&](int r, int c) { actions << QString("%1,%2=%3").arg(r).arg(c).arg(list.Cell(r, c)); };

    list.EditCell(0, 1);
    ASSERT_NE(list.ActiveCell(), nullptr);
    EXPECT_EQ(list.ActiveCell()->text(), "milk");
    list.ActiveCell()->setText("bread");
    key(list.ActiveCell(), Qt::Key_Return, "\r");
    EXPECT_EQ(list.ActiveCell(), nullptr);
    EXPECT_EQ(list.Cell(0, 1), "bread");

    list.EditCell(0, 1);
    list.ActiveCell()->setText("cheese");
    key(list.ActiveCell(), Qt::Key_Escape);
    EXPECT_EQ(list.Cell(0, 1), "bread");
    EXPECT_EQ(actions, QStringList({"0,1=bread", "0,1=bread"}));

    // An editable cell opens on a click.
    list.SetCellType(0, 1, ListBox::TypeEditable);
    click(&list, {60, 5});
    ASSERT_NE(list.ActiveCell(), nullptr);
    EXPECT_EQ(list.EditRow(), 0);
    list.EndEdit();
    list.SetCellType(0, 1, ListBox::TypeDefault);

    // Opening another cell ends the edit first; that edit's action may remove its row
    // (an emptied item), and the cell asked for is still the one opened.
    actions.clear();
    list.CellAction = [&](int r, int c) {
        actions << QString("%1,%2").arg(r).arg(c);
        if (c == 1 && list.Cell(r, 1).isEmpty())
            list.RemoveRow(r);
    };
    list.AddRow();                            // row 1, empty
    list.EditCell(1, 1);
    list.AddRow({"", "next"});                // row 2
    list.EditCell(2, 1);                      // ends row 1's edit, which removes row 1
    EXPECT_EQ(actions, QStringList({"1,1"}));
    EXPECT_EQ(list.ListCount(), 2);
    ASSERT_NE(list.ActiveCell(), nullptr);
    EXPECT_EQ(list.EditRow(), 1);
    EXPECT_EQ(list.ActiveCell()->text(), "next");

    // Removing the edited row ends its edit without an action.
    list.RemoveRow(1);
    EXPECT_EQ(list.ActiveCell(), nullptr);
    EXPECT_EQ(actions.size(), 1);
}

TEST(ListBox, DragReordersRows)
{
    ListBox list;
    list.resize(168, 200);
    list.SetDefaultRowHeight(20);
    for (const char* t : {"a", "b", "c", "d"})
        list.AddRow(t);
    list.SetEnableDragReorder(true);
    QVector<int> moves;
    bool handleItself = false;
    list.DragReorderRows = [&](int newPosition, int parent) {
        EXPECT_EQ(parent, -1);
        moves << newPosition;
        return handleItself;
    };
    auto dragRow = [&](int fromY, int toY) {
        press(&list, {50, fromY});
        drag(&list, {50, fromY + 6});
        drag(&list, {50, toY});
        release(&list, {50, toY});
    };
    dragRow(10, 60);      // "a" dropped between "c" and "d"
    auto texts = [&] {
        QStringList t;
        for (int r = 0; r < list.ListCount(); ++r)
            t << list.Cell(r, 0);
        return t.join("");
    };
    EXPECT_EQ(texts(), "bcad");
    EXPECT_EQ(list.ListIndex(), 2);           // the selection moved with the row
    dragRow(70, 0);       // "d" to the top
    EXPECT_EQ(texts(), "dbca");
    EXPECT_EQ(moves, QVector<int>({2, 0}));
    handleItself = true;
    dragRow(10, 80);
    EXPECT_EQ(texts(), "dbca");               // the handler took care of it
    // A press without a move moves nothing.
    press(&list, {50, 30});
    release(&list, {50, 30});
    EXPECT_EQ(moves.size(), 3);
    list.SetEnableDragReorder(false);
    dragRow(10, 80);
    EXPECT_EQ(moves.size(), 3);
}

TEST(ListBox, WheelAndKeys)
{
    ListBox list;
    setUpGrid(list, 60);
    wheel(&list, {10, 10}, {0, -120});        // one notch towards the user
    EXPECT_EQ(list.ScrollPosition(), 3);
    int dx = 9, dy = 9;
    list.MouseWheel = [&](int, int, int x, int y) {
        dx = x, dy = y;
        return true;
    };
    wheel(&list, {10, 10}, {0, 60});          // half a notch: nothing yet
    EXPECT_EQ(dy, 9);
    wheel(&list, {10, 10}, {0, 60});
    EXPECT_EQ(dy, -1);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(list.ScrollPosition(), 3);      // handled: no scrolling

    list.KeyDown = [](QKeyEvent* e) { return e->key() == Qt::Key_Down; };
    list.SetListIndex(0);
    key(&list, Qt::Key_Down);
    EXPECT_EQ(list.ListIndex(), 0);           // swallowed by the handler
    key(&list, Qt::Key_Up);
    EXPECT_EQ(list.ListIndex(), 0);
    list.KeyDown = nullptr;
    key(&list, Qt::Key_Down);
    EXPECT_EQ(list.ListIndex(), 1);
}
