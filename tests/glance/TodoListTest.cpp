// The to-do list: its rows read from "Calendar.tpc", items added from the header and below
// the rows, edited in place, ticked, deleted and dragged, and the lines saved back.
#include "GlanceFixture.h"
#include "framework/Canvas.h"
#include "framework/TextFunctions.h"
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>

using namespace WidgetEvents;

namespace {
class TodoList : public GlanceFixture
{
protected:
    void writeEventsFile(const QByteArray& bytes)
    {
        QDir().mkpath(home.documentsFolder());
        QFile file(home.documentsFolder() + "/Calendar.tpc");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    using Lines = std::vector<std::string>;
    // The to-do lines of the events file (those before the line "Events Data:").
    Lines savedLines()
    {
        QFile file(home.documentsFolder() + "/Calendar.tpc");
        if (!file.open(QIODevice::ReadOnly))
            return {"<no file>"};
        Lines lines;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line == "Events Data:")
                return lines;
            lines.push_back(line.toStdString());
        }
        return {"<no separator>"};
    }
    // The rows as "1 text" / "0 text".
    static Lines rows(ListBox* list)
    {
        Lines result;
        for (int row = 0; row < list->ListCount(); ++row)
            result.push_back(((list->CellCheck(row, 0) ? "1 " : "0 ") + list->Cell(row, 1)).toStdString());
        return result;
    }
    static void typeText(QWidget* editor, const QString& text)
    {
        for (const QChar c : text)
            key(editor, Qt::Key_unknown, QString(c));
    }
    static QPoint cell(ListBox* list, int row, int column) { return list->CellRect(row, column).center(); }
    // A press below the rows, y pixels down from the list's top.
    static void pressAt(ListBox* list, int y)
    {
        press(list, QPoint(60, y));
        release(list, QPoint(60, y));
    }
};
} // namespace

TEST_F(TodoList, OpensWithTheToDoPartOfTheEventsFile)
{
    App().keptTodoLines = {"0\tstale line kept from start-up"};
    writeEventsFile("1\tFile taxes\n0\tCall Anna\tand more\nno tab at all\n1\n0\tEvents Data: notes\r\n"
                    "Events Data:\n2025-06-18 09:00:00|2025-06-18 09:30:00//Dentist\n");
    CalendarWindow* w = openWeek();
    // A text is everything after the first TAB; a line without one is an open item.
    EXPECT_EQ(rows(w->TodoList),
              (Lines{"1 File taxes", "0 Call Anna\tand more", "0 no tab at all", "0 1", "0 Events Data: notes"}));
    EXPECT_EQ(w->TodoList->ColumnType(0), ListBox::TypeCheckBox);
    EXPECT_EQ(w->TodoList->ColumnAlignmentOffset(1), 2);

    // Saved back with every text whole.
    w->SaveEvents();
    EXPECT_EQ(savedLines(), (Lines{"1\tFile taxes", "0\tCall Anna\tand more", "0\tno tab at all", "0\t1",
                                   "0\tEvents Data: notes"}));
}

// With many events, reading the whole file again only for its to-do lines is slow: a file
// that this run read or wrote last is not read again, a file changed since then is.
TEST_F(TodoList, OnlyAFileChangedSinceThisRunLastReadOrWroteItIsReadAgain)
{
    writeEventsFile("1\tFrom the file\nEvents Data:\n");
    App().keptTodoLines = {"0\tKept by this run"};
    App().keptTodoLinesStamp = app::EventsFileStamp();   // as if this run had read these lines from it
    CalendarWindow* w = openWeek();
    EXPECT_EQ(rows(w->TodoList), (Lines{"0 Kept by this run"}));
    w->CloseWindow();   // saves: the file and the stamp follow the list
    flush();
    EXPECT_EQ(savedLines(), (Lines{"0\tKept by this run"}));

    writeEventsFile("1\tChanged elsewhere\nEvents Data:\n");
    w = openWeek();
    EXPECT_EQ(rows(w->TodoList), (Lines{"1 Changed elsewhere"}));
}

TEST_F(TodoList, AMissingOrEmptyFileGivesAnEmptyList)
{
    CalendarWindow* w = open();
    EXPECT_EQ(w->TodoList->ListCount(), 0);
    w->CloseWindow();
    flush();
    writeEventsFile("");
    EXPECT_EQ(open()->TodoList->ListCount(), 0);
}

TEST_F(TodoList, ListAndHeaderStandBelowTheFirstMonthList)
{
    CalendarWindow* w = open();
    const int h = area().height();
    const int header = ToInt(h * 0.082 + 60 + 132);
    EXPECT_EQ(w->ToDoListHeader->y(), header);
    EXPECT_EQ(w->TodoList->y(), ToInt(h * 0.082 + 60 + 132 + 21));
    EXPECT_EQ(w->TodoList->height(), ToInt(h * 0.62 - (60 + 132 + 21)));
    EXPECT_EQ(w->TodoList->x() + w->TodoList->width(), w->width());
}

