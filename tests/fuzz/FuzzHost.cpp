#include "FuzzHost.h"
#include "framework/MessageBox.h"
#include "shell/app.h"
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

// libFuzzer calls this once before the first input, before its per-input timer runs: the
// host and its font database are ready then, so an input's time is the reader's work only.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzHost::Get();
    App().FontDatabaseRead();
    return 0;
}

void FuzzHost::removeFolderAtExit()
{
    // libFuzzer ends a run at a timeout, a crash or SIGINT/SIGTERM with _Exit, which skips
    // every destructor. A shell that waits for the end of a pipe only this process writes to
    // sees it close however the process ends, and then removes the folder; it ignores the
    // signals that a stopped run's process group gets.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    const QByteArray folder = m_root.path().toLocal8Bit();
    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[0], STDIN_FILENO);   // dup2 clears close-on-exec on the copy
        execl("/bin/sh", "sh", "-c", "exec >/dev/null 2>&1; trap '' INT TERM HUP; cat; rm -rf -- \"$0\"",
              folder.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[0]);
    if (child < 0)
        close(ends[1]);
    // Otherwise the write end stays open, unused, until this process ends.
}

FuzzHost::FuzzHost()
{
    removeFolderAtExit();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The readers find the user's files through these folders: keep them inside the run's
    // temporary folder.
    qputenv("HOME", m_root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_root.path() + QStringLiteral("/.config")).toUtf8());
    // Qt would otherwise make a runtime folder of its own in TMPDIR, outside the run's one.
    const QString runtime = m_root.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static app application(argc, argv);
    MessageBox::SetInterceptor(MessageBox::Recorder(nullptr));
}

FuzzHost& FuzzHost::Get()
{
    static FuzzHost host;
    return host;
}

QString FuzzHost::FreshFolder()
{
    const QString folder = m_root.path() + QStringLiteral("/input");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

QString FuzzHost::WriteFile(const QString& folder, const QString& name, const uint8_t* data, size_t size)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        Fail("the input could not be written to a file", path);
    return path;
}

void FuzzHost::Fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "\n*** %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}
