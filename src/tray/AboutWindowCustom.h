#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"

// Minimal custom about window until it is built out.
class AboutWindowCustom : public Window
{
    Q_OBJECT
public:
    AboutWindowCustom();
    static AboutWindowCustom* Instance() { return WindowAccessor<AboutWindowCustom>::Get(); }
};
