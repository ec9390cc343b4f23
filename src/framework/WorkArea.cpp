#include "framework/WorkArea.h"
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <xcb/xcb.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
template <class T> using Reply = std::unique_ptr<T, decltype(&free)>;

// A reply, or nothing when the request failed; an error (a window gone since the tree was
// read) is dropped here instead of reaching Qt's event queue.
template <class T>
Reply<T> reply(T* answer, xcb_generic_error_t* error)
{
    free(error);
    return Reply<T>(answer, &free);
}

// The atom of name, or none when no client has made it (then no window carries it).
xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_generic_error_t* error = nullptr;
    const auto answer = reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(strlen(name)), name), &error), error);
    return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Whether the window manager says it publishes a work area.
bool publishesWorkArea(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_atom_t supported = atom(c, "_NET_SUPPORTED");
    const xcb_atom_t workArea = atom(c, "_NET_WORKAREA");
    if (supported == XCB_ATOM_NONE || workArea == XCB_ATOM_NONE)
        return false;
    xcb_generic_error_t* error = nullptr;
    const auto answer = reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), &error), error);
    if (!answer || answer->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(answer.get()));
    const int count = xcb_get_property_value_length(answer.get()) / 4;
    return std::find(atoms, atoms + count, workArea) != atoms + count;
}

// The windows a strut may be set on: the root's children and theirs (a window manager
// puts its docks into frames of its own). The requests go out together.
std::vector<xcb_window_t> topWindows(xcb_connection_t* c, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    xcb_generic_error_t* error = nullptr;
    const auto top = reply(xcb_query_tree_reply(c, xcb_query_tree(c, root), &error), error);
    if (!top)
        return windows;
    const xcb_window_t* children = xcb_query_tree_children(top.get());
    const int count = xcb_query_tree_children_length(top.get());
    windows.assign(children, children + count);
    std::vector<xcb_query_tree_cookie_t> cookies;
    for (int i = 0; i < count; ++i)
        cookies.push_back(xcb_query_tree(c, children[i]));
    for (const auto& cookie : cookies) {
        error = nullptr;
        const auto inner = reply(xcb_query_tree_reply(c, cookie, &error), error);
        if (inner) {
            const xcb_window_t* grandchildren = xcb_query_tree_children(inner.get());
            windows.insert(windows.end(), grandchildren, grandchildren + xcb_query_tree_children_length(inner.get()));
        }
    }
    return windows;
}

// The strut of window w (its _NET_WM_STRUT_PARTIAL, or its _NET_WM_STRUT) asked for.
struct StrutRequest {
    xcb_get_property_cookie_t partial{}, plain{};
    bool hasPartial = false, hasPlain = false;
};

// The struts that the top windows set.
std::vector<WorkArea::Strut> readStruts(xcb_connection_t* c, xcb_window_t root)
{
    std::vector<WorkArea::Strut> struts;
    const xcb_atom_t partial = atom(c, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t plain = atom(c, "_NET_WM_STRUT");
    if (partial == XCB_ATOM_NONE && plain == XCB_ATOM_NONE)
        return struts;
    const std::vector<xcb_window_t> windows = topWindows(c, root);
    std::vector<StrutRequest> requests;
    for (xcb_window_t w : windows) {
        StrutRequest r;
        if ((r.hasPartial = partial != XCB_ATOM_NONE))
            r.partial = xcb_get_property(c, 0, w, partial, XCB_ATOM_CARDINAL, 0, 12);
        if ((r.hasPlain = plain != XCB_ATOM_NONE))
            r.plain = xcb_get_property(c, 0, w, plain, XCB_ATOM_CARDINAL, 0, 4);
        requests.push_back(r);
    }
    const auto answer = [c](bool asked, xcb_get_property_cookie_t cookie) {
        xcb_generic_error_t* error = nullptr;
        return asked ? reply(xcb_get_property_reply(c, cookie, &error), error)
                     : Reply<xcb_get_property_reply_t>(nullptr, &free);
    };
    for (const StrutRequest& r : requests) {
        const auto p = answer(r.hasPartial, r.partial);
        const auto s = answer(r.hasPlain, r.plain);
        WorkArea::Strut strut;
        if (p && p->format == 32 && xcb_get_property_value_length(p.get()) >= 48)
            std::copy_n(static_cast<const uint32_t*>(xcb_get_property_value(p.get())), 12, strut.values.begin());
        else if (s && s->format == 32 && xcb_get_property_value_length(s.get()) >= 16) {
            std::copy_n(static_cast<const uint32_t*>(xcb_get_property_value(s.get())), 4, strut.values.begin());
            strut.wholeEdges = true;
        } else
            continue;
        struts.push_back(strut);
    }
    return struts;
}
} // namespace

QRect WorkArea::LessStruts(const QRect& screen, const QSize& full, qreal ratio, const std::vector<Strut>& struts)
{
    const int fullW = int(full.width() * ratio), fullH = int(full.height() * ratio);
    int left = 0, top = 0, right = fullW, bottom = fullH;   // in the screen's pixels
    const QRect area(int(screen.left() * ratio), int(screen.top() * ratio), int(screen.width() * ratio),
                     int(screen.height() * ratio));
    for (const Strut& strut : struts) {
        std::array<uint32_t, 12> v = strut.values;
        if (strut.wholeEdges) {
            v[4] = v[6] = 0;
            v[5] = v[7] = uint32_t(fullH - 1);
            v[8] = v[10] = 0;
            v[9] = v[11] = uint32_t(fullW - 1);
        }
        // left, right, top, bottom; then the start and end of each along its edge.
        const auto meets = [](uint32_t start, uint32_t end, int from, int to) {
            return int(start) <= to && int(end) >= from;
        };
        if (v[0] && meets(v[4], v[5], area.top(), area.bottom()))
            left = std::max(left, int(v[0]));
        if (v[1] && meets(v[6], v[7], area.top(), area.bottom()))
            right = std::min(right, fullW - int(v[1]));
        if (v[2] && meets(v[8], v[9], area.left(), area.right()))
            top = std::max(top, int(v[2]));
        if (v[3] && meets(v[10], v[11], area.left(), area.right()))
            bottom = std::min(bottom, fullH - int(v[3]));
    }
    // Back in Qt's pixels, within the screen (rounded inwards).
    const QRect reserved = QRect(QPoint(int(std::ceil(left / ratio)), int(std::ceil(top / ratio))),
                                 QPoint(int(std::floor(right / ratio)) - 1, int(std::floor(bottom / ratio)) - 1))
                               .intersected(screen);
    // Struts that would leave too little are not believed.
    if (reserved.width() < screen.width() / 2 || reserved.height() < screen.height() / 2)
        return screen;
    return reserved;
}

QRect WorkArea::Rect()
{
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRect available = primary->availableGeometry();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || available != primary->geometry())
        return available;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return available;
    // Looked up again at most twice a second: the controls ask for it as they paint.
    static QDeadlineTimer fresh;
    static QRect area;
    static QRect from;
    if (!fresh.hasExpired() && from == available)
        return area;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const QSize full = primary->virtualSize();
    area = publishesWorkArea(c, root) ? available
                                       : LessStruts(available, full, primary->devicePixelRatio(), readStruts(c, root));
    from = available;
    fresh.setRemainingTime(500);
    return area;
}
