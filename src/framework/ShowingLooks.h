#pragma once

// The pace and the end of the looks that the minimise guard (Window::KeepToFrame) takes at a
// window it restored. A window manager may drop a restore and say nothing more (metacity does
// amid minimises in quick succession), and Qt reports a state only when it differs from the
// one it reported last, so a minimise that follows a dropped restore goes unseen: the guard
// looks at the window on the X server and asks again until the window has stood shown for a
// while (Qt has then read every change of state before it, so the next minimise is reported).
// A look every 100 ms, one every 500 ms after 30 refused restores in a row; the looks end once
// the window was found shown 5 looks in a row, or after 50 refused restores in a row, some
// 13 s: a window manager that keeps refusing for that long means it (metacity's "show
// desktop" minimises every window), and the guard waits for the window's next change of state.
class ShowingLooks
{
public:
    enum class Next { Stop, Look, RestoreAndLook };
    // What follows a look that found the window shown, or not.
    Next After(bool shown);
    // Milliseconds until the next look.
    int Delay() const;

private:
    int m_refusals = 0;     // restores refused in a row
    int m_shownLooks = 0;   // looks in a row that found the window shown
};
