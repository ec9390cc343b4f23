#include "glance/PopUpMenu.h"
#include <QAction>
#include <QCursor>
#include <QMenu>

namespace {
PopUpMenu::Chooser& chooser()
{
    static PopUpMenu::Chooser current;
    return current;
}
} // namespace

PopUpMenu::Chooser PopUpMenu::SetChooser(Chooser next)
{
    Chooser previous = chooser();
    chooser() = std::move(next);
    return previous;
}

int PopUpMenu::Show(const QStringList& items)
{
    if (chooser()) {
        const int index = chooser()(items);
        return index >= 0 && index < items.size() ? index : -1;
    }
    QMenu menu;
    for (int i = 0; i < items.size(); ++i)
        menu.addAction(items.at(i))->setData(i);
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : -1;
}
