#include "framework/MenuItem.h"

MenuItem::MenuItem(const QString& name, const QString& text, const QString& shortcut,
                   bool autoEnable, Kind kind)
    : Name(name), Text(text), Shortcut(shortcut), AutoEnable(autoEnable), Enabled(autoEnable), ItemKind(kind)
{
}

MenuItem* MenuItem::Item(int index) const
{
    return index >= 0 && index < m_children.size() ? m_children[index].get() : nullptr;
}

MenuItem* MenuItem::Child(const QString& name)
{
    if (Name == name)
        return this;
    for (const auto& child : m_children)
        if (MenuItem* found = child->Child(name))
            return found;
    return nullptr;
}

QString MenuItem::PortableShortcut() const
{
    QString s = Shortcut;
    s.replace(QLatin1String("Cmd+"), QLatin1String("Ctrl+"), Qt::CaseInsensitive);
    return s;
}
