// The home button, the menu toggle strip, the year view's hover tip, the quick start help
// overlay, the maker's logo line and the floating link areas. These stand in until each is
// built: they keep the controls out of the way (hidden where a shown, empty control would
// catch clicks meant for the year view).
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "framework/Canvas.h"

void CalendarWindow::HomeButton_MouseUp(int, int) {}
bool CalendarWindow::HomeButton_MouseDown(int, int) { return false; }
void CalendarWindow::HomeButton_MouseEnter() {}
void CalendarWindow::HomeButton_Open() {}
void CalendarWindow::HomeButton_MouseExit() {}
void CalendarWindow::HomeButton_Paint(Graphics&) {}

void CalendarWindow::MenuBarCanvas_Paint(Graphics&) {}
bool CalendarWindow::MenuBarCanvas_MouseDown(int, int) { return false; }
void CalendarWindow::MenuBarCanvas_Open() {}
void CalendarWindow::MenuBarCanvas_MouseEnter() {}
void CalendarWindow::MenuBarCanvas_MouseExit() {}

void CalendarWindow::Calendar_MouseMove(int, int) {}
void CalendarWindow::Calendar_MouseExit() {}

void CalendarWindow::QuickStartHelp_Open() { QuickStartHelp->setVisible(false); }

bool CalendarWindow::QuickStartHelp_MouseDown(int, int)
{
    QuickStartHelp->setVisible(false);
    return true;
}

void CalendarWindow::QuickStartHelp_Paint(Graphics&) {}

void CalendarWindow::LumoraLogo_Paint(Graphics&) {}
void CalendarWindow::LumoraLogo_Open() {}
bool CalendarWindow::LumoraLogo_MouseDown(int, int) { return false; }

void CalendarWindow::floatingLinkCanvas_Paint(int, Graphics&) {}

void CalendarWindow::floatingLinkCanvas_Open(int index)
{
    if (floatingLinkCanvas* area = floatingLinkCanvasAt(index))
        area->setVisible(false);
}

bool CalendarWindow::floatingLinkCanvas_MouseDown(int, int, int) { return false; }
