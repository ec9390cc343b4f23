#pragma once
#include <QStringList>
#include <functional>

// A pop-up menu of plain text items shown at the mouse position. It runs its own event
// loop until an item is chosen or the menu is dismissed. Tests replace the user with a
// chooser, which receives the items and answers with the chosen index.
class PopUpMenu
{
public:
    // The index of the chosen item, or -1 when the menu was dismissed.
    static int Show(const QStringList& items);

    using Chooser = std::function<int(const QStringList& items)>;
    // Installs a chooser (none to show real menus again); returns the previous one.
    static Chooser SetChooser(Chooser chooser);
};
