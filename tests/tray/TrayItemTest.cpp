#include "TrayFixture.h"
#include "framework/ListBox.h"
#include "framework/Picture.h"
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QSystemTrayIcon>

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
    // The entry of a menu that shows text, or nullptr.
    static QAction* entry(QMenu* menu, const QString& text)
    {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    // The texts of a menu's entries as the menu holds them ("-" for a separator).
    static QStringList shown(QMenu* menu)
    {
        QStringList result;
        for (QAction* action : menu->actions())
            result << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return result;
    }
    static QMenu* todoMenu(AppTrayItem& item) { return entry(item.ContextMenu(), "To Do Items")->menu(); }
    // Chooses the menu's entry showing text, as a tray host does; the command runs once
    // control is back in the event loop.
    static void choose(AppTrayItem& item, const QString& text)
    {
        QAction* action = entry(item.ContextMenu(), text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        action->trigger();
        flush();
    }
    static bool anyOpen()
    {
        return TrayWindow::Existing() || PreferencesWindow::Existing() || AboutWindow::Existing()
            || AboutWindowCustom::Existing() || HelpWindow::Existing();
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
    App().mAppTrayItem = new AppTrayItem();     // the installed item: its menu follows too
    AppTrayItem& item = *App().mAppTrayItem;
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

    // Closed by its own close box: the menu offers to show it again, before it next shows.
    item.Event_Action(AppTrayItem::CauseLeftClick);
    flush();
    EXPECT_EQ(item.ContextMenu()->actions().at(3)->text(), "Hide Mini Calendar");
    TrayWindow::Existing()->close();
    flush();
    EXPECT_FALSE(App().TrayWindowOpen);
    EXPECT_EQ(AppTrayItem::BuildMenu()->Item(3)->Text, "Show Mini Calendar");
    EXPECT_EQ(item.ContextMenu()->actions().at(3)->text(), "Show Mini Calendar");
}

TEST_F(TrayItem, TheIconsMenuFollowsTheToDoListAndTheMiniCalendarEachTimeItShows)
{
    setTodo({{false, "Buy milk"}, {true, "Done already"}, {false, "Tom & Jerry"}});
    AppTrayItem item;
    QMenu* menu = item.ContextMenu();
    EXPECT_EQ(shown(menu), (QStringList{"&About Calendar", "-", "To Do Items", "Show Mini Calendar", "-", "Preferences"}));
    EXPECT_EQ(shown(todoMenu(item)), (QStringList{"Buy milk", "Tom && Jerry"}));   // "&" shown as it is
    QAction* about = menu->actions().at(0);
    QAction* mini = menu->actions().at(3);

    // Changed since the menu was built: the next showing brings it up to date in place.
    setTodo({{false, "Call Ann"}, {false, "Buy milk"}, {true, "Tom & Jerry"}});
    App().TrayWindowOpen = true;
    emit menu->aboutToShow();
    EXPECT_EQ(shown(todoMenu(item)), (QStringList{"Call Ann", "Buy milk"}));
    EXPECT_EQ(mini->text(), "Hide Mini Calendar");
    EXPECT_EQ(menu->actions().at(0), about);
    EXPECT_EQ(menu->actions().at(3), mini);

    setTodo({{true, "All done"}});
    App().TrayWindowOpen = false;
    emit todoMenu(item)->aboutToShow();       // a host opening the submenu alone
    EXPECT_EQ(shown(todoMenu(item)), QStringList{});
    EXPECT_EQ(mini->text(), "Show Mini Calendar");
}

TEST_F(TrayItem, ToDoTextsShowAsTheyAreInQtsMenuAndInTheExportedOne)
{
    struct Case {
        const char* name;
        QString text;
        bool command;
        QString inQt, exported;
    };
    const Case cases[] = {
        {"a command keeps its mnemonic", "&About Calendar", true, "&About Calendar", "&About Calendar"},
        {"plain text", "Buy milk", false, "Buy milk", "Buy milk"},
        {"ampersands", "R&D & more", false, "R&&D && more", "R&&D & more"},
        {"an ampersand at the end", "Salt &", false, "Salt &&", "Salt &&"},
        {"underscores", "q3_report__final", false, "q3_report__final", "q3__report____final"},
        {"a command's text as a to-do", "&About Calendar", false, "&&About Calendar", "&&About Calendar"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppTrayItem::EntryText(c.text, c.command, false), c.inQt) << c.name;
        EXPECT_EQ(AppTrayItem::EntryText(c.text, c.command, true), c.exported) << c.name;
    }
}

TEST_F(TrayItem, ARightClickShowsTheMenuAtThePointerWithoutWaitingForIt)
{
    open();
    AppTrayItem item;
    item.Event_Action(AppTrayItem::CauseRightClick);     // returns while the menu is open
    ASSERT_TRUE(item.ContextMenu()->isVisible());
    const QPoint at = item.ContextMenu()->pos();
    item.Event_Action(AppTrayItem::CauseRightClick);     // shown already: left where it is
    EXPECT_TRUE(item.ContextMenu()->isVisible());
    EXPECT_EQ(item.ContextMenu()->pos(), at);
    item.ContextMenu()->hide();
}

TEST_F(TrayItem, ClicksAndChoicesRunAfterTheCallThatReportedThemReturned)
{
    open();
    AppTrayItem item;
    auto* icon = item.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    emit icon->activated(QSystemTrayIcon::Trigger);     // a host's Activate call
    EXPECT_EQ(TrayWindow::Existing(), nullptr);
    flush();
    ASSERT_NE(TrayWindow::Existing(), nullptr);
    emit icon->activated(QSystemTrayIcon::Trigger);
    flush();
    EXPECT_EQ(TrayWindow::Existing(), nullptr);

    emit icon->activated(QSystemTrayIcon::Context);     // a host's ContextMenu call
    EXPECT_FALSE(item.ContextMenu()->isVisible());
    flush();
    EXPECT_TRUE(item.ContextMenu()->isVisible());
    item.ContextMenu()->hide();

    entry(item.ContextMenu(), "Preferences")->trigger();
    EXPECT_EQ(PreferencesWindow::Existing(), nullptr);
    flush();
    EXPECT_NE(PreferencesWindow::Existing(), nullptr);
}

TEST_F(TrayItem, MenuChoicesRunTheirCommands)
{
    open();
    AppTrayItem item;
    choose(item, "Show Mini Calendar");
    ASSERT_NE(TrayWindow::Existing(), nullptr);
    emit item.ContextMenu()->aboutToShow();
    choose(item, "Hide Mini Calendar");
    EXPECT_EQ(TrayWindow::Existing(), nullptr);

    choose(item, "Preferences");
    EXPECT_NE(PreferencesWindow::Existing(), nullptr);
    closeAll();

    for (const bool custom : {false, true}) {
        CM::customAboutWindow = custom;
        choose(item, "&About Calendar");
        EXPECT_EQ(AboutWindow::Existing() != nullptr, !custom);
        EXPECT_EQ(AboutWindowCustom::Existing() != nullptr, custom);
        closeAll();
    }

    // A choice whose command runs after the program began to quit opens nothing.
    App().Closing = true;
    entry(item.ContextMenu(), "Preferences")->trigger();
    flush();
    App().Closing = false;
    EXPECT_FALSE(anyOpen());
}

TEST_F(TrayItem, ChoosingAToDoEntryDoesNothingWhateverItSays)
{
    setTodo({{false, "Preferences"}, {false, "Show Mini Calendar"}, {false, "&About Calendar"}});
    AppTrayItem item;
    const QList<QAction*> entries = todoMenu(item)->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[2]->text(), "&&About Calendar");
    for (QAction* action : entries) {
        action->trigger();
        flush();
        EXPECT_FALSE(anyOpen()) << action->text().toStdString();
        EXPECT_FALSE(App().TrayWindowOpen) << action->text().toStdString();
    }
    entry(item.ContextMenu(), "To Do Items")->trigger();   // the submenu's own entry
    flush();
    EXPECT_FALSE(anyOpen());
}
