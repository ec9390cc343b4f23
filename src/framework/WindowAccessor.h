#pragma once
#include "framework/Window.h"
#include <QPointer>

// One instance per window class: the accessor creates, lays out and opens the window on
// first use, returns it while it is open, and makes a new one after it closed. Make creates
// and lays it out ahead, without opening it: the next Get opens it.
template <class T>
class WindowAccessor
{
public:
    static T* Get()
    {
        T* window = Make();
        window->Open();   // once: a window that is opening or open returns at once
        return window;
    }
    static T* Make()
    {
        if (!instance() || instance()->IsClosed())
            instance() = new T();
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
