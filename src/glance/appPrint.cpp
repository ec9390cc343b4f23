// Printing: the File menu's print command, which hides what does not belong on paper and
// arms the calendar window's print timer, and the printing of the window's picture through
// the page setup and print dialogs.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "framework/Canvas.h"
#include "framework/MessageBox.h"
#include "framework/Timer.h"
#include "framework/UpDownArrows.h"
#include "glance/PagePrinter.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrinter>

bool app::_FilePrint_Action()
{
    CalendarWindow* window = CalendarWindow::Existing();
    if (!window)
        return false;
    if (TabWindow* tab = TabWindow::Existing())
        tab->setVisible(false);
    window->QuickStartHelp->setVisible(false);
    window->theTimeText->setVisible(false);
    window->MainMenuButton->setVisible(false);
    window->CalendarScrollButton->setVisible(false);
    if (!window->CountdownCanvas->isHidden()) {
        window->CountdownCanvas->setVisible(false);
        window->printHidCountdown = true;
    }
    window->update();
    window->PrintTimer->SetMode(Timer::ModeSingle);
    return false;
}

void app::PrintCalendar(const QImage& picture)
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        // Each print starts from the page setup confirmed last in this run.
        QPageLayout layout = printer.pageLayout();
        if (PagePrinter::ApplySetupString(PrinterSetupString, layout))
            printer.setPageLayout(layout);
        QPointer<QWidget> parent(CalendarWindow::Existing());
        if (!PagePrinter::Ask(PagePrinter::Dialog::PageSetup, printer, parent))
            return;
        PrinterSetupString = PagePrinter::SetupString(printer.pageLayout());
        if (!PagePrinter::Ask(PagePrinter::Dialog::Print, printer, parent))
            return;

        QPainter painter;
        bool printed = painter.begin(&printer);
        if (printed) {
            const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
            PagePrinter::Draw(painter, picture, page.size());
            printed = painter.end();
        }
        if (!printed)
            MsgBox(QStringLiteral("The calendar could not be printed."));
    } catch (...) {
    }
}
