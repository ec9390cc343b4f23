// The year view's hover tip: the title of a day's first event in a small rounded tip just
// above the day, while the pointer rests on the day's number.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"

void CalendarWindow::Calendar_MouseMove(int x, int y)
{
    try {
        const calCanvas& grid = *Calendar;
        if (grid.DefaultRowHeight <= 0 || grid.ColumnsWidth <= 0)
            return;
        const int row = ToInt(double(y - grid.MarginHeight) / grid.DefaultRowHeight + grid.ScrollPosition + 1);
        const int column = ToInt(double(x - grid.MarginWidth) / grid.ColumnsWidth);
        // Only the left half of a cell, where the day's number stands, reacts.
        if (!(x < grid.MarginWidth + double(column) * grid.ColumnsWidth + grid.ColumnsWidth / 2.0))
            return;
        if (!(1 < row && row < grid.ListCount && 0 < column && column < grid.ColumnCount))
            return;
        // The shown year's band of the cell table; a year outside the three has none.
        const int tableRow = (App().selectedDate.Year() - CustomizationModule::calendarStartYear) * 27 + row;
        if (tableRow < 0 || tableRow >= grid.ListCount)
            return;
        const QString cell = grid.CellTag(tableRow, column);
        if (InStr(cell, QStringLiteral("//")) > 0) {
            const QString title = NthField(cell, QStringLiteral("//"), 2);
            if (!TextEquals(title, tipCanvas->currentText))
                showHoverTip(title, row, column);
        } else {
            HideHoverTip();
        }
    } catch (...) {
    }
}

void CalendarWindow::Calendar_MouseExit() { HideHoverTip(); }

void CalendarWindow::HideHoverTip()
{
    if (!tipCanvas || tipCanvas->isHidden())
        return;
    tipCanvas->setVisible(false);
    tipCanvas->currentText.clear();
}

void CalendarWindow::showHoverTip(const QString& title, int row, int column)
{
    // Measured and drawn in the default font at 9 pixels.
    const PicturePtr scratch = Picture::New(1, 1, 32);
    Graphics& measure = scratch->Graphics();
    measure.SetTextSize(9);
    const int w = ToInt(measure.StringWidth(title) + 20);
    const int h = tipCanvas->height();

    // The body is one step off white, so that it is drawn while the corners outside the
    // rounded rectangle, left white, let what lies behind the tip show through.
    const PicturePtr tip = Picture::New(w, h, 32);
    tip->SetTransparent(1);
    Graphics& g = tip->Graphics();
    g.SetForeColor(QColor(254, 254, 254));
    g.FillRoundRect(0, 0, w, h, 14, 14);
    g.SetForeColor(QColor(180, 180, 180));
    g.DrawRoundRect(0, 0, w, h, 14, 14);
    g.SetForeColor(QColor(60, 60, 60));
    g.SetTextSize(9);
    g.DrawString(title, 10, h - 4);
    tipCanvas->SetBackdrop(tip);
    tipCanvas->currentText = title;

    // Over the cell's top edge, overlapping it by 6 pixels; a tip that would pass the year
    // view's right edge ends 12 pixels right of the cell's left edge instead.
    const int cellLeft = Calendar->MarginWidth + column * Calendar->ColumnsWidth;
    const int left = Calendar->width() < cellLeft + w ? cellLeft - w + 12 : cellLeft;
    const int top = Calendar->y() + Calendar->MarginHeight + (row - 1) * Calendar->DefaultRowHeight - h + 6;
    tipCanvas->setGeometry(Calendar->x() + left, top, w, h);
    tipCanvas->setVisible(true);
}
