// The floating link areas: up to five invisible areas over the background picture, each
// opening its branding link.
#include "calendar_window/CalendarWindow.h"
#include "framework/ShowURL.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "framework/Picture.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include <QGuiApplication>
#include <QScreen>

void CalendarWindow::floatingLinkCanvas_Open(int index)
{
    floatingLinkCanvas* area = floatingLinkCanvasAt(index);
    if (!area)
        return;
    if (area->parentWidget() != this)
        area->setParent(this);
    const QString coordinates = CustomizationModule::floatingLinkCoordinates.value(index);
    const QString link = CustomizationModule::floatingLink.value(index);
    const QSize picture = CustomizationModule::BackgroundSize();   // the picture may still be decoding
    const QSize workArea = WorkArea::Rect().size();
    QRect place;
    // An area exists only where it can be clicked and would open its link: without a place
    // (coordinates that are not four numbers, no size, no background picture) or a link that
    // is not a web or mail address it stays hidden, and without a help tag, so that coming
    // back from the week at a glance leaves it hidden too.
    if (!floatingLinkCanvas::Placement(coordinates, picture, workArea, place) || !IsOpenableURL(link)) {
        area->SetHelpTag(QString());
        area->setVisible(false);
        return;
    }
    area->setGeometry(place);
    area->SetHelpTag(QStringLiteral("Goto ") + link);
    area->SetMouseCursor(Qt::PointingHandCursor);
    area->setVisible(true);
}

void CalendarWindow::floatingLinkCanvas_Paint(int, Graphics&) {}

bool CalendarWindow::floatingLinkCanvas_MouseDown(int index, int, int)
{
    ShowURL(CustomizationModule::floatingLink.value(index));
    return true;
}
