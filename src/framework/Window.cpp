#include "framework/Window.h"
#include "framework/ScreenWatch.h"
#include "framework/ShowingLooks.h"
#include "framework/WindowManagerHints.h"
#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {
int g_opening = 0;   // windows inside Open

QVector<QPointer<Window>>& registry()
{
    static QVector<QPointer<Window>> windows;
    return windows;
}

QPointer<QWidget>& frontOwner()
{
    static QPointer<QWidget> owner;
    return owner;
}

// Counts the showings of the front owner: a window manager forgets the windows that belong
// to a window when it leaves the screen, so each showing needs them shown for it again.
int& ownerShowings()
{
    static int count = 0;
    return count;
}

QWindow* ownerHandle()
{
    QWidget* owner = frontOwner();
    return owner ? owner->windowHandle() : nullptr;
}

// Whether a minimise of window is undone: it has no minimise button, or a modal window is
// open.
bool keptFromMinimise(const QWidget* window)
{
    return !(WindowManagerHints::FrameButtons(window) & Qt::WindowMinimizeButtonHint)
        || QApplication::activeModalWidget();
}

// Whether a full screen changes nothing of window: it has no frame and the screen's size.
// metacity takes a move of such a window to the screen's corner for a full screen request, and
// undone, the full screen puts the window back where it stood before the move.
bool fullScreenAlready(const QWidget* window)
{
    return (window->windowFlags() & Qt::FramelessWindowHint) && window->screen()
        && window->size() == window->screen()->size();
}

// Brings the open modal window, if any, back above the others, with the keyboard.
void raiseModal(QWidget* modal)
{
    if (modal) {
        modal->raise();
        modal->activateWindow();
    }
}

// Undoes what a window manager did to window against its frame: a minimise when it has no
// minimise button or while a modal window is open, a maximise or full screen when it has no
// maximise button (a fixed-size dialog would be stretched over the screen, its controls in
// a corner). Returns whether a minimise was undone.
bool restoreAgainstFrame(QWidget* window)
{
    if (!window->isVisible())
        return false;
    Qt::WindowStates state = window->windowState();
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowFlags flags = WindowManagerHints::FrameButtons(window);
    if ((state & Qt::WindowMinimized) && keptFromMinimise(window))
        state &= ~Qt::WindowMinimized;
    if (!(flags & Qt::WindowMaximizeButtonHint)) {
        state &= ~Qt::WindowMaximized;
        if (!fullScreenAlready(window))
            state &= ~Qt::WindowFullScreen;
    }
    if (state == window->windowState())
        return false;
    const bool unminimised = (window->windowState() & Qt::WindowMinimized) && !(state & Qt::WindowMinimized);
    window->setWindowState(state);
    raiseModal(modal);
    return unminimised;
}

constexpr char lookingAtShowing[] = "lumoraLookingAtShowing";

// One round of looks runs per window at a time, until ShowingLooks ends it or the program
// hid or closed the window.
void lookAtShowing(QPointer<QWidget> window, ShowingLooks looks)
{
    QTimer::singleShot(looks.Delay(), window, [window, looks]() mutable {
        if (!window)
            return;
        const auto* own = qobject_cast<const Window*>(window.data());
        const bool looked = window->isVisible() && !(own && own->IsClosed()) && keptFromMinimise(window);
        const ShowingLooks::Next next = looked ? looks.After(WindowManagerHints::IsShown(window)) : ShowingLooks::Next::Stop;
        if (next == ShowingLooks::Next::Stop) {
            window->setProperty(lookingAtShowing, false);
            return;
        }
        if (next == ShowingLooks::Next::RestoreAndLook) {
            // Qt's own restore where Qt knows of the minimise, and the window mapped again,
            // which a window manager takes as a restore whatever it dropped before. One that
            // keeps a minimised window mapped (mutter) takes no map: it restores a window that
            // is asked to be made active.
            restoreAgainstFrame(window);
            if (WindowManagerHints::IsViewable(window))
                window->activateWindow();
            else
                WindowManagerHints::MapAgain(window);
            raiseModal(QApplication::activeModalWidget());
        }
        lookAtShowing(window, looks);
    });
}

