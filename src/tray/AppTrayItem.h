#pragma once
#include "framework/Picture.h"
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <memory>

class MenuItem;
class QSystemTrayIcon;

// The optional icon in the system tray that shows today's day of the month. A left click
// shows the mini calendar window or, when it is open, closes it; a right click shows a
// small menu: About, the to-do items not yet done, showing or hiding the mini calendar,
// and Preferences. Without a tray host the item exists and is simply not seen.
//
// The menu is the icon's own context menu, so the tray host shows it: an XEmbed tray
// through Qt's pop-up on a right click, a StatusNotifier host through the menu Qt exports
// over D-Bus. It is brought up to date from BuildMenu each time it is about to show, and
// when what it shows changes, for a StatusNotifier host may read the exported menu
// without saying that it is about to show it.
// Nothing the icon or its menu starts runs inside the call that reported the click or
// the choice: a host that clicks over D-Bus gets its answer before any window opens,
// whatever that window does.
class AppTrayItem : public QObject
{
    Q_OBJECT
public:
    // Click causes of the Action event.
    static constexpr int CauseLeftClick = 100;
    static constexpr int CauseRightClick = 101;

    // Draws the icon, sets the tool tip and builds the menu; the creator installs the item.
    AppTrayItem();
    ~AppTrayItem() override;

    // Adds the icon to the tray / takes it out again (no error without a tray host).
    void Install();
    void Remove();
    bool IsInstalled() const;

    // Draws a new icon with today's day number and makes it the item's icon.
    void UpdateIcon();
    // The 32 x 32 icon for a day of the month: the tray picture with the day's number in
    // bold dark grey, centred about x 16 on the baseline y 24, every pixel opaque.
    static PicturePtr IconPicture(int dayOfMonth);
    // Today's picture as the windows' icon: with the tray icon or without it (UpdateIcon
    // sets it where there is one).
    static void SetWindowIconToToday();
    PicturePtr Icon() const { return m_iconPicture; }
    QString HelpTag() const;

    // A click on the icon: 100 left button, 101 right button (shows the menu at the
    // pointer unless the tray host already shows it); other causes do nothing.
    void Event_Action(int cause);

    // The tray menu as it stands now: "&About Calendar", "-", "To Do Items" with the texts
    // of the unticked to-do rows, "Show Mini Calendar" or "Hide Mini Calendar", "-",
    // "Preferences".
    static std::shared_ptr<MenuItem> BuildMenu();
    // Carries out a command of the tray menu; false when the text names none.
    static bool RunCommand(const QString& text);

    // The icon's context menu. Its entries show the texts as they are ("&" or "_" in a
    // to-do text is no mnemonic); choosing one of the menu's own commands runs it once
    // control is back in the event loop; a to-do entry runs nothing, whatever it says.
    QMenu* ContextMenu() const { return m_menu.get(); }
    // The text an entry's action holds for a command's text or a to-do text, in Qt's own
    // menu or in the menu exported to a StatusNotifier host (whose mnemonic mark is "_").
    static QString EntryText(const QString& text, bool command, bool exported);
    // Brings the context menu in line with BuildMenu, keeping the entries that did not
    // change (a host that shows the menu keeps its place in it).
    void UpdateMenu();
    // What the menu shows has changed (the mini calendar opened or closed, the to-do list
    // changed): the installed item's menu follows once control is back in the event loop,
    // once for any number of changes made before then.
    static void StateChanged();

private:
    bool isExported() const;
    void fillMenu(QMenu& menu, const MenuItem& model, bool root, bool exported);
    void addEntry(QMenu& menu, const MenuItem& entry, bool root, bool exported);

    std::unique_ptr<QMenu> m_menu;
    QPointer<QMenu> m_popup;    // the pop-up asked for over D-Bus while it shows
    QSystemTrayIcon* m_icon = nullptr;
    PicturePtr m_iconPicture;
    bool m_updatePending = false;
};
