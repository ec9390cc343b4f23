#include "framework/WorkArea.h"
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <xcb/xcb.h>
#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
template <class T> using Reply = std::unique_ptr<T, decltype(&free)>;

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(strlen(name)), name), nullptr), &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Whether the window manager says it publishes a work area.
bool publishesWorkArea(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_atom_t supported = atom(c, "_NET_SUPPORTED");
    const xcb_atom_t workArea = atom(c, "_NET_WORKAREA");
    if (supported == XCB_ATOM_NONE || workArea == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr), &free);
    if (!reply || reply->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, workArea) != atoms + count;
}

// The windows a strut may be set on: the root's children and theirs (a window manager
// puts its docks into frames of its own). The requests go out together.
std::vector<xcb_window_t> topWindows(xcb_connection_t* c, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    const Reply<xcb_query_tree_reply_t> top(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &free);
    if (!top)
        return windows;
    const xcb_window_t* children = xcb_query_tree_children(top.get());
    const int count = xcb_query_tree_children_length(top.get());
    windows.assign(children, children + count);
    std::vector<xcb_query_tree_cookie_t> cookies;
    for (int i = 0; i < count; ++i)
        cookies.push_back(xcb_query_tree(c, children[i]));
    for (const auto& cookie : cookies) {
        const Reply<xcb_query_tree_reply_t> inner(xcb_query_tree_reply(c, cookie, nullptr), &free);
        if (inner) {
            const xcb_window_t* grandchildren = xcb_query_tree_children(inner.get());
            windows.insert(windows.end(), grandchildren, grandchildren + xcb_query_tree_children_length(inner.get()));
        }
    }
    return windows;
}

// screen less the edges that the windows' struts reserve (of the whole X screen, whose
// size is full), each strut counted where its range meets screen.
QRect lessStruts(xcb_connection_t* c, xcb_window_t root, const QRect& screen, const QSize& full)
{
    const xcb_atom_t partial = atom(c, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t plain = atom(c, "_NET_WM_STRUT");
    if (partial == XCB_ATOM_NONE && plain == XCB_ATOM_NONE)
        return screen;
    const std::vector<xcb_window_t> windows = topWindows(c, root);
    std::vector<xcb_get_property_cookie_t> cookies;
    for (xcb_window_t w : windows) {
        cookies.push_back(xcb_get_property(c, 0, w, partial, XCB_ATOM_CARDINAL, 0, 12));
        cookies.push_back(xcb_get_property(c, 0, w, plain, XCB_ATOM_CARDINAL, 0, 4));
    }
    int left = screen.left(), top = screen.top();
    int right = screen.right() + 1, bottom = screen.bottom() + 1;
    for (size_t i = 0; i < cookies.size(); i += 2) {
        const Reply<xcb_get_property_reply_t> p(xcb_get_property_reply(c, cookies[i], nullptr), &free);
        const Reply<xcb_get_property_reply_t> s(xcb_get_property_reply(c, cookies[i + 1], nullptr), &free);
        uint32_t v[12] = {};
        if (p && p->format == 32 && xcb_get_property_value_length(p.get()) >= 48)
            std::copy_n(static_cast<const uint32_t*>(xcb_get_property_value(p.get())), 12, v);
        else if (s && s->format == 32 && xcb_get_property_value_length(s.get()) >= 16) {
            std::copy_n(static_cast<const uint32_t*>(xcb_get_property_value(s.get())), 4, v);
            // A plain strut spans its whole edge.
            v[5] = v[7] = uint32_t(full.height() - 1);
            v[9] = v[11] = uint32_t(full.width() - 1);
        } else
            continue;
        // left, right, top, bottom; then the start and end of each along its edge.
        const auto meets = [](uint32_t start, uint32_t end, int from, int to) {
            return int(start) <= to && int(end) >= from;
        };
        if (v[0] && meets(v[4], v[5], screen.top(), screen.bottom()))
            left = std::max(left, int(v[0]));
        if (v[1] && meets(v[6], v[7], screen.top(), screen.bottom()))
            right = std::min(right, full.width() - int(v[1]));
        if (v[2] && meets(v[8], v[9], screen.left(), screen.right()))
            top = std::max(top, int(v[2]));
        if (v[3] && meets(v[10], v[11], screen.left(), screen.right()))
            bottom = std::min(bottom, full.height() - int(v[3]));
    }
    // Struts that would leave too little are not believed.
    if (right - left < screen.width() / 2 || bottom - top < screen.height() / 2)
        return screen;
    return QRect(left, top, right - left, bottom - top);
}
} // namespace

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
    area = publishesWorkArea(c, root) ? available : lessStruts(c, root, available, full);
    from = available;
    fresh.setRemainingTime(500);
    return area;
}