// Gives window back its say on the keyboard once it is exposed: the window manager has then
// mapped it, and given the keyboard or not, by the wish it read.
class TakesKeyboardWhenExposed : public QObject
{
public:
    explicit TakesKeyboardWhenExposed(QWidget* window) : QObject(window), m_window(window)
    {
        window->windowHandle()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            WindowManagerHints::WriteTakesKeyboard(m_window, true);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_window;
};

// Maps window, shown already, again without taking the keyboard: it is shown for a new owner,
// not at the user's asking, and the user may be typing into another program (a season's
// rebuild at midnight). Most window managers read a user time of 0 as that wish; fluxbox reads
// none and is told that the window takes no keyboard until it is exposed.
void mapAgainWithoutKeyboard(QWidget* window)
{
    QWindow* handle = window->windowHandle();
    handle->setProperty(WindowManagerHints::ShowWithoutActivating, true);
    WindowManagerHints::WriteTakesKeyboard(window, false);
    new TakesKeyboardWhenExposed(window);
    window->QWidget::setVisible(true);
    handle->setProperty(WindowManagerHints::ShowWithoutActivating, QVariant());
}

// Whether a compositor on X11 shows window: it has an alpha channel, which the program asks for
// only where a compositor runs as the window is made (SlideCurtain::PrepareWindow), on an X
// server that is no XWayland (a Wayland compositor shows XWayland's windows from buffers of
// its own, and the root window's pixels there are not the screen). A window without one asks
// the X server nothing.
bool composedOnX11(const QWidget* window)
{
    static const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    return xcb && window->testAttribute(Qt::WA_TranslucentBackground) && !WindowManagerHints::OnXWayland();
}

void keepLookingAtShowing(QWidget* window)
{
    if (window->property(lookingAtShowing).toBool())
        return;
    window->setProperty(lookingAtShowing, true);
    lookAtShowing(window, ShowingLooks());
}
} // namespace

Window::Window(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose, false); // deleted with deleteLater after Event_Close
    registry().append(this);
}

Window::~Window()
{
    if (m_backingStoreTouched.valid())
        m_backingStoreTouched.wait();
    if (m_modalLoop)
        m_modalLoop->quit();
    registry().removeAll(QPointer<Window>(this));
    registry().removeAll(QPointer<Window>());
}

QVector<Window*> Window::AllWindows()
{
    QVector<Window*> result;
    for (const auto& w : registry())
        if (w && !w->m_closed)
            result.append(w.data());
    return result;
}

void Window::AddControl(QWidget* control, const QRect& design, int locks, std::function<void()> open)
{
    control->setGeometry(design);
    m_controls.append({control, design, locks, std::move(open)});
}

bool Window::AnyOpening() { return g_opening > 0; }

void Window::Open()
{
    if (m_opened)
        return;
    m_opened = true;
    // Counted while it runs, also when a handler throws.
    struct Opening {
        Opening() { ++g_opening; }
        ~Opening() { --g_opening; }
    } opening;
    // The size the controls were laid out for; later resizes move locked controls from it.
    m_layoutSize = size();
    for (int i = 0; i < m_controls.size(); ++i) {
        const auto open = m_controls[i].open; // copy: a handler may add controls
        if (open && m_controls[i].widget)
            open();
        if (m_closed)
            return;
    }
    Event_Open();
    m_openCompleted = !m_closed;
}

QWidget* Window::Control(const QString& name) const
{
    for (const auto& entry : m_controls)
        if (entry.widget && entry.widget->objectName() == name)
            return entry.widget;
    return findChild<QWidget*>(name);
}

void Window::AddMenuHandler(const QString& itemName, std::function<bool()> handler)
{
    m_menuHandlers.insert(itemName, std::move(handler));
}

