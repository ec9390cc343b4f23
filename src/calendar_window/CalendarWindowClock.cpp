// The clock in the title area and the day-change timer; the bottom picture's scroll timer.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "framework/Date.h"
#include "framework/TextFunctions.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/AppTrayItem.h"
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

void CalendarWindow::theTimeText_Open()
{
    if (CustomizationModule::hideTime)
        theTimeText->setVisible(false);
    if (QWidget* container = theTimeText->parentWidget(); container && container != this)
        theTimeText->setParent(this);
    const int availH = WorkArea::Rect().height();
    theTimeText->move(theTimeText->x(),
                      ToInt(availH * CustomizationModule::TitleAreaHeightPercent - theTimeText->height() - 2));
    QPalette p = theTimeText->palette();
    p.setColor(QPalette::WindowText, CustomizationModule::timeTextColor);
    theTimeText->setPalette(p);
    // The time of opening, so that a rebuilt window's clock is right at once.
    theTimeText->setText(Date().ShortTime());
}

void CalendarWindow::TimeTimer_Action()
{
    try {
        const Date now;
        theTimeText->setText(now.ShortTime());
        app& application = App();
        if (application.currentDate.ShortDate() == now.ShortDate())
            return;
        const bool newSeason = application.getSeason(application.currentDate) != application.getSeason(now);
        application.currentDate = now;
        if (application.mAppTrayItem)
            application.mAppTrayItem->UpdateIcon();
        else
            AppTrayItem::SetWindowIconToToday();
        if (newSeason) {
            // Re-read the branding and rebuild the window from the event loop, not from
            // inside this window's own timer, and not while a dialog is open.
            application.ReloadCalendarLater();
            return;
        }
        Calendar->Refresh(true);
        CountdownCanvas->updateCountdown();
        CountdownCanvas->Refresh();
    } catch (...) {
    }
}

void CalendarWindow::DisplayScrollTimer_Action() { BottomCanvas->ScrollHorizontal(); }
