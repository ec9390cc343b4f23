#pragma once
#include "framework/MenuItem.h"
#include <QKeySequence>
#include <QObject>
#include <QPointer>

class QMenuBar;
class QWidget;

// The program's one menu bar: a tree of MenuItems, shown in a window as a QMenuBar. Before
// a menu opens and before a shortcut fires, the application's enable pass runs; a chosen
// item goes to the application's dispatch (front window first, then the application), the
// front window being the window that holds the QMenuBar it was chosen in.
class MenuBar : public QObject
{
    Q_OBJECT
public:
    MenuBar();
    ~MenuBar() override;

    MenuItem& Root() { return m_root; }
    void Append(std::shared_ptr<MenuItem> menu) { m_root.Append(std::move(menu)); }
    // The item of that name anywhere in the tree, or nullptr.
    MenuItem* Child(const QString& name) { return m_root.Child(name); }
    // The enabled item whose shortcut is keys, after the enable pass; nullptr when none.
    MenuItem* ItemForShortcut(const QKeySequence& keys);

    // Builds a QMenuBar showing this menu bar, as a child of parent.
    QMenuBar* CreateWidget(QWidget* parent);

private:
    MenuItem m_root;
};
