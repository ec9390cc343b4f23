#include "tray/HelpWindow.h"

HelpWindow::HelpWindow()
{
    setWindowTitle(QStringLiteral("Help"));
    resize(420, 300);
}
