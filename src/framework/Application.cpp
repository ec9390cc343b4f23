#include "framework/Application.h"
#include "framework/MenuBar.h"
#include "framework/MessageBox.h"
#include "framework/Mutex.h"
#include "framework/Window.h"
#include <QKeyEvent>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
Application* g_instance = nullptr;
int g_signalPipe[2] = {-1, -1};
constexpr int QuitSignals[] = {SIGTERM, SIGHUP, SIGINT};
// Which of them came already, by number.
volatile sig_atomic_t g_signalCaught[NSIG] = {};

// Only async-signal-safe work here: one byte into the pipe, which never blocks. The same
// signal a second time ends a quit that hangs, as the signal's default effect would, but the
// lock goes first: the next start finds no file left behind. Another of the three signals
// joins the quit under way (a session's end sends SIGTERM and SIGHUP together).
void onQuitSignal(int sig)
{
    const int saved = errno;
    if (g_signalCaught[sig]) {
        Mutex::RemoveHeldFilesAtSignal();
        ::signal(sig, SIG_DFL);
        ::raise(sig);   // delivered once this handler returns
        errno = saved;
        return;
    }
    g_signalCaught[sig] = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

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
    for (const int sig : QuitSignals) {
        struct sigaction current = {};
        if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == onQuitSignal)
            std::signal(sig, SIG_DFL);
    }
    if (g_instance == this) {
        g_instance = nullptr;
        MessageBox::SetUnattended(false);
        std::fill(std::begin(g_signalCaught), std::end(g_signalCaught), 0);   // a later one starts afresh
    }
}

void Application::catchQuitSignals()
{
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
        return;   // the signals keep their default effect
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        QuitUnattended(0);
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : QuitSignals) {
        // A signal ignored from the start stays ignored: nohup, or a shell's background job.
        struct sigaction before = {};
        if (sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        sigaction(sig, &action, nullptr);
    }
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
    // Close every window, hidden or slid away ones too, so their close handlers save. The
    // newest first: a dialog still open commits into what the window below it then saves.
    const QVector<Window*> windows = Window::AllWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (!(*it)->IsClosed())
            (*it)->CloseWindow();
    Event_Close();
    QCoreApplication::exit(status);
}

void Application::SaveFromMemory()
{
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
    Mutex::RemoveHeldFilesAtSignal();
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.constData(), size_t(line.size()));
    ::_exit(status);
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
