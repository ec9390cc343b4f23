#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

// Minimal about window until it is built out.
class AboutWindow : public Window
{
    Q_OBJECT
public:
    AboutWindow();
    static AboutWindow* Instance() { return WindowAccessor<AboutWindow>::Get(); }
};
