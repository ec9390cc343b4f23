// The print capture: 500 ms after a print command hid the window's extras, the window is
// drawn into a picture (the year view without today's red mark), framed, printed, and the
// hidden controls come back.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "framework/UpDownArrows.h"
#include "glance/PrintCapture.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>

namespace {

// Where today's red mark can stand in the picture of the window: around today's day cell,
// when the year view shows today's year. The mark is an outline circle one row high that
// starts one pixel left of the cell's column and rises from the day's baseline; the band
// leaves room above and below, since only pixels of exactly the mark's colour change.
QRect todayMarkBand(const CalendarWindow& window)
{
    const calCanvas& year = *window.Calendar;
    int row = 0, column = 0;
    if (!CalendarWindow::CalDateCell(App().currentDate, row, column))
        return {};
    const int band = App().selectedDate.Year() - CustomizationModule::calendarStartYear;
    if (row / 27 != band)
        return {};
    const int rh = year.DefaultRowHeight;
    const int x = year.x() + year.MarginWidth + column * year.ColumnsWidth;
    const int baseline = year.y() + year.MarginHeight + (row - band * 27) * rh;
    return QRect(QPoint(x - 2, baseline - 2 * rh - 2), QPoint(x + rh + 1, baseline + rh + 2));
}

} // namespace

QImage CalendarWindow::PrintPicture()
{
    QImage picture(size(), QImage::Format_ARGB32);
    if (picture.isNull())
        return picture;
    picture.fill(QColor(255, 255, 255));
    // The menu bar laid over the corner stands in for the menu button: not on paper either.
    QMenuBar* bar = menuBarWidget();
    const bool barShown = bar && !bar->isHidden();
    if (barShown)
        bar->hide();
    render(&picture);
    if (barShown)
        bar->show();
    if (Calendar->isVisibleTo(this))
        PrintCapture::RemoveMark(picture, todayMarkBand(*this));
    PrintCapture::DrawFrame(picture);
    return picture;
}

void CalendarWindow::PrintTimer_Action()
{
    QPointer<CalendarWindow> self(this);
    {
        const QImage picture = PrintPicture();
        if (!picture.isNull())
            App().PrintCalendar(picture);
    }
    // The dialogs ran their own event loops: this window may have closed meanwhile.
    if (TabWindow* tab = TabWindow::Existing())
        tab->setVisible(true);
    if (!self || self->IsClosed())
        return;
    theTimeText->setVisible(!CustomizationModule::hideTime);
    MainMenuButton->setVisible(false);
    CalendarScrollButton->setVisible(true);
    if (printHidCountdown) {
        CountdownCanvas->setVisible(true);
        printHidCountdown = false;
    }
}
