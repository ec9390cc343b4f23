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
#include <QCursor>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {

const QString kAbout = QStringLiteral("&About Calendar");
const QString kShowMini = QStringLiteral("Show Mini Calendar");
const QString kHideMini = QStringLiteral("Hide Mini Calendar");
const QString kPreferences = QStringLiteral("Preferences");

AppTrayItem::MenuChooser& chooser()
{
    static AppTrayItem::MenuChooser current;
    return current;
}

std::shared_ptr<MenuItem> item(const QString& text) { return std::make_shared<MenuItem>(QString(), text); }

// A to-do text shown as it is: "&" is no mnemonic here.
QString menuText(const MenuItem& entry)
{
    return entry.Text == kAbout ? entry.Text : QString(entry.Text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The root's items; "To Do Items" is a submenu even when it holds no entry.
void fill(QMenu& menu, MenuItem& parent, QHash<QAction*, MenuItem*>& actions, bool root)
{
    for (int i = 0; i < parent.Count(); ++i) {
        MenuItem* entry = parent.Item(i);
        if (entry->IsSeparator()) {
            menu.addSeparator();
        } else if (root && (entry->Count() > 0 || entry->Text == QLatin1String("To Do Items"))) {
            QMenu* sub = menu.addMenu(menuText(*entry));
            fill(*sub, *entry, actions, false);
        } else {
            actions.insert(menu.addAction(menuText(*entry)), entry);
        }
    }
}

} // namespace

AppTrayItem::AppTrayItem() : m_icon(new QSystemTrayIcon(this))
{
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Event_Action(CauseLeftClick);
        else if (reason == QSystemTrayIcon::Context)
            Event_Action(CauseRightClick);
    });
    UpdateIcon();
    m_icon->setToolTip(QStringLiteral("Lumora Calendar"));
}

AppTrayItem::~AppTrayItem() = default;

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

void AppTrayItem::UpdateIcon()
{
    const Date today;
    m_iconPicture = IconPicture(today.Day());
    m_icon->setIcon(QIcon(QPixmap::fromImage(m_iconPicture->Composited())));
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
        showMenu();
    }
}

std::shared_ptr<MenuItem> AppTrayItem::BuildMenu()
{
    auto root = item(QString());
    root->Append(item(kAbout));
    root->Append(item(QStringLiteral("-")));
    auto todo = item(QString());
    todo->Text = QStringLiteral("To Do Items");
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

AppTrayItem::MenuChooser AppTrayItem::SetMenuChooser(MenuChooser next)
{
    MenuChooser previous = chooser();
    chooser() = std::move(next);
    return previous;
}

MenuItem* AppTrayItem::PopUp(MenuItem& root)
{
    if (chooser())
        return chooser()(root);
    QMenu menu;
    QHash<QAction*, MenuItem*> actions;
    fill(menu, root, actions, true);
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? actions.value(chosen) : nullptr;
}

void AppTrayItem::showMenu()
{
    // One tray menu at a time; the item may be gone when the menu returns.
    if (m_menuOpen)
        return;
    m_menuOpen = true;
    QPointer<AppTrayItem> self(this);
    const std::shared_ptr<MenuItem> root = BuildMenu();
    MenuItem* chosen = PopUp(*root);
    if (!self)
        return;
    m_menuOpen = false;
    if (!chosen || App().Closing)
        return;
    // Only the menu's own commands run: choosing a to-do entry does nothing, whatever it says.
    for (int i = 0; i < root->Count(); ++i)
        if (root->Item(i) == chosen) {
            RunCommand(chosen->Text);
            return;
        }
}
