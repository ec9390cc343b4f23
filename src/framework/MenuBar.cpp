#include "framework/MenuBar.h"
#include "framework/Application.h"
#include "framework/Window.h"
#include <QAction>
#include <QMenu>
#include <QMenuBar>

MenuBar::MenuBar() : m_root(QStringLiteral("MenuBar"), QString()) {}
MenuBar::~MenuBar() = default;

namespace {
void collect(MenuItem* item, QVector<MenuItem*>& out)
{
    for (int i = 0; i < item->Count(); ++i) {
        out.append(item->Item(i));
        collect(item->Item(i), out);
    }
}
} // namespace

MenuItem* MenuBar::ItemForShortcut(const QKeySequence& keys)
{
    QVector<MenuItem*> all;
    collect(&m_root, all);
    for (MenuItem* item : all) {
        if (item->IsSeparator() || item->Shortcut.isEmpty())
            continue;
        if (QKeySequence(item->PortableShortcut()) == keys) {
            if (auto* application = Application::Instance())
                application->RunEnableMenuItems();
            return item->Enabled ? item : nullptr;
        }
    }
    return nullptr;
}

QMenuBar* MenuBar::CreateWidget(QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    bar->setNativeMenuBar(false);
    // The window this bar lies in is the front window for whatever is chosen in it: a
    // click on the bar does not make that window the active one, and the window's own
    // handlers (Quick Start Help is handled by the calendar window alone) must still run.
    const QPointer<Window> owner = qobject_cast<Window*>(parent ? parent->window() : nullptr);
    for (int m = 0; m < m_root.Count(); ++m) {
        MenuItem* menuItem = m_root.Item(m);
        QMenu* menu = bar->addMenu(menuItem->Text);
        menu->setObjectName(menuItem->Name);
        const QString menuName = menuItem->Name;
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu, menuName, owner]() {
            if (auto* application = Application::Instance())
                application->RunEnableMenuItems(owner);
            MenuItem* source = Child(menuName);
            if (!source)
                return;
            menu->clear();
            for (int i = 0; i < source->Count(); ++i) {
                MenuItem* item = source->Item(i);
                if (item->IsSeparator()) {
                    menu->addSeparator();
                    continue;
                }
                QString text = item->Text;
                if (!item->Shortcut.isEmpty())
                    text += QLatin1Char('\t') + QKeySequence(item->PortableShortcut()).toString(QKeySequence::NativeText);
                QAction* action = menu->addAction(text);
                action->setObjectName(item->Name);
                action->setEnabled(item->Enabled);
                const QString name = item->Name;
                QObject::connect(action, &QAction::triggered, action, [name, owner]() {
                    // Run after the menu has closed, outside its own handler.
                    QMetaObject::invokeMethod(qApp, [name, owner]() {
                        if (auto* application = Application::Instance())
                            application->DispatchMenuItem(name, owner);
                    }, Qt::QueuedConnection);
                });
            }
        });
        // Give the menu a first filling so its size hint is right.
        menu->addAction(QStringLiteral(" "));
    }
    return bar;
}
