#include "FuzzHost.h"
#include "framework/MessageBox.h"
#include "shell/app.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

QString FuzzHost::rootTemplate()
{
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    const QString base = memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
    return base + QStringLiteral("/lumora-fuzz-XXXXXX");
}

FuzzHost::FuzzHost()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The readers find the user's files through these folders: keep them inside the run's
    // temporary folder.
    qputenv("HOME", m_root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_root.path() + QStringLiteral("/.config")).toUtf8());
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
