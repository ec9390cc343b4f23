#include "framework/Application.h"
#include "framework/MenuBar.h"
#include "framework/MessageBox.h"
#include "framework/Mutex.h"
#include "framework/QuitSignals.h"
#include "framework/Window.h"
#include <QKeyEvent>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace {
std::atomic<Application*> g_instance{nullptr};
// Where EndNow writes its line (KeepStandardError).
std::atomic<int> g_standardError{STDERR_FILENO};

void resetEnabled(MenuItem* item)
{
    for (int i = 0; i < item->Count(); ++i) {
        MenuItem* child = item->Item(i);
        child->Enabled = child->AutoEnable;
        resetEnabled(child);
    }
}

Window* frontWindow(Window* chosenIn)
{
    Window* w = chosenIn ? chosenIn : qobject_cast<Window*>(QApplication::activeWindow());
    return w && !w->IsClosed() ? w : nullptr;
}
} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    g_instance = this;
    setQuitOnLastWindowClosed(false);
    // A window's native window is made with winId() before it shows (Window writes its hints
    // first), and Qt makes every widget beside a native one native too: for a window that has
    // a parent (the event dialog on the calendar window), each control of the parent would
    // become a window of the display's own, which a compositor shows late (kwin_wayland
    // showed the calendar's slides a second late after one dialog). One window of the
    // display per window.
    setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    connect(this, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            Event_Deactivate();
    });
    catchQuitSignals();
    // The desktop session ends (logout, shutdown): save and leave as a quit does, with nobody
    // to answer a message. A loop that ends some other way still runs the quit's steps first.
    connect(this, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { QuitUnattended(0); },
            Qt::DirectConnection);
    connect(this, &QCoreApplication::aboutToQuit, this, [this] { QuitUnattended(m_exitStatus); },
            Qt::DirectConnection);
}

Application::~Application()
{
    QuitSignals::Release();
    Application* self = this;
    if (g_instance.compare_exchange_strong(self, nullptr))
        MessageBox::SetUnattended(false);
}

void Application::catchQuitSignals()
{
    QuitSignals::Catch();
    if (QuitSignals::PipeToRead() < 0)
        return;   // the signals keep their default effect
    auto* notifier = new QSocketNotifier(QuitSignals::PipeToRead(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(QuitSignals::PipeToRead(), bytes, sizeof bytes) > 0) {
        }
        QuitUnattended(0);
    });
}

Application* Application::Instance() { return g_instance; }

int Application::Run()
{
    QTimer::singleShot(0, this, [this]() {
        try {
            Event_Open();
        } catch (const std::exception& e) {
            ReportException(&e);
        } catch (...) {
            ReportException(nullptr);
        }
    });
    try {
        const int status = exec();
        return m_quitting ? m_exitStatus : status;
    } catch (const std::exception& e) {
        ReportException(&e);
    } catch (...) {
        ReportException(nullptr);
    }
    return m_exitStatus;
}

void Application::QuitUnattended(int status)
{
    // A quit under way (a message of the menu's Quit waiting for a click) goes on without it.
    MessageBox::SetUnattended(true);
    Quit(status);
}

void Application::Quit(int status)
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_exitStatus = status;
    QuitSignals::QuitBegun();
    // Close every window, hidden or slid away ones too, so their close handlers save. The
    // newest first: a dialog still open commits into what the window below it then saves.
    const QVector<Window*> windows = Window::AllWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (!(*it)->IsClosed())
            (*it)->CloseWindow();
    Event_Close();
    QuitSignals::QuitSaved();
    QCoreApplication::exit(status);
}

void Application::SaveFromMemory()
{
    // A box would wait for a click on a display that may be gone: what the save has to say
    // goes to standard error.
    MessageBox::ToStandardError();
    try {
        Event_SaveFromMemory();
    } catch (...) {
    }
}

void Application::EndAtOnce(int status, const QByteArray& line, bool save)
{
    static std::atomic<bool> ending{false};
    static thread_local bool endingHere = false;
    if (ending.exchange(true) && !endingHere)
        for (;;)
            ::pause();
    if (save && !endingHere) {
        endingHere = true;
        if (Application* application = Instance())
            application->SaveFromMemory();
    }
    endingHere = true;
    EndNow(status, line);
}

void Application::EndNow(int status, const QByteArray& line)
{
    Mutex::RemoveHeldFilesAtSignal();
    [[maybe_unused]] const ssize_t written = ::write(g_standardError, line.constData(), size_t(line.size()));
    ::_exit(status);
}

void Application::KeepStandardError()
{
    if (g_standardError != STDERR_FILENO)
        return;
    const int kept = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (kept >= 0)
        g_standardError = kept;
}

void Application::WhenNoDialog(std::function<void()> action)
{
    QTimer::singleShot(0, this, [this, action = std::move(action)]() mutable {
        if (m_quitting)
            return;
        if (QApplication::activeModalWidget() || Window::AnyOpening()) {
            QTimer::singleShot(DialogRecheckMs, this, [this, action = std::move(action)]() mutable {
                WhenNoDialog(std::move(action));
            });
            return;
        }
        action();
    });
}

void Application::AddMenuHandler(const QString& itemName, std::function<bool()> handler)
{
    m_menuHandlers.insert(itemName, std::move(handler));
}

bool Application::DispatchMenuItem(const QString& itemName, Window* chosenIn)
{
    if (Window* w = frontWindow(chosenIn))
        if (w->HandleMenuItem(itemName))
            return true;
    const auto it = m_menuHandlers.constFind(itemName);
    if (it != m_menuHandlers.constEnd() && it.value()) {
        const auto handler = it.value();
        return handler();
    }
    if (m_menuBar)
        if (MenuItem* item = m_menuBar->Child(itemName); item && item->ItemKind == MenuItem::Kind::Quit) {
            Quit(0);
            return true;
        }
    return false;
}

void Application::RunEnableMenuItems(Window* chosenIn)
{
    if (!m_menuBar)
        return;
    resetEnabled(&m_menuBar->Root());
    if (Window* w = frontWindow(chosenIn))
        w->Event_EnableMenuItems();
    Event_EnableMenuItems();
}

void Application::ReportException(const std::exception* error)
{
    if (m_inExceptionDialog)
        return; // one dialog at a time: a repeating source does not stack them
    m_inExceptionDialog = true;
    try {
        Event_UnhandledException(error);
    } catch (...) {
    }
    m_inExceptionDialog = false;
}

bool Application::handleShortcut(QEvent* event)
{
    if (!m_menuBar || event->type() != QEvent::KeyPress || QApplication::activeModalWidget())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_unknown || key->key() == Qt::Key_Control || key->key() == Qt::Key_Shift
        || key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta)
        return false;
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)))
        return false;
    const QKeySequence keys(key->keyCombination());
    MenuItem* item = m_menuBar->ItemForShortcut(keys);
    if (!item)
        return false;
    DispatchMenuItem(item->Name);
    return true;
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        if (event->type() == QEvent::KeyPress && receiver->isWidgetType() && handleShortcut(event))
            return true;
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportException(&e);
    } catch (...) {
        ReportException(nullptr);
    }
    return true;
}
