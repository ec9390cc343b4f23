#include "framework/WindowManagerHints.h"
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
// The Motif hints' layout and bits, as window managers read them.
enum : uint32_t {
    HintsFunctions = 1u << 0,
    HintsDecorations = 1u << 1,
    FunctionResize = 1u << 1,
    FunctionMove = 1u << 2,
    FunctionMinimize = 1u << 3,
    FunctionMaximize = 1u << 4,
    FunctionClose = 1u << 5,
    DecorationBorder = 1u << 1,
    DecorationResizeHandle = 1u << 2,
    DecorationTitle = 1u << 3,
    DecorationMenu = 1u << 4,
    DecorationMinimize = 1u << 5,
    DecorationMaximize = 1u << 6,
};

xcb_connection_t* connection()
{
    // Only on X11: another platform (the offscreen one of the tests) may answer the same
    // interface with window ids that are no X windows.
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The native window of a top-level widget that has one; 0 otherwise.
xcb_window_t nativeWindow(QWidget* widget)
{
    if (!widget || !widget->isWindow() || !widget->testAttribute(Qt::WA_WState_Created))
        return 0;
    return xcb_window_t(widget->winId());
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr), &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_atom_t motifHintsAtom(xcb_connection_t* c)
{
    // Asked once: the server keeps the atom for as long as it runs.
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom == XCB_ATOM_NONE)
        atom = internAtom(c, "_MOTIF_WM_HINTS");
    return atom;
}

xcb_atom_t wmStateAtom(xcb_connection_t* c)
{
    static const xcb_atom_t atom = internAtom(c, "WM_STATE");
    return atom;
}

xcb_atom_t netWmStateAtom(xcb_connection_t* c)
{
    static const xcb_atom_t atom = internAtom(c, "_NET_WM_STATE");
    return atom;
}

// The 32-bit values of window id's property of the given type (the atoms of _NET_WM_STATE,
// the window of _NET_ACTIVE_WINDOW); none where it has none or one of another type.
std::vector<uint32_t> readValues(xcb_connection_t* c, xcb_window_t id, xcb_atom_t property, xcb_atom_t type)
{
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, property, type, 0, 1024), nullptr), &free);
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + reply->value_len};
}

// The root window of the display's default screen.
xcb_window_t rootWindow(xcb_connection_t* c)
{
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    return screens.rem ? screens.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

// Whether the X server is XWayland: it has the XWAYLAND extension (Xwayland 23.1 on), or names
// its screens XWAYLAND0, XWAYLAND1... as an older one does (its RandR outputs: Qt's screen
// names). Asked once: a run keeps its display.
bool onXWayland(xcb_connection_t* c)
{
    static const bool xwayland = [c] {
        const auto screens = QGuiApplication::screens();
        if (std::any_of(screens.begin(), screens.end(),
                        [](const QScreen* s) { return s->name().startsWith(QLatin1String("XWAYLAND")); }))
            return true;
        const char name[] = "XWAYLAND";
        const std::unique_ptr<xcb_query_extension_reply_t, decltype(&free)> reply(
            xcb_query_extension_reply(c, xcb_query_extension(c, uint16_t(strlen(name)), name), nullptr), &free);
        return reply && reply->present;
    }();
    return xwayland;
}

// Whether window id is a top-level window of this program. Qt also watches other programs'
// windows (a tray's), and gives the keyboard only to top-level windows.
bool ownWindow(xcb_window_t id)
{
    const auto windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.begin(), windows.end(),
                       [id](QWindow* w) { return w->handle() && xcb_window_t(w->winId()) == id; });
}

