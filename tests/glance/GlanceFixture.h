#pragma once
#include "calendar_window/CalendarWindowFixture.h"
#include "calendar_window/MiniCalList.h"
#include "calendar_window/calCanvas.h"
#include "glance/calList.h"
#include "framework/WidgetEvents.h"
#include "glance/GlanceInputWindow.h"
#include "glance/PopUpMenu.h"
#include <QImage>
#include <QTimer>
#include <functional>

// A calendar window showing the week at a glance of Wednesday 18 June 2025, with the grid
// starting at 8:00, the branding's event colours set and pop-up menus answered by the test.
class GlanceFixture : public CalendarWindowFixture
{
protected:
    void SetUp() override
    {
        CalendarWindowFixture::SetUp();
        App().StartTime = 8;
        CM::glanceEventHeaderColor = QColor(118, 190, 204);
        CM::glanceEventColor = QColor(178, 220, 228);
        m_previousChooser = PopUpMenu::SetChooser([this](const QStringList& items) {
            popUpItems = items;
            return popUpAnswer;
        });
    }
    void TearDown() override
    {
        PopUpMenu::SetChooser(m_previousChooser);
        CalendarWindowFixture::TearDown();
    }

    // Opens the calendar window on the week of day and shows the week at a glance.
    CalendarWindow* openWeek(const Date& day = Date(2025, 6, 18, 12, 0, 0))
    {
        CalendarWindow* w = open();
        App().selectedDate = day;
        w->ReloadCalLists();
        w->GlanceOn();
        return w;
    }

    static QPoint centre(const ListBox* list, int row, int column) { return list->CellRect(row, column).center(); }

    // Presses the grid at point; while an event dialog runs, act is called with it, and the
    // dialog is closed afterwards if act left it open. Returns whether a dialog ran.
    bool pressGrid(CalendarWindow* w, QPoint point, const std::function<void(GlanceInputWindow*)>& act = {})
    {
        QObject scope;
        bool ran = false;
        QTimer::singleShot(0, &scope, [&] {
            GlanceInputWindow* dialog = GlanceInputWindow::Existing();
            if (!dialog)
                return;
            ran = true;
            QPointer<GlanceInputWindow> alive(dialog);
            if (act)
                act(dialog);
            if (alive && !alive->IsClosed())
                alive->CloseWindow();
        });
        WidgetEvents::press(w->GlanceList, point);
        WidgetEvents::release(w->GlanceList, point);
        flush();
        return ran;
    }
    bool clickCell(CalendarWindow* w, int row, int column, const std::function<void(GlanceInputWindow*)>& act = {})
    {
        return pressGrid(w, centre(w->GlanceList, row, column), act);
    }

    // The year view's tag of day.
    static QString yearTag(CalendarWindow* w, const Date& day)
    {
        int row = 0, column = 0;
        CalendarWindow::CalDateCell(day, row, column);
        return w->Calendar->CellTag(row, column);
    }

    static QImage render(QWidget* widget)
    {
        QImage image(widget->size(), QImage::Format_ARGB32);
        image.fill(QColor(255, 0, 255));
        widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }

    QStringList popUpItems;
    int popUpAnswer = -1;

private:
    PopUpMenu::Chooser m_previousChooser;
};
