#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

// Minimal help window until it is built out.
class HelpWindow : public Window
{
    Q_OBJECT
public:
    HelpWindow();
    static HelpWindow* Instance() { return WindowAccessor<HelpWindow>::Get(); }
};
