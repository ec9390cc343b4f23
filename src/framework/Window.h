#pragma once
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>
#include <future>

// A window of the calendar. Subclasses create their controls in their documented order
// (AddControl), then Open() raises each control's open handler in that order and the
// window's own Event_Open after them. Edge-locked controls follow the window from the
// size it had when Open began (its design size, 1024 x 740 for the calendar window),
// keeping locked edges at their distance from the window's edges. Closing raises
// Event_Close exactly once; the window is then deleted later (never inside its own
// handler) and its accessor makes a new one.
class Window : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 1024;
    static constexpr int DesignHeight = 740;

    enum Lock { LockLeft = 1, LockTop = 2, LockRight = 4, LockBottom = 8 };

    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    // Registers a control (already a child of this window) with its design bounds, edge
    // locks and open handler. Controls are opened in the order they were added.
    void AddControl(QWidget* control, const QRect& design, int locks = LockLeft | LockTop,
                    std::function<void()> open = {});
    // Runs the controls' open handlers, then Event_Open. Called once, by the accessor.
    void Open();
    bool IsOpened() const { return m_opened; }
    // Whether Open ran to its end: every control's open handler and Event_Open returned
    // without an exception and without the window closing meanwhile (a handler's message
    // box runs a nested event loop). A window that did not may hold half its contents.
    bool IsOpenCompleted() const { return m_openCompleted; }
    // Whether some window is inside Open just now (a nested event loop may run there).
    static bool AnyOpening();
    bool IsClosed() const { return m_closed; }

    // The control whose objectName is name (the first one added under that name).
    QWidget* Control(const QString& name) const;
    template <class T> T* ControlAs(const QString& name) const { return qobject_cast<T*>(Control(name)); }

    // Menu handling: the front window's handler of an item runs before the application's.
    void AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    // Runs this window's handler of the item; false when it has none or it returned false.
    bool HandleMenuItem(const QString& itemName);
    virtual void Event_EnableMenuItems() {}

    // Shows the window application-modal, gives focus the keyboard, and returns when the
    // window has closed (a nested event loop runs meanwhile). The window may be gone then.
    void ShowModal(QWidget* focus = nullptr);

    // Closes the window through its close handler; safe to call more than once.
    void CloseWindow();

    // Windows that come to the front (un-minimised and raised) whenever they are shown,
    // also when they are shown already.
    void SetShowsInFront(bool on) { m_showsInFront = on; }
    // Undoes at once what a window manager does to window against its frame: a minimise when
    // its frame has no minimise button, and any minimise while a modal window is open (it
    // blocks the rest of the program, so nothing there could bring a minimised window back);
    // a maximise or full screen when it has no maximise button. Some window managers offer
    // minimising (openbox) or full screen (icewm) on every framed window whatever its hints
    // say, and openbox minimises a window's owner and the owner's other windows with it.
    // Every framework window is kept so when it shows; other windows (message boxes, the
    // print dialogs) are kept so by whoever shows them.
    static void KeepToFrame(QWidget* window);
    // Raises every visible window that shows in front, in creation order.
    static void RaiseShownInFront();
    // The window the windows that show in front belong to (the calendar window): they are
    // shown as its transients, which a window manager keeps above it. A window shown for
    // an earlier owner is shown again for the new one by RaiseShownInFront.
    static void SetFrontOwner(QWidget* owner);
    void setVisible(bool visible) override;
    // Before the window first shows: makes its native window now, and its backing store at
    // size (the window's size at its first paint, which then keeps the store).
    void PrepareBackingStore(const QSize& size);
    // Before the window first shows: touches every page of the backing store made by
    // PrepareBackingStore on a worker thread, which the window waits for when it shows. A
    // large window's first paint otherwise takes a page fault for every 4 KB that it fills:
    // a few milliseconds for a full screen. Does nothing without such a store.
    void TouchBackingStore();
    // Whether the backing store can be painted into and handed over whole now: the window is
    // exposed, and its store has the window's size (and with it its pixels).
    bool StoreReady() const;
    // Hands the X server the window's whole picture again, as its backing store holds it,
    // without painting anything: a compositor that missed the last change to the window is
    // told of damage to all of it and takes its picture anew (see ScreenWatch). False, and
    // nothing done, where the store is not ready.
    bool HandOverWhole();
    // Tells the window that its store was handed to the X server outside its own paints (a
    // slide's steps). Its paints, and its exposes, it notices itself: where a compositor on
    // X11 shows the window, the screen is then compared with its picture until it shows it
    // (see ScreenWatch). Nothing is done anywhere else.
    void PictureHandedOver();
    // While true the screen is not compared with the window's picture: it changes faster than
    // a compositor shows it (a slide). The checks start again once it is false.
    virtual bool PictureInMotion() const { return false; }

    // Every framework window that exists and has not closed, in creation order.
    static QVector<Window*> AllWindows();

protected:
    virtual void Event_Open() {}
    // A close the user asked of the window manager (its close box, Alt+F4, a task bar):
    // true keeps the window open. Closes the program makes itself are never asked.
    virtual bool Event_CancelClose() { return false; }
    virtual void Event_Close() {}
    virtual void Event_Activate() {}
    virtual void Event_Deactivate() {}
    // Key presses that no control took; return true when handled.
    virtual bool Event_KeyDown(QKeyEvent*) { return false; }
    // Moves and stretches edge-locked controls by the change of the window's size since
    // the last layout (the window's size when Open began, at first).
    void ApplyLocks();

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct ControlEntry {
        QPointer<QWidget> widget;
        QRect design;
        int locks;
        std::function<void()> open;
    };
    QVector<ControlEntry> m_controls;
    QHash<QString, std::function<bool()>> m_menuHandlers;
    bool m_opened = false;
    bool m_openCompleted = false;
    bool m_closed = false;
    bool m_showsInFront = false;
    int m_shownForOwner = -1;   // the front owner's showing this window was last shown for
    void followFrontOwner();
    void writeOwner();
    QPointer<class QEventLoop> m_modalLoop;
    QSize m_layoutSize;   // invalid until Open or the first layout
    bool m_everShown = false;
    std::future<void> m_backingStoreTouched;
    class ScreenWatch* m_screenWatch = nullptr;   // where a compositor on X11 shows the window
};