bool Window::HandleMenuItem(const QString& itemName)
{
    const auto it = m_menuHandlers.constFind(itemName);
    if (it == m_menuHandlers.constEnd() || !it.value())
        return false;
    const auto handler = it.value();
    return handler();
}

void Window::SetFrontOwner(QWidget* owner) { frontOwner() = owner; }

void Window::followFrontOwner()
{
    QWindow* owner = ownerHandle();
    if (!owner || owner == windowHandle())
        return;
    winId();
    windowHandle()->setTransientParent(owner);
    m_shownForOwner = frontOwner()->isVisible() ? ownerShowings() : -1;
}

void Window::writeOwner()
{
    // Qt tells a window manager the owner of a dialog or a utility window only; a plain
    // window (which many window managers give a minimise box that they give neither of
    // those) is told here, once it is shown.
    if (QWindow* owner = ownerHandle(); owner && windowHandle() && windowHandle()->transientParent() == owner)
        WindowManagerHints::WriteTransientFor(this, frontOwner());
}

void Window::KeepToFrame(QWidget* window)
{
    static const char kept[] = "lumoraKeptFromMinimised";
    QWindow* handle = window->windowHandle();
    if (!handle || handle->property(kept).toBool())
        return;
    handle->setProperty(kept, true);
    QObject::connect(handle, &QWindow::windowStateChanged, window, [window](Qt::WindowState state) {
        if (state == Qt::WindowNoState || state == Qt::WindowActive)
            return;
        // A minimise takes the keyboard away with the window; undone, it gives the keyboard
        // back to the window that had it. (kwin also hides a window's utility windows, the
        // tab among them, while no window of their program is active.) Read now: the
        // program learns that it lost the keyboard only a moment later.
        const bool hadKeyboard = window->isActiveWindow();
        // Looked at once the widget has taken its native window's new state.
        QTimer::singleShot(0, window, [window, hadKeyboard] {
            if (restoreAgainstFrame(window) && hadKeyboard && !QApplication::activeModalWidget())
                window->activateWindow();
            keepLookingAtShowing(window);
        });
    });
}

void Window::PrepareBackingStore(const QSize& size)
{
    if (m_everShown || size.isEmpty())
        return;
    winId();
    if (QBackingStore* store = backingStore())
        store->resize(size);
}

void Window::TouchBackingStore()
{
    // Once shown, the store holds what was painted. Only the X11 and offscreen stores are an
    // image from their resize on; others make their buffer at the first paint (Wayland's has
    // none to hand out before it, and asking for its paint device then crashes).
    static const bool imageStore = QGuiApplication::platformName() == QLatin1String("xcb")
        || QGuiApplication::platformName() == QLatin1String("offscreen");
    if (!imageStore || m_everShown || m_backingStoreTouched.valid() || !backingStore())
        return;
    auto* image = dynamic_cast<QImage*>(backingStore()->paintDevice());
    if (!image || image->isNull())
        return;
    // Nothing else reads, writes or replaces the store until the window shows.
    m_backingStoreTouched = std::async(std::launch::async, [bits = image->bits(), bytes = image->sizeInBytes()] {
        constexpr qsizetype page = 4096;
        for (qsizetype i = 0; i < bytes; i += page)
            bits[i] = 0;
    });
}

bool Window::StoreReady() const
{
    QBackingStore* store = backingStore();
    QWindow* handle = windowHandle();
    // A window shown a moment ago may not have been painted yet (a busy machine's window
    // manager maps it late): its store then has no pixels to paint into. The size is asked
    // first and is enough: a store is given its pixels as it is given a size (only then does
    // it have one), and with Qt's high-density scaling asking a store never sized for its
    // paint device crashes.
    return store && handle && handle->isExposed() && store->size() == size();
}

bool Window::HandOverWhole()
{
    if (!StoreReady())
        return false;
    backingStore()->flush(rect(), windowHandle());
    return true;
}

void Window::PictureHandedOver()
{
    if (m_screenWatch)
        m_screenWatch->Changed();
}

