#include "TrayFixture.h"
#include "framework/ListBox.h"
#include "framework/Picture.h"
#include <QImage>

namespace {
class TrayItem : public TrayFixture
{
protected:
    // Fills the calendar window's to-do list: (ticked, text) rows.
    void setTodo(const QVector<QPair<bool, QString>>& rows)
    {
        ListBox* list = open()->TodoList;
        list->DeleteAllRows();
        for (const auto& row : rows) {
            const int r = list->AddRow(QStringList{QString(), row.second});
            list->SetCellCheck(r, 0, row.first);
        }
    }
    // Right-clicks the item, choosing the item of the menu that find returns.
    void rightClickChoosing(AppTrayItem& item, std::function<MenuItem*(MenuItem&)> find)
    {
        AppTrayItem::SetMenuChooser(std::move(find));
        item.Event_Action(AppTrayItem::CauseRightClick);
        flush();
    }
    static bool anyOpen()
    {
        return TrayWindow::Existing() || PreferencesWindow::Existing() || AboutWindow::Existing()
            || AboutWindowCustom::Existing() || HelpWindow::Existing();
    }
    static std::function<MenuItem*(MenuItem&)> command(const QString& text)
    {
        return [text](MenuItem& root) -> MenuItem* {
            for (int i = 0; i < root.Count(); ++i)
                if (root.Item(i)->Text == text)
                    return root.Item(i);
            return nullptr;
        };
    }
};

// The box around the icon's dark (text) pixels.
QRect textBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 90 && c.green() < 90 && c.blue() < 90)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}
} // namespace

TEST_F(TrayItem, TheIconShowsTheDayCentredOnItsBaselineAndIsOpaque)
{
    for (const int day : {1, 7, 10, 23, 31}) {
        const PicturePtr icon = AppTrayItem::IconPicture(day);
        ASSERT_EQ(icon->Width(), 32);
        ASSERT_EQ(icon->Height(), 32);
        const QImage image = icon->Composited();
        bool opaque = true;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                opaque = opaque && qAlpha(image.pixel(x, y)) == 255;
        EXPECT_TRUE(opaque) << day;
        const QRect box = textBox(image);
        ASSERT_FALSE(box.isNull()) << day;
        EXPECT_NEAR((box.left() + box.right() + 1) / 2.0, 16.0, 2.0) << day;
        EXPECT_GE(box.bottom(), 21) << day;          // digits stand on the baseline at y 24
        EXPECT_LE(box.bottom(), 24) << day;
        EXPECT_EQ(box.width() > 12, day >= 10) << day;   // one digit or two
    }
    AppTrayItem item;
    EXPECT_EQ(item.HelpTag(), "Lumora Calendar");
    EXPECT_EQ(textBox(item.Icon()->Composited()), textBox(AppTrayItem::IconPicture(Date().Day())->Composited()));
    EXPECT_FALSE(item.IsInstalled());
    item.Install();
    EXPECT_TRUE(item.IsInstalled());      // no tray host: installed all the same, no error
    item.Remove();
    EXPECT_FALSE(item.IsInstalled());
}

TEST_F(TrayItem, TheMenuListsTheOpenToDoItemsAndTheMiniCalendarState)
{
    setTodo({{false, "Buy milk"}, {true, "Done already"}, {false, ""}, {false, "Buy milk"},
             {false, "Preferences"}, {true, "Also done"}});
    auto menu = AppTrayItem::BuildMenu();
    EXPECT_EQ(texts(*menu), (QStringList{"&About Calendar", "-", "To Do Items", "Show Mini Calendar", "-", "Preferences"}));
    EXPECT_EQ(texts(*menu->Item(2)), (QStringList{"Buy milk", "", "Buy milk", "Preferences"}));

    setTodo({{true, "All done"}});
    App().TrayWindowOpen = true;
    menu = AppTrayItem::BuildMenu();
    EXPECT_EQ(menu->Item(3)->Text, "Hide Mini Calendar");
    EXPECT_EQ(menu->Item(2)->Text, "To Do Items");
    EXPECT_EQ(menu->Item(2)->Count(), 0);
}

TEST_F(TrayItem, ALeftClickShowsOrClosesTheMiniCalendar)
{
    open();
    AppTrayItem item;
    item.Event_Action(AppTrayItem::CauseLeftClick);
    ASSERT_NE(TrayWindow::Existing(), nullptr);
    EXPECT_TRUE(TrayWindow::Existing()->isVisible());
    EXPECT_TRUE(App().TrayWindowOpen);
    item.Event_Action(AppTrayItem::CauseLeftClick);
    flush();
    EXPECT_EQ(TrayWindow::Existing(), nullptr);
    EXPECT_FALSE(App().TrayWindowOpen);

    // Other causes change nothing.
    for (const int cause : {0, 99, 102, -1})
        item.Event_Action(cause);
    EXPECT_EQ(TrayWindow::Existing(), nullptr);

    // Closed by its own close box: the menu offers to show it again.
    item.Event_Action(AppTrayItem::CauseLeftClick);
    TrayWindow::Existing()->close();
    flush();
    EXPECT_FALSE(App().TrayWindowOpen);
    EXPECT_EQ(AppTrayItem::BuildMenu()->Item(3)->Text, "Show Mini Calendar");
}

TEST_F(TrayItem, MenuChoicesRunTheirCommands)
{
    open();
    AppTrayItem item;
    rightClickChoosing(item, command("Show Mini Calendar"));
    ASSERT_NE(TrayWindow::Existing(), nullptr);
    rightClickChoosing(item, command("Hide Mini Calendar"));
    EXPECT_EQ(TrayWindow::Existing(), nullptr);

    rightClickChoosing(item, command("Preferences"));
    EXPECT_NE(PreferencesWindow::Existing(), nullptr);
    closeAll();

    for (const bool custom : {false, true}) {
        CM::customAboutWindow = custom;
        rightClickChoosing(item, command("&About Calendar"));
        EXPECT_EQ(AboutWindow::Existing() != nullptr, !custom);
        EXPECT_EQ(AboutWindowCustom::Existing() != nullptr, custom);
        closeAll();
    }

    rightClickChoosing(item, [](MenuItem&) { return nullptr; });   // dismissed
    rightClickChoosing(item, command("-"));
    EXPECT_FALSE(anyOpen());
}

TEST_F(TrayItem, ChoosingAToDoEntryDoesNothingWhateverItSays)
{
    setTodo({{false, "Preferences"}, {false, "Show Mini Calendar"}, {false, "&About Calendar"}});
    AppTrayItem item;
    for (int i = 0; i < 3; ++i) {
        rightClickChoosing(item, [i](MenuItem& root) { return root.Item(2)->Item(i); });
        EXPECT_FALSE(anyOpen()) << i;
        EXPECT_FALSE(App().TrayWindowOpen) << i;
    }
    rightClickChoosing(item, [](MenuItem& root) { return root.Item(2); });   // "To Do Items" itself
    EXPECT_FALSE(anyOpen());
}
