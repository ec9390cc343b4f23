#pragma once
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QVector>

// When and where the screen is compared with a window's own picture after the picture
// changed, where a compositor shows the window (see ScreenWatch). The arithmetic alone: it
// reads nothing.
//
// The checks of one change follow each other at growing intervals: the first FirstDelay ms
// after the change, each later one twice as long after the one before, at most MaxDelay ms
// apart, and none once the checks of that change have waited GiveUpAfter ms in all (something
// the program cannot see covers the window, or the compositor shows it changed: comparing
// for ever would cost the machine for nothing). A new change starts them anew.
class ScreenCheck
{
public:
    static constexpr int FirstDelay = 60;
    static constexpr int MaxDelay = 480;
    static constexpr int GiveUpAfter = 10000;
    // How far around a window stacked above the compared one its shadow may reach.
    static constexpr int ShadowMargin = 40;
    // A busy compositor may clear damage a second or two after its copy, taking none of the
    // hand-overs meanwhile: these last some 3 s at MaxDelay.
    static constexpr int UnseenHandOvers = 8;

    // Starts the checks anew: the picture changed.
    void Restart();
    // The delay before the next check in ms, or -1: the checks are given up.
    int Next();
    // Whether the window is to be handed over again where the screen differs from it and stood
    // still since the last check; counts the hand-over. After UnseenHandOvers of them in a row
    // that left the screen as it was, no more: what differs is drawn over the window by
    // something the program cannot see (GNOME Shell draws its notifications and menus itself),
    // and handing it over again would only make the compositor redraw all of it each time.
    bool HandOver();
    // The screen changed since the last check: the hand-overs count from none again.
    void ScreenChanged();

    // The part of window (a rectangle in the screen's coordinates) where the screen must show
    // the window's picture: inside the screen, outside every rectangle of above (the windows
    // stacked above it) grown by margin on each side. In the window's own coordinates.
    static QRegion Compared(const QRect& window, const QRect& screen, const QVector<QRect>& above, int margin);
    // The pixels of the window's store that part (in the window's coordinates) covers at
    // ratio device pixels a pixel: every one it touches.
    static QRect DevicePixels(const QRect& part, qreal ratio);
    // Whether screen shows own over where (in own's coordinates), screen's pixel (0, 0) being
    // own's pixel at screenAt: the same red, green and blue at every pixel that own paints
    // opaque (a compositor blends the others with what lies below). Both are 32-bit images;
    // own may have an alpha channel. False where where leaves either image.
    static bool Agree(const QImage& own, const QImage& screen, const QPoint& screenAt, const QRegion& where);

private:
    int m_next = FirstDelay;
    int m_waited = 0;
    int m_unseen = 0;   // hand-overs since the screen last changed
};