// Asks the window manager to take a mark off window id's _NET_WM_STATE when the window carries
// it. The window manager writes the state; a program asks for changes with a message to the
// root window.
void dropState(xcb_connection_t* c, xcb_window_t id, xcb_atom_t state, xcb_atom_t mark)
{
    const std::vector<xcb_atom_t> atoms = readValues(c, id, state, XCB_ATOM_ATOM);
    if (std::find(atoms.begin(), atoms.end(), mark) == atoms.end())
        return;
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = state;
    event.data.data32[0] = 0;      // remove
    event.data.data32[1] = mark;
    event.data.data32[3] = 1;      // asked by the program itself
    xcb_send_event(c, 0, rootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

// Watches the program's windows' _NET_WM_STATE and asks a mark of attention away.
class AttentionMarkDropper : public QAbstractNativeEventFilter
{
public:
    AttentionMarkDropper(xcb_connection_t* c, xcb_atom_t attention)
        : m_c(c), m_state(netWmStateAtom(c)), m_attention(attention)
    {
    }
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->atom != m_state || notify->state != XCB_PROPERTY_NEW_VALUE || !ownWindow(notify->window))
            return false;
        dropState(m_c, notify->window, m_state, m_attention);
        return false;   // Qt reads the new state too
    }

private:
    xcb_connection_t* const m_c;
    const xcb_atom_t m_state;
    const xcb_atom_t m_attention;
};
} // namespace

Qt::WindowFlags WindowManagerHints::FrameButtons(const QWidget* window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    if (flags & Qt::FramelessWindowHint)
        return {};
    return flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                    | Qt::WindowSystemMenuHint);
}

void WindowManagerHints::WriteFrameFunctions(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return;
    const Qt::WindowFlags flags = FrameButtons(window) | (window->windowFlags() & Qt::FramelessWindowHint);
    const bool resizable = window->minimumSize() != window->maximumSize();
    uint32_t functions = FunctionMove;
    uint32_t decorations = 0;
    if (resizable)
        functions |= FunctionResize;
    if (flags & Qt::WindowCloseButtonHint)
        functions |= FunctionClose;
    if (flags & Qt::WindowMinimizeButtonHint)
        functions |= FunctionMinimize;
    if ((flags & Qt::WindowMaximizeButtonHint) && resizable)
        functions |= FunctionMaximize;
    if (!(flags & Qt::FramelessWindowHint)) {
        decorations = DecorationBorder | DecorationTitle;
        if (resizable)
            decorations |= DecorationResizeHandle;
        if (flags & Qt::WindowSystemMenuHint)
            decorations |= DecorationMenu;
        if (functions & FunctionMinimize)
            decorations |= DecorationMinimize;
        if (functions & FunctionMaximize)
            decorations |= DecorationMaximize;
    }
    const xcb_atom_t atom = motifHintsAtom(c);
    if (atom == XCB_ATOM_NONE)
        return;
    // flags, functions, decorations, input mode, status
    const uint32_t hints[5] = {HintsFunctions | HintsDecorations, functions, decorations, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, 5, hints);
}

void WindowManagerHints::WriteTransientFor(QWidget* window, QWidget* owner)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    const xcb_window_t ownerId = nativeWindow(owner);
    if (!c || !id || !ownerId)
        return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &ownerId);
    xcb_flush(c);
}

bool WindowManagerHints::IsShown(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return window->isVisible() && !window->isMinimized();
    if (!IsViewable(window))
        return false;
    const xcb_atom_t atom = wmStateAtom(c);
    if (atom == XCB_ATOM_NONE)
        return true;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> state(
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, atom, atom, 0, 1), nullptr), &free);
    constexpr uint32_t iconicState = 3;
    return !state || state->format != 32 || xcb_get_property_value_length(state.get()) < 4
        || *static_cast<const uint32_t*>(xcb_get_property_value(state.get())) != iconicState;
}

bool WindowManagerHints::IsViewable(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return window->isVisible();
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr), &free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

void WindowManagerHints::MapAgain(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return;
    xcb_map_window(c, id);
    xcb_flush(c);
}

