#pragma once
#include "framework/Picture.h"
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class MenuItem;
class QSystemTrayIcon;

// The optional icon in the system tray that shows today's day of the month. A left click
// shows the mini calendar window or, when it is open, closes it; a right click pops up a
// small menu: About, the to-do items not yet done, showing or hiding the mini calendar,
// and Preferences. Without a tray host the item exists and is simply not seen.
class AppTrayItem : public QObject
{
    Q_OBJECT
public:
    // Click causes of the Action event.
    static constexpr int CauseLeftClick = 100;
    static constexpr int CauseRightClick = 101;

    // Draws the icon and sets the tool tip; the creator installs the item.
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
    PicturePtr Icon() const { return m_iconPicture; }
    QString HelpTag() const;

    // A click on the icon: 100 left button, 101 right button; other causes do nothing.
    void Event_Action(int cause);

    // The tray menu as it stands now: "&About Calendar", "-", "To Do Items" with the texts
    // of the unticked to-do rows, "Show Mini Calendar" or "Hide Mini Calendar", "-",
    // "Preferences".
    static std::shared_ptr<MenuItem> BuildMenu();
    // Carries out a chosen command of the tray menu; false when the text names none.
    static bool RunCommand(const QString& text);

    // Tests replace the user: the chooser receives the menu and answers with the chosen
    // item (nullptr: nothing chosen). Returns the previous chooser.
    using MenuChooser = std::function<MenuItem*(MenuItem& root)>;
    static MenuChooser SetMenuChooser(MenuChooser chooser);

private:
    // Shows the menu at the mouse position; the chosen item or nullptr.
    static MenuItem* PopUp(MenuItem& root);
    void showMenu();

    QSystemTrayIcon* m_icon = nullptr;
    PicturePtr m_iconPicture;
    bool m_menuOpen = false;
};
