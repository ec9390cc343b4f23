#include "tray/AboutWindow.h"

AboutWindow::AboutWindow()
{
    setWindowTitle(QStringLiteral("About Calendar"));
    resize(420, 300);
}