bool WindowManagerHints::Move(QWidget* window, const QPoint& place)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return false;
    // In the screen's pixels.
    const qreal ratio = window->devicePixelRatioF();
    const int32_t values[2] = {int32_t(qRound(place.x() * ratio)), int32_t(qRound(place.y() * ratio))};
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(c);
    return true;
}

void WindowManagerHints::WriteSkipTaskList(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return;
    // Asked once: the server keeps its atoms for as long as it runs.
    const xcb_atom_t state = netWmStateAtom(c);
    static const xcb_atom_t skips[] = {internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR"), internAtom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skips[0] == XCB_ATOM_NONE || skips[1] == XCB_ATOM_NONE)
        return;
    // The states the window has already (Qt's, a window manager's) are kept.
    std::vector<xcb_atom_t> atoms = readValues(c, id, state, XCB_ATOM_ATOM);
    for (const xcb_atom_t skip : skips)
        if (std::find(atoms.begin(), atoms.end(), skip) == atoms.end())
            atoms.push_back(skip);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()), atoms.data());
}

void WindowManagerHints::WriteTakesKeyboard(QWidget* window, bool takes)
{
    xcb_connection_t* c = connection();
    const xcb_window_t id = nativeWindow(window);
    if (!c || !id)
        return;
    // WM_HINTS: flags, input, initial state, icon pixmap, icon window, icon x and y, icon mask,
    // window group. The other fields are kept as Qt wrote them.
    constexpr uint32_t inputHint = 1;
    uint32_t hints[9] = {};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, 9), nullptr), &free);
    if (reply && reply->format == 32)
        memcpy(hints, xcb_get_property_value(reply.get()), std::min<size_t>(sizeof hints, size_t(reply->value_len) * 4));
    hints[0] |= inputHint;
    hints[1] = takes ? 1 : 0;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints);
    xcb_flush(c);
}

void WindowManagerHints::DropAttentionMarks()
{
    static std::unique_ptr<AttentionMarkDropper> dropper;
    xcb_connection_t* c = connection();
    if (dropper || !c)
        return;
    const xcb_atom_t attention = internAtom(c, "_NET_WM_STATE_DEMANDS_ATTENTION");
    if (attention == XCB_ATOM_NONE || netWmStateAtom(c) == XCB_ATOM_NONE)
        return;
    dropper = std::make_unique<AttentionMarkDropper>(c, attention);
    qGuiApp->installNativeEventFilter(dropper.get());
}

bool WindowManagerHints::CompositorRuns()
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    // The screen the display's name gives (":0.1"), 0 by default.
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    free(host);
    const xcb_atom_t atom = internAtom(c, ("_NET_WM_CM_S" + std::to_string(screen)).c_str());
    if (atom == XCB_ATOM_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr), &free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

bool WindowManagerHints::OnXWayland()
{
    xcb_connection_t* c = connection();
    return c && onXWayland(c);
}

bool WindowManagerHints::AnotherProgramActive()
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    const xcb_window_t root = rootWindow(c);
    static const xcb_atom_t atom = internAtom(c, "_NET_ACTIVE_WINDOW");
    const std::vector<uint32_t> named =
        atom == XCB_ATOM_NONE ? std::vector<uint32_t>() : readValues(c, root, atom, XCB_ATOM_WINDOW);
    xcb_window_t active = XCB_WINDOW_NONE;
    if (!named.empty()) {
        active = named.front();
    } else {
        // No window manager, or one that does not say: the window the X server gives the
        // keyboard to. PointerRoot (the server's own start) and the root name no program's.
        const std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&free)> focus(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr), &free);
        if (focus && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT && focus->focus != root)
            active = focus->focus;
    }
    // In a Wayland session the compositor (mutter, kwin_wayland) names no X window while a
    // native Wayland program has the keyboard (nor any before an X window first had it).
    if (active == XCB_WINDOW_NONE)
        return onXWayland(c);
    return !ownWindow(active);
}
