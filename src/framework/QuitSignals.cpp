#include "framework/QuitSignals.h"
#include "framework/Application.h"
#include "framework/Mutex.h"
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <semaphore.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
constexpr int Signals[] = {SIGTERM, SIGHUP, SIGINT};
// Which of them came already, by number.
volatile sig_atomic_t g_caught[NSIG] = {};
// Posted at each first signal: the guard's wake-up.
sem_t g_signalled;
bool g_semaphoreMade = false;
bool g_guardStarted = false;
// The guard acts only while an application (or main, before it) has the signals caught, and
// only for a signal of that catch: a Catch while none is armed, or after an application
// object's end, starts a new generation.
std::atomic<bool> g_armed{false};
std::atomic<unsigned> g_generation{0};

// Where the quit is. GuardSaving: the guard writes from memory, and the quit must not begin.
// Over: the application object is gone (main's last steps), and nothing is left to save.
enum Stage { NotBegun, Saving, Saved, GuardSaving, Over };
std::atomic<int> g_stage{NotBegun};

// Only async-signal-safe work here: one byte into the pipe, which never blocks, and the
// guard's semaphore. The same signal a second time ends a quit that hangs, as the signal's
// default effect would, but the lock goes first: the next start finds no file left behind.
void onQuitSignal(int sig)
{
    const int saved = errno;
    if (g_caught[sig]) {
        Mutex::RemoveHeldFilesAtSignal();
        ::signal(sig, SIG_DFL);
        ::raise(sig);   // delivered once this handler returns
        errno = saved;
        return;
    }
    g_caught[sig] = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    if (g_semaphoreMade)
        sem_post(&g_signalled);
    errno = saved;
}

// The main thread's processor time so far in clock ticks, and its state ('R' running); false
// when it cannot be read.
bool mainThreadTimes(unsigned long long& ticks, char& state)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/stat", int(::getpid()));
    FILE* file = std::fopen(path, "re");
    if (!file)
        return false;
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    // The thread's name, in parentheses, may hold blanks: the fields follow its last ')'.
    const char* fields = read ? std::strrchr(line, ')') : nullptr;
    unsigned long long user = 0, system = 0;
    if (!fields || std::sscanf(fields + 1, " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                               &state, &user, &system) != 3)
        return false;
    ticks = user + system;
    return true;
}

// Whether the main thread waits (for a reply, a lock, a worker): over a fifth of a second it
// used at most one clock tick and does not run now. Where that cannot be read, it counts as
// waiting: the program must end all the same.
bool mainThreadWaiting()
{
    unsigned long long before = 0, after = 0;
    char state = 0;
    if (!mainThreadTimes(before, state))
        return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (!mainThreadTimes(after, state))
        return true;
    return after - before <= 1 && state != 'R';
}

void guard()
{
    using namespace std::chrono;
    // Plain characters: the guard may act while the global destructors run.
    static constexpr char text[] =
        "lumora-calendar: the quit that a signal asked for was held up, so the calendar ends here\n";
    const QByteArray line = QByteArray::fromRawData(text, sizeof text - 1);
    for (;;) {
        while (sem_wait(&g_signalled) != 0) {
        }
        const unsigned generation = g_generation;
        const auto live = [generation] { return g_armed && g_generation == generation; };
        const auto deadline = steady_clock::now() + milliseconds(QuitSignals::GuardMs);
        while (live() && steady_clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(50));
        while (live()) {
            const int stage = g_stage;
            if (stage == Saved || stage == Over)
                Application::EndAtOnce(0, line, false);
            if (stage == Saving) {
                std::this_thread::sleep_for(milliseconds(100));
                continue;
            }
            int expected = NotBegun;
            if (mainThreadWaiting() && g_stage.compare_exchange_strong(expected, GuardSaving))
                Application::EndAtOnce(0, line, true);
        }
    }
}
} // namespace

void QuitSignals::Catch()
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;   // the signals keep their default effect
    }
    if (!g_semaphoreMade)
        g_semaphoreMade = sem_init(&g_signalled, 0, 0) == 0;
    if (g_semaphoreMade && !g_guardStarted) {
        try {
            std::thread(guard).detach();
            g_guardStarted = true;
        } catch (const std::system_error& e) {
            // The event loop still quits at a signal; only a held-up one is not ended.
            qWarning("No thread could be started to guard the quit at a signal: %s", e.what());
        }
    }
    // Main caught them already: a signal since is the application's. After an application
    // object's end, a new one starts afresh.
    if (!g_armed || g_stage == Over) {
        g_armed = false;
        ++g_generation;
        std::fill(std::begin(g_caught), std::end(g_caught), 0);
        if (g_semaphoreMade)
            while (sem_trywait(&g_signalled) == 0) {
            }
        g_stage = NotBegun;
        g_armed = true;
    }
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : Signals) {
        struct sigaction before = {};
        if (sigaction(sig, nullptr, &before) == 0 && (before.sa_handler == SIG_IGN || before.sa_handler == onQuitSignal))
            continue;
        sigaction(sig, &action, nullptr);
    }
}

bool QuitSignals::Asked()
{
    return std::any_of(std::begin(Signals), std::end(Signals), [](int sig) { return g_caught[sig] != 0; });
}

void QuitSignals::QuitIfAsked()
{
    if (Asked())
        Application::EndNow(0, QByteArray());
}

int QuitSignals::PipeToRead() { return g_pipe[0]; }

void QuitSignals::QuitBegun()
{
    int expected = NotBegun;
    if (g_stage.compare_exchange_strong(expected, Saving) || expected != GuardSaving)
        return;
    // The guard writes what the user typed and ends the process: nothing may change it now.
    for (;;)
        ::pause();
}

void QuitSignals::QuitSaved()
{
    int expected = Saving;
    g_stage.compare_exchange_strong(expected, Saved);
}

void QuitSignals::Release()
{
    // The signals stay caught: main's last steps (the toolkit's clean-up, the global
    // destructors) may take a while, and a signal then would otherwise end the process by
    // itself, with its own status, after a quit that saved. A quit is under way or done.
    g_stage = Over;
}
