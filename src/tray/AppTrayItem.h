#pragma once
#include <QObject>

class QSystemTrayIcon;

// The tray icon showing today's day number.
class AppTrayItem : public QObject
{
    Q_OBJECT
public:
    AppTrayItem();
    ~AppTrayItem() override;
    // Adds the icon to the tray (no error when there is no tray host).
    void Install();
    void Remove();
    // Draws today's day number on the tray picture and makes it the icon.
    void UpdateIcon();

private:
    QSystemTrayIcon* m_icon = nullptr;
};