void Window::setVisible(bool visible)
{
    const bool showing = visible && !isVisible();
    if (visible) {
        if (m_backingStoreTouched.valid())
            m_backingStoreTouched.get();
        m_everShown = true;
    }
    if (visible && m_showsInFront && (windowState() & Qt::WindowMinimized))
        setWindowState(windowState() & ~Qt::WindowMinimized);
    if (showing && m_showsInFront)
        followFrontOwner();
    if (showing && frontOwner() == this)
        ++ownerShowings();
    if (showing) {
        // A window manager reads the frame's buttons when the window is mapped.
        winId();
        WindowManagerHints::WriteFrameFunctions(this);
        KeepToFrame(this);
        WindowManagerHints::DropAttentionMarks();
    }
    QWidget::setVisible(visible);
    if (showing && !m_screenWatch && composedOnX11(this))
        m_screenWatch = new ScreenWatch(this);
    // Qt asks for a paint of each widget it shows by a posted event, which the event loop
    // may deliver after the window's first expose has painted it all already: the whole
    // window was painted twice at its start. Taken in now, they join the first paint.
    if (showing)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    if (visible && m_showsInFront)
        writeOwner();
    // Raised and given the focus: a window manager may ignore a raise alone.
    if (visible && m_showsInFront) {
        raise();
        activateWindow();
    }
}

void Window::RaiseShownInFront()
{
    QWindow* owner = ownerHandle();
    for (Window* window : AllWindows()) {
        if (!window->m_showsInFront || !window->isVisible())
            continue;
        // A window manager reads the owner when the window is mapped: one shown for an
        // earlier calendar window is mapped again for this one, where it stood.
        if (owner && frontOwner()->isVisible() && window->m_shownForOwner != ownerShowings()
            && window->windowModality() == Qt::NonModal) {
            const QRect place = window->geometry();
            window->QWidget::setVisible(false);
            window->followFrontOwner();
            window->setGeometry(place);
            mapAgainWithoutKeyboard(window);
            window->writeOwner();
        }
        window->raise();
    }
}

void Window::ShowModal(QWidget* focus)
{
    if (m_closed)
        return;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec();
    // Nothing of the window is touched here: it may have been deleted meanwhile.
}

void Window::CloseWindow()
{
    if (!m_closed)
        close();
}

void Window::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    // Qt delivers a window manager's close request as a spontaneous event.
    if (event->spontaneous() && Event_CancelClose()) {
        event->ignore();
        return;
    }
    m_closed = true;
    event->accept();
    Event_Close();
    if (m_modalLoop)
        m_modalLoop->quit();
    hide();
    deleteLater();
}

void Window::ApplyLocks()
{
    // Locked edges keep their distance to the window's edges: each resize moves or
    // stretches the controls by the change of the window's size since the last layout,
    // from where they stand now (their open handlers may have placed them).
    if (!m_layoutSize.isValid()) {
        m_layoutSize = size();
        return;
    }
    const int dw = width() - m_layoutSize.width();
    const int dh = height() - m_layoutSize.height();
    m_layoutSize = size();
    if (dw == 0 && dh == 0)
        return;
    for (const auto& entry : m_controls) {
        if (!entry.widget || !(entry.locks & (LockRight | LockBottom)))
            continue;
        QRect r = entry.widget->geometry();
        const int locks = entry.locks;
        if ((locks & LockRight) && (locks & LockLeft))
            r.setWidth(std::max(0, r.width() + dw));
        else if (locks & LockRight)
            r.moveLeft(r.left() + dw);
        if ((locks & LockBottom) && (locks & LockTop))
            r.setHeight(std::max(0, r.height() + dh));
        else if (locks & LockBottom)
            r.moveTop(r.top() + dh);
        entry.widget->setGeometry(r);
    }
}

void Window::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ApplyLocks();
}

void Window::keyPressEvent(QKeyEvent* event)
{
    if (!Event_KeyDown(event))
        QWidget::keyPressEvent(event);
}

bool Window::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Event_Activate();
    else if (event->type() == QEvent::WindowDeactivate)
        Event_Deactivate();
    return QWidget::event(event);
}
