#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

// Stand-in calendar window: a frameless window titled "Calendar" covering the work area.
class CalendarWindow : public Window
{
    Q_OBJECT
public:
    CalendarWindow();
    static CalendarWindow* Instance() { return WindowAccessor<CalendarWindow>::Get(); }
    static CalendarWindow* Existing() { return WindowAccessor<CalendarWindow>::Existing(); }

    void SaveEvents();
    void ScrollUp();
    void ScrollDown();

protected:
    void Event_Open() override;
    void Event_Close() override;
    void Event_Activate() override;
    void Event_EnableMenuItems() override;
};
