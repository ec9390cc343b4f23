#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

// Minimal preferences window until it is built out.
class PreferencesWindow : public Window
{
    Q_OBJECT
public:
    PreferencesWindow();
    static PreferencesWindow* Instance() { return WindowAccessor<PreferencesWindow>::Get(); }
    // Shows the window in front of parent.
    void ShowWithin(QWidget* parent);
};
