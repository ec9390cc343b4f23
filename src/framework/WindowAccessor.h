#pragma once
#include "framework/Window.h"
#include <QPointer>

// One instance per window class: the accessor creates, lays out and opens the window on
// first use, returns it while it is open, and makes a new one after it closed.
template <class T>
class WindowAccessor
{
public:
    static T* Get()
    {
        if (!instance() || instance()->IsClosed()) {
            T* window = new T();
            instance() = window;
            window->Open();
        }
        return instance().data();
    }
    // The open instance, or nullptr; never creates one.
    static T* Existing()
    {
        return instance() && !instance()->IsClosed() ? instance().data() : nullptr;
    }

private:
    static QPointer<T>& instance()
    {
        static QPointer<T> window;
        return window;
    }
};
