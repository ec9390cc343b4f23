#include "tray/PreferencesWindow.h"

PreferencesWindow::PreferencesWindow()
{
    setWindowTitle(QStringLiteral("Preferences"));
    resize(420, 300);
}

void PreferencesWindow::ShowWithin(QWidget* parent)
{
    if (parent)
        move(parent->geometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}
