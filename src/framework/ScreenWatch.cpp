#include "framework/ScreenWatch.h"
#include "framework/Window.h"
#include "framework/WindowManagerHints.h"
#include <QBackingStore>
#include <QEvent>
#include <QHash>
#include <QApplication>
#include <QPaintEvent>
#include <QWindow>
#include <xcb/xcb.h>
#include <memory>
#include <vector>

namespace {
template <class T> using Reply = std::unique_ptr<T, decltype(&free)>;
template <class T> Reply<T> own(T* reply) { return Reply<T>(reply, &free); }

xcb_connection_t* connection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The rectangles, in the root window's coordinates, of the windows that a window manager or
// the program stacked above top (a child of root): the ones shown, that draw (menus, tool tips,
// the tab, dialogs, other programs' windows). Asked together: one round trip.
QVector<QRect> windowsAbove(xcb_connection_t* c, xcb_window_t root, xcb_window_t top)
{
    const auto tree = own(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    int i = 0;
    while (i < count && children[i] != top)
        ++i;
    std::vector<std::pair<xcb_get_window_attributes_cookie_t, xcb_get_geometry_cookie_t>> asked;
    for (++i; i < count; ++i)
        asked.emplace_back(xcb_get_window_attributes(c, children[i]), xcb_get_geometry(c, children[i]));
    QVector<QRect> above;
    for (const auto& [attributesAsked, geometryAsked] : asked) {
        const auto attributes = own(xcb_get_window_attributes_reply(c, attributesAsked, nullptr));
        const auto geometry = own(xcb_get_geometry_reply(c, geometryAsked, nullptr));
        if (attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE
            && attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT) {
            const int border = 2 * geometry->border_width;
            above.append(QRect(geometry->x, geometry->y, geometry->width + border, geometry->height + border));
        }
    }
    return above;
}
} // namespace

ScreenWatch::ScreenWatch(Window* window) : QObject(window), m_window(window)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ScreenWatch::check);
    // The application's filter sees the native window's exposes too.
    qApp->installEventFilter(this);
}

void ScreenWatch::Changed() { changed(QRect(QPoint(), m_window->size() * m_window->devicePixelRatio())); }

void ScreenWatch::changed(const QRegion& part)
{
    m_changed += part;
    m_checks.Restart();
    m_askCompositor = true;
    m_lastSeen = 0;
    m_timer.start(m_checks.Next());
}

bool ScreenWatch::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint:
        // Painted into the store, which Qt hands to the X server after the paints.
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == m_window) {
            const QRect part = static_cast<QPaintEvent*>(event)->rect().translated(widget->mapTo(m_window, QPoint()));
            changed(ScreenCheck::DevicePixels(part, m_window->devicePixelRatio()));
        }
        break;
    case QEvent::Expose:
        if (watched == m_window->windowHandle())
            Changed();
        break;
    case QEvent::Hide:
        // What changed beneath it is seen now.
        if (auto* widget = qobject_cast<QWidget*>(watched);
            widget && widget->isWindow() && widget != m_window && !m_changed.isEmpty())
            changed({});
        break;
    default:
        break;
    }
    return false;
}

void ScreenWatch::check()
{
    if (!m_window->isVisible() || m_window->IsClosed()) {
        m_changed = {};   // shown again, it is exposed whole
        return;
    }
    if (m_window->PictureInMotion()) {
        // Its end is a change of its own: the checks start from the first one then.
        changed({});
        return;
    }
    if (m_askCompositor) {
        m_askCompositor = false;
        if (!WindowManagerHints::CompositorRuns()) {
            m_changed = {};
            return;
        }
    }
    const std::optional<bool> agree = shown();
    // Parts that another program's window covers are compared once it has gone: no expose
    // tells of that under a compositor, so the checks go on until they are given up.
    if (agree == true && m_changed.isEmpty())
        return;
    if (agree == false) {
        if (!m_checks.HandOver()) {
            m_changed = {};
            return;
        }
        m_window->HandOverWhole();
    }
    if (const int next = m_checks.Next(); next >= 0)
        m_timer.start(next);
    else
        m_changed = {};   // given up: the next change is compared on its own
}

std::optional<bool> ScreenWatch::shown()
{
    xcb_connection_t* c = connection();
    if (!c || !m_window->StoreReady())
        return std::nullopt;
    const auto* picture = dynamic_cast<const QImage*>(m_window->backingStore()->paintDevice());
    // Only a store of 32-bit pixels in the X server's own byte order is compared: the screen's
    // pixels are read as the server holds them.
    const bool lsbFirst = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (!picture || picture->depth() != 32 || lsbFirst != (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)) {
        m_changed = {};
        return true;
    }
    if (m_changed.isEmpty())
        return true;
    // The window's ancestor among the root's children: its frame, where a window manager put one.
    const auto id = xcb_window_t(m_window->winId());
    xcb_window_t top = id;
    xcb_window_t root = XCB_WINDOW_NONE;
    for (;;) {
        const auto tree = own(xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr));
        if (!tree)
            return std::nullopt;
        root = tree->root;
        if (tree->parent == root || tree->parent == XCB_WINDOW_NONE)
            break;
        top = tree->parent;
    }
    const auto at = own(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, root, 0, 0), nullptr));
    const auto rootSize = own(xcb_get_geometry_reply(c, xcb_get_geometry(c, root), nullptr));
    if (!at || !rootSize)
        return std::nullopt;
    const QRect window(at->dst_x, at->dst_y, picture->width(), picture->height());
    const QRegion where = m_changed
        & ScreenCheck::Compared(window, QRect(0, 0, rootSize->width, rootSize->height), windowsAbove(c, root, top),
                                ScreenCheck::ShadowMargin);
    // What is covered is compared once the program's window above it has gone.
    if (where.isEmpty())
        return true;
    const QRect read = where.boundingRect();
    const auto image = own(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(window.x() + read.x()), int16_t(window.y() + read.y()),
                      uint16_t(read.width()), uint16_t(read.height()), ~0u),
        nullptr));
    if (!image)
        return std::nullopt;
    // A screen of 24 or 32 bits a pixel has 4 bytes a pixel and no padding at the rows' ends.
    if (xcb_get_image_data_length(image.get()) != read.width() * read.height() * 4) {
        m_changed = {};
        return true;
    }
    const QImage screen(xcb_get_image_data(image.get()), read.width(), read.height(), read.width() * 4,
                        QImage::Format_RGB32);
    if (!ScreenCheck::Agree(*picture, screen, read.topLeft(), where)) {
        const size_t seen = qHashBits(xcb_get_image_data(image.get()), size_t(read.width()) * read.height() * 4)
            ^ qHash(read.x()) ^ qHash(read.y() << 16);
        const bool stood = seen == m_lastSeen;
        m_lastSeen = seen;
        if (!stood) {
            m_checks.ScreenChanged();
            return std::nullopt;
        }
        return false;
    }
    m_changed -= where;
    m_lastSeen = 0;
    return true;
}