TEST_F(TodoList, TheHeaderAddsAnItemTypedInPlace)
{
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    click(w->ToDoListHeader, QPoint(10, 10));
    ASSERT_EQ(list->ListCount(), 1);
    QLineEdit* editor = list->ActiveCell();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(list->EditRow(), 0);
    EXPECT_EQ(list->EditColumn(), 1);
    EXPECT_NE(editor->palette().color(QPalette::Base), QColor(255, 255, 0));

    // The file's separators never get in, typed or pasted; "//" becomes "/".
    typeText(editor, "Pay|rent");
    EXPECT_EQ(editor->text().toStdString(), "Pay rent");
    QApplication::clipboard()->setText("\tnow a//b\nc");
    editor->paste();
    EXPECT_EQ(editor->text().toStdString(), "Pay rent now a/b c");
    key(editor, Qt::Key_Return);
    EXPECT_FALSE(list->IsEditing());
    w->GlanceOff();
    EXPECT_EQ(savedLines(), Lines{"0\tPay rent now a/b c"});
}

TEST_F(TodoList, APressBelowTheRowsAddsAYellowItem)
{
    writeEventsFile("0\tone\n0\ttwo\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    const int bottom = 2 * list->RowHeight();
    pressAt(list, bottom);   // on the last row's lower edge: no new row
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_FALSE(list->IsEditing());
    pressAt(list, bottom + 1);
    ASSERT_EQ(list->ListCount(), 3);
    ASSERT_TRUE(list->IsEditing());
    EXPECT_EQ(list->EditRow(), 2);
    EXPECT_EQ(list->ActiveCell()->palette().color(QPalette::Base), QColor(255, 255, 0));
    typeText(list->ActiveCell(), "three");
    key(list->ActiveCell(), Qt::Key_Return);
    EXPECT_EQ(rows(list), (Lines{"0 one", "0 two", "0 three"}));
}

TEST_F(TodoList, AnEditLeftEmptyRemovesTheItemEscapeKeepsTheOldText)
{
    writeEventsFile("0\tkeep me\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;

    // A new item closed without a text goes again, by Return and by Escape alike.
    click(w->ToDoListHeader, QPoint(10, 10));
    key(list->ActiveCell(), Qt::Key_Return);
    click(w->ToDoListHeader, QPoint(10, 10));
    typeText(list->ActiveCell(), "x");
    key(list->ActiveCell(), Qt::Key_Escape);
    EXPECT_EQ(rows(list), Lines{"0 keep me"});

    // Escape after typing over an item brings its text back; blanks are a text and stay.
    list->SetListIndex(0);
    click(list, cell(list, 0, 1));   // a click on the selected row's text edits it
    ASSERT_TRUE(list->IsEditing());
    EXPECT_EQ(list->ActiveCell()->selectedText().toStdString(), "keep me");
    typeText(list->ActiveCell(), "changed");
    EXPECT_EQ(list->Cell(0, 1).toStdString(), "changed");
    key(list->ActiveCell(), Qt::Key_Escape);
    EXPECT_EQ(rows(list), Lines{"0 keep me"});

    list->EditCell(0, 1);
    list->ActiveCell()->setText("   ");
    key(list->ActiveCell(), Qt::Key_Return);
    EXPECT_EQ(rows(list), Lines{"0    "});
    list->EditCell(0, 1);
    list->ActiveCell()->clear();
    key(list->ActiveCell(), Qt::Key_Return);
    EXPECT_EQ(list->ListCount(), 0);
}

TEST_F(TodoList, AClickOnAnUnselectedRowSelectsItADoubleClickEdits)
{
    writeEventsFile("0\tone\n0\ttwo\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    click(list, cell(list, 1, 1));
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_FALSE(list->IsEditing());
    mouse(list, QEvent::MouseButtonDblClick, cell(list, 1, 1));
    release(list, cell(list, 1, 1));
    ASSERT_TRUE(list->IsEditing());
    EXPECT_EQ(list->EditRow(), 1);
    EXPECT_EQ(list->ActiveCell()->selectedText().toStdString(), "two");
}

TEST_F(TodoList, TickingStrikesTheTextThroughAndIsSaved)
{
    writeEventsFile("0\tWater the plants\n0\tother\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    // The row is selected first, so that only the tick asks for its text to be repainted;
    // the screen is read, not painted afresh.
    list->SetListIndex(0);
    const QRect text = list->CellRect(0, 1);
    EXPECT_EQ(Pixels::Shown(list).pixelColor(text.x() + 3, text.y() + 10), QColor(180, 180, 180));
    click(list, cell(list, 0, 0));
    EXPECT_TRUE(list->CellCheck(0, 0));
    EXPECT_EQ(list->ListIndex(), 0);

    const QImage image = Pixels::Shown(list);
    EXPECT_EQ(QColor(image.pixel(text.x() + 3, text.y() + 10)), QColor(10, 10, 10));     // the line
    EXPECT_EQ(QColor(image.pixel(text.x() + 1, text.y() + 1)), QColor(180, 180, 180));   // selected row
    const QRect other = list->CellRect(1, 1);
    EXPECT_EQ(QColor(image.pixel(other.x() + 3, other.y() + 10)), QColor(220, 220, 220));
    const QRect below = list->CellRect(3, 1);
    EXPECT_EQ(QColor(image.pixel(below.x() + 3, below.y() + 10)), QColor(220, 220, 220));

    w->GlanceOff();
    EXPECT_EQ(savedLines(), (Lines{"1\tWater the plants", "0\tother"}));
}

TEST_F(TodoList, TheDeleteMarkRemovesOneRowEvenOnADoubleClick)
{
    writeEventsFile("0\ta\n0\tb\n0\tc\n0\td\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    list->SetListIndex(1);
    click(list, cell(list, 1, 2));
    EXPECT_EQ(rows(list), (Lines{"0 a", "0 c", "0 d"}));
    EXPECT_EQ(list->ListIndex(), -1);

    // A double click's second press lands on the row that moved up: it stays.
    press(list, cell(list, 0, 2));
    release(list, cell(list, 0, 2));
    mouse(list, QEvent::MouseButtonDblClick, cell(list, 0, 2));
    release(list, cell(list, 0, 2));
    EXPECT_EQ(rows(list), (Lines{"0 c", "0 d"}));
}

TEST_F(TodoList, DraggedRowsAreSavedInTheirNewOrder)
{
    writeEventsFile("0\tfirst\n1\tsecond\n0\tthird\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    const int rh = list->RowHeight();
    press(list, QPoint(60, rh / 2));
    drag(list, QPoint(60, rh));
    drag(list, QPoint(60, 3 * rh));
    release(list, QPoint(60, 3 * rh));
    EXPECT_EQ(rows(list), (Lines{"1 second", "0 third", "0 first"}));
    w->GlanceOff();
    EXPECT_EQ(savedLines(), (Lines{"1\tsecond", "0\tthird", "0\tfirst"}));
}

// The window closing (quit, rebuild) while an item is being typed saves what was typed.
TEST_F(TodoList, AnItemStillBeingTypedIsSavedWhenTheWindowCloses)
{
    CalendarWindow* w = openWeek();
    click(w->ToDoListHeader, QPoint(10, 10));
    typeText(w->TodoList->ActiveCell(), "half typed");
    w->CloseWindow();
    flush();
    EXPECT_EQ(savedLines(), Lines{"0\thalf typed"});
    // A new window reads the items back from the file.
    EXPECT_EQ(rows(open()->TodoList), Lines{"0 half typed"});
}

TEST_F(TodoList, TheScrollBarShowsOnceTheRowsAndOneMoreNoLongerFit)
{
    CalendarWindow* w = openWeek();
    ListBox* list = w->TodoList;
    list->resize(list->width(), 11 * 19);
    for (int i = 0; i < 10; ++i)
        list->AddRow(QStringList{QString(), QString::number(i)});
    w->TodoList_Change();
    EXPECT_FALSE(list->ScrollBarVertical());
    // Adding an eleventh from the header shows it, and the new row is in view.
    click(w->ToDoListHeader, QPoint(10, 10));
    EXPECT_TRUE(list->ScrollBarVertical());
    EXPECT_TRUE(list->CellRect(10, 1).bottom() < list->height());
    key(list->ActiveCell(), Qt::Key_Return);   // left empty: removed again
    EXPECT_EQ(list->ListCount(), 10);
    EXPECT_FALSE(list->ScrollBarVertical());
    EXPECT_EQ(list->ScrollPosition(), 0);
}

TEST_F(TodoList, ItemsSurviveAFailedSaveIntoTheNextWindow)
{
    writeEventsFile("0\tone\nEvents Data:\n");
    CalendarWindow* w = openWeek();
    const int row = w->TodoList->AddRow(QStringList{QString(), "two"});
    w->TodoList->SetCellCheck(row, 0, true);
    // The Documents folder becomes a file: the save at closing cannot be written.
    QDir(home.documentsFolder()).removeRecursively();
    QFile blocker(home.documentsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w->CloseWindow();
    flush();
    EXPECT_FALSE(log.messages.isEmpty());       // the failed save was reported
    CalendarWindow* again = openWeek();
    EXPECT_EQ(rows(again->TodoList), (Lines{"0 one", "1 two"}));
    again->CloseWindow();
    flush();
    QFile::remove(home.documentsFolder());
}
