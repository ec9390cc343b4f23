// The countdown tile: placed at the bottom-left of the calendar area, painted from its
// rendered picture, dragged anywhere inside the window, and a click on it opens the
// countdown dialog; a countdown whose day or title the dialog changed is saved at once.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/cCanvas.h"
#include "data/EventRecord.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "framework/WorkArea.h"
#include "glance/CountdownInputWindow.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <algorithm>

namespace {
// The countdown's title as the tile shows it.
QString countdownTitle()
{
    const QString key = App().countdownDate.SQLDateTime();
    return App().eventDict.HasKey(key) ? EventRecord::Title(App().eventDict.Value(key)) : QStringLiteral("Christmas");
}
} // namespace

// The tile is a control of the window itself (never of a control under it): at the
// bottom-left of the calendar area, 5 pixels in from its left and bottom edges.
void CalendarWindow::CountdownCanvas_Open()
{
    App().EventsLoaded();
    const int availH = WorkArea::Rect().height();
    CountdownCanvas->move(5, ToInt(availH * CustomizationModule::TitleAreaHeightPercent
                                   + availH * CustomizationModule::CalendarAreaHeightPercent
                                   - CountdownCanvas->height() - 5));
    CountdownCanvas->setVisible(App().showCoundownCalendar);
    CountdownCanvas->updateCountdown();
}

void CalendarWindow::CountdownCanvas_Paint(Graphics& g)
{
    if (CountdownCanvas->cachedImage)
        g.DrawPicture(CountdownCanvas->cachedImage, 0, 0);
}

bool CalendarWindow::CountdownCanvas_MouseDown(int x, int y)
{
    CountdownCanvas->InX = x;
    CountdownCanvas->InY = y;
    CountdownCanvas->iMoved = false;
    return true;
}

// The grab point stays under the pointer. The tile stays wholly inside the window, so that
// it can always be grabbed again.
void CalendarWindow::CountdownCanvas_MouseDrag(int x, int y)
{
    cCanvas* tile = CountdownCanvas;
    if (x == tile->InX && y == tile->InY)
        return;
    const int left = std::clamp(tile->x() + (x - tile->InX), 0, std::max(0, width() - tile->width()));
    const int top = std::clamp(tile->y() + (y - tile->InY), 0, std::max(0, height() - tile->height()));
    tile->move(left, top);
    tile->iMoved = true;
}

// After a drag the tile only repaints. A click opens the countdown dialog; when the dialog
// has left a countdown whose day or title differs from before, the events file is written.
// The dialog's close, which commits, has rendered the tile and the views again.
void CalendarWindow::CountdownCanvas_MouseUp(int /*x*/, int /*y*/)
{
    if (CountdownCanvas->iMoved) {
        CountdownCanvas->Refresh(true);
        return;
    }
    const QString dateBefore = App().countdownDate.SQLDateTime();
    const QString titleBefore = countdownTitle();

    QPointer<CalendarWindow> self(this);
    CountdownInputWindow::Instance()->ShowModal();
    // The dialog ran its own event loop: this window may have closed meanwhile.
    if (!self || self->IsClosed())
        return;

    const QString key = App().countdownDate.SQLDateTime();
    if (!App().eventDict.HasKey(key))
        return;
    if (key != dateBefore || EventRecord::Title(App().eventDict.Value(key)) != titleBefore)
        SaveEvents();
}
