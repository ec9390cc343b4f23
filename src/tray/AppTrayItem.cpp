#include "tray/AppTrayItem.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/Date.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/MenuItem.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include "tray/AboutWindow.h"
#include "tray/AboutWindowCustom.h"
#include "tray/PreferencesWindow.h"
#include "tray/TrayWindow.h"
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {

const QString kAbout = QStringLiteral("&About Calendar");
const QString kShowMini = QStringLiteral("Show Mini Calendar");
const QString kHideMini = QStringLiteral("Hide Mini Calendar");
const QString kPreferences = QStringLiteral("Preferences");
const QString kTodoItems = QStringLiteral("To Do Items");

std::shared_ptr<MenuItem> item(const QString& text) { return std::make_shared<MenuItem>(QString(), text); }

// "To Do Items" is a submenu even when it holds no entry; nothing below it is one.
bool isSubmenu(const MenuItem& entry, bool root)
{
    return root && (entry.Count() > 0 || entry.Text == kTodoItems);
}

// Whether the menu's actions have the model's shape: the same number, separators and
// submenus in the same places. Then only their texts need to follow the model.
bool sameShape(const QList<QAction*>& actions, const MenuItem& model, bool root)
{
    if (actions.size() != model.Count())
        return false;
    for (int i = 0; i < model.Count(); ++i) {
        const MenuItem& entry = *model.Item(i);
        if (actions[i]->isSeparator() != entry.IsSeparator())
            return false;
        if ((actions[i]->menu() != nullptr) != isSubmenu(entry, root))
            return false;
    }
    return true;
}

} // namespace

AppTrayItem::AppTrayItem() : m_menu(std::make_unique<QMenu>()), m_icon(new QSystemTrayIcon(this))
{
    // Queued: a host's D-Bus call (Activate, ContextMenu) is answered before anything runs.
    connect(
        m_icon, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                Event_Action(CauseLeftClick);
            else if (reason == QSystemTrayIcon::Context)
                Event_Action(CauseRightClick);
        },
        Qt::QueuedConnection);
    UpdateIcon();
    m_icon->setToolTip(QStringLiteral("Lumora Calendar"));
    // The whole menu exists before the icon takes it: Qt makes the exported copy of each
    // submenu when the menu is handed over. Exported, the texts follow the menu protocol's
    // rules from then on.
    connect(m_menu.get(), &QMenu::aboutToShow, this, &AppTrayItem::UpdateMenu);
    UpdateMenu();
    m_icon->setContextMenu(m_menu.get());
    UpdateMenu();
}

AppTrayItem::~AppTrayItem()
{
    delete m_popup;
    // The icon leaves the tray before the menu it shows is gone.
    delete m_icon;
    m_icon = nullptr;
}

void AppTrayItem::Install() { m_icon->show(); }
void AppTrayItem::Remove() { m_icon->hide(); }
bool AppTrayItem::IsInstalled() const { return m_icon->isVisible(); }
QString AppTrayItem::HelpTag() const { return m_icon->toolTip(); }

PicturePtr AppTrayItem::IconPicture(int dayOfMonth)
{
    PicturePtr icon = Picture::New(32, 32, 32);
    Graphics& g = icon->Graphics();
    if (PicturePtr base = InterfacePictures::CalTrayIcon())
        g.DrawPicture(base, 0, 0, 32, 32, 0, 0, base->Width(), base->Height());
    // Every pixel of the icon is opaque.
    icon->Mask()->Graphics().FillRect(0, 0, 32, 32);
    g.SetTextSize(16);
    g.SetTextFont(QStringLiteral("Arial"));
    g.SetBold(true);
    g.SetForeColor(QColor(30, 30, 30));
    const QString text = Str(dayOfMonth);
    const int w = ToInt(g.StringWidth(text));
    g.DrawString(text, ToInt(16 - w / 2.0), 24);
    return icon;
}

void AppTrayItem::SetWindowIconToToday()
{
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(IconPicture(Date().Day())->Composited())));
}

void AppTrayItem::UpdateIcon()
{
    const Date today;
    m_iconPicture = IconPicture(today.Day());
    const QIcon icon(QPixmap::fromImage(m_iconPicture->Composited()));
    m_icon->setIcon(icon);
    // Every window shows the same picture where a window manager or a task list shows one.
    QApplication::setWindowIcon(icon);
}

void AppTrayItem::Event_Action(int cause)
{
    if (cause == CauseLeftClick) {
        if (App().TrayWindowOpen) {
            if (TrayWindow* window = TrayWindow::Existing())
                window->CloseWindow();
        } else {
            TrayWindow::Instance()->show();
        }
    } else if (cause == CauseRightClick) {
        // An XEmbed tray has shown the menu on the press already; a StatusNotifier host
        // that asks for it gets it at the pointer. popup() returns at once. The exported
        // menu's texts follow the protocol's rules, so the pop-up is a copy of its own.
        if (m_menu->isVisible() || (m_popup && m_popup->isVisible()))
            return;
        if (!isExported()) {
            m_menu->popup(QCursor::pos());
            return;
        }
        delete m_popup;
        m_popup = new QMenu();
        connect(m_popup, &QMenu::aboutToHide, m_popup, &QObject::deleteLater);
        fillMenu(*m_popup, *BuildMenu(), true, false);
        m_popup->popup(QCursor::pos());
    }
}

