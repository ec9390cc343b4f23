#pragma once
#include <QString>
#include <QVector>
#include <memory>

// A menu or a menu item of the menu bar, found by name. Text "-" makes a separator.
// Shortcuts use the "Cmd+W" notation of the menu definitions; Cmd means Ctrl here.
class MenuItem
{
public:
    enum class Kind { Normal, Quit, AppleMenu, Prefs };

    MenuItem(const QString& name, const QString& text, const QString& shortcut = QString(),
             bool autoEnable = false, Kind kind = Kind::Normal);

    QString Name;
    QString Text;
    QString Shortcut;
    bool AutoEnable = false;
    bool Enabled = false;
    Kind ItemKind = Kind::Normal;

    bool IsSeparator() const { return Text == QLatin1String("-"); }
    void Append(std::shared_ptr<MenuItem> item) { m_children.append(std::move(item)); }
    int Count() const { return int(m_children.size()); }
    MenuItem* Item(int index) const;
    // The first item of that name in this item's tree (itself included), or nullptr.
    MenuItem* Child(const QString& name);
    // "Ctrl+W" for "Cmd+W"; "" when there is no shortcut.
    QString PortableShortcut() const;

private:
    QVector<std::shared_ptr<MenuItem>> m_children;
};
