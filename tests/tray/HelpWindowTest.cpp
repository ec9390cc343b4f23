#include "TrayFixture.h"
#include "PixelProbe.h"
#include "framework/ListBox.h"
#include "tray/HelpEdit.h"
#include <QPlainTextEdit>
#include <QStackedWidget>

namespace {
using Help = TrayFixture;
} // namespace

TEST_F(Help, OpensCentredOnTheFirstPageWithTheSixTopics)
{
    HelpWindow* window = HelpWindow::Instance();
    EXPECT_EQ(window->windowTitle(), "Calendar Help");
    EXPECT_EQ(window->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    ASSERT_EQ(window->ContentsList->ListCount(), 6);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(window->ContentsList->Cell(row, 0), HelpWindow::ContentsTexts()[row]);
    EXPECT_EQ(window->ContentsList->ListIndex(), 0);
    EXPECT_EQ(window->PagePanel1->currentIndex(), 0);

    // Every topic shows whole: as wide as the text drawn freely, and clear of its cell's
    // right edge. (No row selected, so that all are black on white.)
    ListBox* list = window->ContentsList;
    EXPECT_EQ(list->geometry(), QRect(7, 35, 180, 300));
    list->SetListIndex(-1);
    const QImage image = Pixels::Render(list, Qt::white);
    const QFontMetrics metrics(list->ListFont());
    for (int row = 0; row < 6; ++row) {
        const QRect cell = list->CellRect(row, 0);
        const QRect ink = Pixels::Ink(image, cell, Qt::black, Qt::white);
        EXPECT_LT(ink.right(), cell.right()) << row;
        EXPECT_GE(ink.width(), metrics.tightBoundingRect(list->Cell(row, 0)).width() - 4) << row;
    }
}

TEST_F(Help, EachTopicShowsItsPageUnderItsHeading)
{
    struct Case { const char* topic; const char* heading; bool typing; };
    const Case pages[] = {
        {"Introducing Lumora Calendar", "Introduction to Lumora Calendar", true},
        {"The Main Calendar", "Using the Main Calendar", false},
        {"Using the Countdown Calendar", "Using the Countdown Calendar", false},
        {"Using week-at-a-glance", "Week-At-A-Glance", false},
        {"The To-do List", "To-Do", false},
        {"Calendar Symbols", "Lumora Calendar Symbols", false},
    };
    HelpWindow* window = HelpWindow::Instance();
    for (int k : {3, 0, 5, 1, 4, 2}) {
        window->ContentsList->SetListIndex(k);
        EXPECT_EQ(window->ContentsList->Cell(k, 0), pages[k].topic);
        EXPECT_EQ(window->PagePanel1->currentIndex(), k);
        QPlainTextEdit* field = window->PageField(k);
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->isVisibleTo(window->PagePanel1->currentWidget())) << k;
        EXPECT_EQ(field->parentWidget(), window->PagePanel1->currentWidget()) << k;
        const QStringList lines = field->toPlainText().split('\n');
        ASSERT_GE(lines.size(), 3) << k;
        EXPECT_EQ(lines[0], pages[k].heading);
        EXPECT_EQ(lines[1], "");
        EXPECT_FALSE(lines[2].isEmpty()) << k;
        EXPECT_EQ(field->isReadOnly(), !pages[k].typing) << k;
    }
    EXPECT_EQ(window->PageField(4), window->EditField1);
    EXPECT_EQ(window->PageField(0), window->HelpEditAt(0));
    EXPECT_EQ(window->HelpEditAt(4)->Index, 4);
    EXPECT_EQ(window->PageField(2), window->HelpEditAt(4));

    // No row selected: the page shown stays.
    window->ContentsList->SetListIndex(-1);
    EXPECT_EQ(window->PagePanel1->currentIndex(), 2);
}

TEST_F(Help, TypingOnTheFirstPageLastsOnlyUntilTheWindowCloses)
{
    HelpWindow* window = HelpWindow::Instance();
    window->HelpEditAt(0)->appendPlainText("my own note");
    EXPECT_TRUE(window->HelpEditAt(0)->toPlainText().endsWith("my own note"));
    window->ContentsList->SetListIndex(3);
    EXPECT_EQ(HelpWindow::Instance(), window);             // still open: the same window
    window->CloseWindow();
    flush();
    window = HelpWindow::Instance();
    EXPECT_EQ(window->PagePanel1->currentIndex(), 0);
    EXPECT_EQ(window->HelpEditAt(0)->toPlainText(), HelpWindow::PageText(0));
}

TEST_F(Help, TheMainCalendarPageNamesOnlyWhatChangesTheYear)
{
    // Page Up / Page Down, the wheel and the small arrows page the year; the arrow keys and
    // the bottom picture do nothing.
    const QString page = HelpWindow::PageText(1);
    EXPECT_TRUE(page.contains("Page Up") && page.contains("Page Down") && page.contains("mouse wheel"));
    EXPECT_FALSE(page.contains("arrow keys"));
    EXPECT_FALSE(page.contains("web site"));
}