std::shared_ptr<MenuItem> AppTrayItem::BuildMenu()
{
    auto root = item(QString());
    root->Append(item(kAbout));
    root->Append(item(QStringLiteral("-")));
    auto todo = item(QString());
    todo->Text = kTodoItems;
    if (CalendarWindow* calendar = CalendarWindow::Existing(); calendar && calendar->TodoList) {
        const ListBox* list = calendar->TodoList;
        for (int row = 0; row < list->ListCount(); ++row)
            if (!list->CellCheck(row, 0))
                todo->Append(item(list->Cell(row, 1)));
    }
    root->Append(todo);
    root->Append(item(App().TrayWindowOpen ? kHideMini : kShowMini));
    root->Append(item(QStringLiteral("-")));
    root->Append(item(kPreferences));
    return root;
}

bool AppTrayItem::RunCommand(const QString& text)
{
    if (text == kAbout) {
        if (CustomizationModule::customAboutWindow)
            AboutWindowCustom::Instance()->show();
        else
            AboutWindow::Instance()->show();
    } else if (text == kShowMini) {
        TrayWindow::Instance()->show();
    } else if (text == kHideMini) {
        if (TrayWindow* window = TrayWindow::Existing())
            window->CloseWindow();
    } else if (text == kPreferences) {
        PreferencesWindow::Instance()->show();
    } else {
        return false;
    }
    return true;
}

QString AppTrayItem::EntryText(const QString& text, bool command, bool exported)
{
    if (command)
        return text;
    // Exported, "__" shows one "_" and a single "_" marks the mnemonic. Qt turns the first
    // "&" of the text into that mark: the first "&" is doubled, so that the mark falls on
    // the "&" itself, which then shows as it is. In Qt's own menu "&&" shows one "&".
    if (exported) {
        QString shown = QString(text).replace(QLatin1Char('_'), QStringLiteral("__"));
        const qsizetype amp = shown.indexOf(QLatin1Char('&'));
        return amp < 0 ? shown : shown.insert(amp, QLatin1Char('&'));
    }
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool AppTrayItem::isExported() const { return m_menu->platformMenu() != nullptr; }

void AppTrayItem::UpdateMenu() { fillMenu(*m_menu, *BuildMenu(), true, isExported()); }

void AppTrayItem::StateChanged()
{
    // Queued: the change may be half done (a row about to move, a list still filling),
    // and a burst of changes updates the menu once. Qt tells the host what changed.
    AppTrayItem* item = App().mAppTrayItem;
    if (!item || item->m_updatePending)
        return;
    item->m_updatePending = true;
    QMetaObject::invokeMethod(
        item,
        [item] {
            item->m_updatePending = false;
            item->UpdateMenu();
        },
        Qt::QueuedConnection);
}

void AppTrayItem::fillMenu(QMenu& menu, const MenuItem& model, bool root, bool exported)
{
    const QList<QAction*> actions = menu.actions();
    if (!sameShape(actions, model, root)) {
        for (QAction* action : actions) {
            menu.removeAction(action);
            if (QMenu* sub = action->menu())
                sub->deleteLater();     // it may be the menu whose signal is running
            if (action->parent() == &menu)
                delete action;
        }
        for (int i = 0; i < model.Count(); ++i)
            addEntry(menu, *model.Item(i), root, exported);
        return;
    }
    for (int i = 0; i < model.Count(); ++i) {
        const MenuItem& entry = *model.Item(i);
        QAction* action = actions[i];
        if (entry.IsSeparator())
            continue;
        const QString text = EntryText(entry.Text, root, exported);
        if (action->text() != text)
            action->setText(text);
        if (QMenu* sub = action->menu())
            fillMenu(*sub, entry, false, exported);
        else if (root)
            action->setData(entry.Text);
    }
}

void AppTrayItem::addEntry(QMenu& menu, const MenuItem& entry, bool root, bool exported)
{
    const QString text = EntryText(entry.Text, root, exported);
    if (entry.IsSeparator()) {
        menu.addSeparator();
    } else if (isSubmenu(entry, root)) {
        QMenu* sub = menu.addMenu(text);
        if (&menu == m_menu.get())
            connect(sub, &QMenu::aboutToShow, this, &AppTrayItem::UpdateMenu);
        fillMenu(*sub, entry, false, exported);
    } else {
        QAction* action = menu.addAction(text);
        // Only the menu's own commands run; a to-do entry is no command, whatever it says.
        if (!root)
            return;
        action->setData(entry.Text);
        connect(action, &QAction::triggered, this, [this, action] {
            // Queued: the menu (or the host's D-Bus call) is done before a window opens.
            const QString command = action->data().toString();
            QMetaObject::invokeMethod(
                this,
                [command] {
                    if (!App().Closing)
                        RunCommand(command);
                },
                Qt::QueuedConnection);
        });
    }
}
