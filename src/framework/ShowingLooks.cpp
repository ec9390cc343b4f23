#include "framework/ShowingLooks.h"

namespace {
constexpr int lookInterval = 100;           // ms between looks
constexpr int refusalsBeforeSlowing = 30;   // restores refused in a row, after which
constexpr int slowLookInterval = 500;       // the looks come this many ms apart
constexpr int settledLooks = 5;             // looks in a row that find the window shown
constexpr int refusalsMax = refusalsBeforeSlowing + 20;   // then the guard gives up
} // namespace

ShowingLooks::Next ShowingLooks::After(bool shown)
{
    if (shown) {
        m_refusals = 0;
        return ++m_shownLooks >= settledLooks ? Next::Stop : Next::Look;
    }
    m_shownLooks = 0;
    if (m_refusals >= refusalsMax)
        return Next::Stop;
    ++m_refusals;
    return Next::RestoreAndLook;
}

int ShowingLooks::Delay() const { return m_refusals >= refusalsBeforeSlowing ? slowLookInterval : lookInterval; }
