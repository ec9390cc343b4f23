// Painting of the week grid: hour bands, the time column, the selected day, event blocks
// with their titles, day notes and holidays. Every cell is drawn here from its tag and the
// event store; the painting changes nothing and never shows a message.
#include "calendar_window/CalendarWindow.h"
#include "data/EventRecord.h"
#include "data/WeekGrid.h"
#include "glance/calList.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"

namespace {

QColor grey(int v) { return QColor(v, v, v); }

const QColor EdgeColor = grey(100);

// The title of the entry stored under d, or "" when there is none.
QString titleAt(const Date& d)
{
    const QString key = d.SQLDateTime();
    const Dictionary& store = App().eventDict;
    return store.HasKey(key) ? EventRecord::Title(store.Value(key)) : QString();
}

void drawCentred(Graphics& g, const QString& text, int w, int baseline)
{
    g.DrawString(text, ToInt(w / 2.0 - g.StringWidth(text) / 2.0), baseline);
}

// The time column: the picture behind the labels, the hour labels, its lines, and the
// captions of the day-note and holiday rows.
void paintTimeCell(Graphics& g, int row, int w, int h, int startHour)
{
    g.SetForeColor(grey(0));
    const PicturePtr picture = InterfacePictures::Glancetimebackground();
    const int pw = picture ? picture->Width() : 0;
    const int half = picture ? picture->Height() / 2 : 0;
    if (row < WeekGrid::SlotRows && row % 2 == 0) {
        if (picture)
            g.DrawPicture(picture, 0, 0, w, h, 0, 0, pw, half);
        const QString label = Date(2000, 1, 1, startHour + row / 2, 0, 0).ShortTime();
        g.DrawString(label, ToInt(w - g.StringWidth(label) - 4), h - 1);
        g.SetForeColor(grey(200));
        g.DrawLine(w - 1, 0, w - 1, h);
    } else if (row < WeekGrid::SlotRows) {
        // The lower half of the picture at its own scale, as far as the picture reaches.
        const int sourceHeight = picture ? std::min(h, picture->Height() - half) : 0;
        if (picture && sourceHeight > 0)
            g.DrawPicture(picture, 0, 0, w, sourceHeight, 0, half, pw, sourceHeight);
        g.SetForeColor(grey(200));
        g.DrawLine(w - 1, 0, w - 1, h);
        g.SetForeColor(grey(140));
        g.DrawLine(0, h - 1, w, h - 1);
    } else if (row == WeekGrid::DayNoteRow) {
        const QString caption = QStringLiteral("Day Note");
        g.DrawString(caption, ToInt(w - g.StringWidth(caption) - 4), g.StringHeight(caption) - 2);
        g.SetForeColor(grey(160));
        g.DrawLine(0, 1, w, 1);
    } else {
        const QString caption = QStringLiteral("Holiday");
        g.SetItalic(true);
        g.DrawString(caption, ToInt(w - g.StringWidth(caption) - 4), g.StringHeight(caption) - 3);
        g.SetForeColor(grey(140));
        g.DrawLine(0, h - 1, w, h - 1);
    }
}

// One cell of a timed event's block: rounded at the event's top and bottom, straight
// sides between, the title on the first cell.
void paintEventCell(Graphics& g, const QString& code, const Date& slot, int w, int h)
{
    const QColor head = CustomizationModule::glanceEventHeaderColor;
    const QColor body = CustomizationModule::glanceEventColor;
    if (code == QLatin1String("1") || code == QLatin1String("4")) {
        g.SetForeColor(head);
        g.FillRoundRect(1, 0, w - 3, h, 14, 14);
        g.SetForeColor(EdgeColor);
        g.DrawRoundRect(0, 0, w - 1, h, 14, 14);
        if (code == QLatin1String("1")) {
            g.SetForeColor(head);
            g.FillRect(1, 8, w - 3, h);
            g.SetForeColor(EdgeColor);
            g.DrawLine(0, 8, 0, h);
            g.DrawLine(w - 2, 8, w - 2, h);
        }
        g.SetTextFont(QStringLiteral("Arial"));
        g.SetTextSize(10);
        g.SetForeColor(grey(30));
        drawCentred(g, titleAt(slot), w, 12);
    } else if (code == QLatin1String("2")) {
        g.SetForeColor(body);
        g.FillRect(1, 0, w - 3, h);
        g.SetForeColor(EdgeColor);
        g.DrawLine(0, -1, 0, h);
        g.DrawLine(w - 2, -1, w - 2, h);
    } else if (code == QLatin1String("3")) {
        g.SetForeColor(body);
        g.FillRoundRect(1, 0, w - 3, h, 14, 14);
        g.SetForeColor(EdgeColor);
        g.DrawRoundRect(0, 0, w - 1, h, 14, 14);
        g.SetForeColor(body);
        g.FillRect(1, 0, w - 3, 8);
        g.SetForeColor(EdgeColor);
        g.DrawLine(0, -1, 0, 8);
        g.DrawLine(w - 2, -1, w - 2, 8);
    }
}

} // namespace

bool CalendarWindow::GlanceList_CellBackgroundPaint(Graphics& g, int row, int column)
{
    try {
        const int w = g.Width();
        const int h = g.Height();
        g.SetForeColor((row / 2) % 2 == 1 ? grey(210) : grey(220));
        g.FillRect(0, 0, w, h);
        if (row >= GlanceList->ListCount() || row >= WeekGrid::RowCount)
            return false;

        const Date& selected = App().selectedDate;
        const int startHour = App().StartTime;
        const Date sunday = WeekGrid::WeekSunday(selected);
        const Date day(sunday.Year(), sunday.Month(), sunday.Day() + column - 1);
        if (day.SQLDate() == selected.SQLDate() && row < WeekGrid::SlotRows) {
            g.SetForeColor(grey(200));
            g.FillRect(0, 0, w, h);
        }
        if (row >= WeekGrid::SlotRows) {
            g.SetForeColor(grey(188));
            g.FillRect(0, 0, w, h);
        }
        if (column == 0) {
            paintTimeCell(g, row, w, h, startHour);
            return false;
        }

        g.SetForeColor(row % 2 == 0 ? grey(200) : grey(170));
        g.DrawLine(-1, h - 1, w + 1, h - 1);
        if (row == WeekGrid::DayNoteRow) {
            g.SetForeColor(grey(160));
            g.DrawLine(0, 1, w, 1);
        }
        g.SetForeColor(grey(180));
        g.DrawLine(w - 1, 0, w - 1, h);

        if (row < WeekGrid::SlotRows) {
            const QString tag = GlanceList->CellTag(row, column);
            if (tag.contains(QLatin1Char('|')))
                paintEventCell(g, NthField(tag, QStringLiteral("|"), 2),
                               WeekGrid::SlotTime(sunday, column, row, startHour), w, h);
        } else if (row == WeekGrid::DayNoteRow) {
            g.SetForeColor(QColor(0, 0, 160));
            drawCentred(g, titleAt(Date(day.Year(), day.Month(), day.Day(), 0, 0, 1)), w, 12);
        } else {
            // Measured as one line: a long title is cut by the cell, never lost.
            const QString title = titleAt(day);
            g.SetForeColor(grey(0));
            g.SetItalic(true);
            drawCentred(g, title, w, g.StringHeight(title) - 3);
        }
    } catch (...) {
        // A cell that cannot be painted keeps what it has; the next cells paint as usual.
    }
    return false;
}
