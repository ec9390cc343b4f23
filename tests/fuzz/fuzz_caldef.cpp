// "caldef.dat", which names the default branding folder: whatever it holds, the folder
// chosen is one of the branding folders beside the program (or the one in use), never a
// path outside the program's folder.
#include "FuzzHost.h"
#include "shell/CustomizationModule.h"
#include <QDir>
#include <QFile>

namespace {

// The program's folder: two branding folders and one without a "calspc.dat".
QString programFolder()
{
    static const QString base = [] {
        const QString folder = FuzzHost::Get().FreshFolder();
        for (const char* name : {"Alpha", "Beta"}) {
            QDir(folder).mkpath(QLatin1String(name));
            QFile specs(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral("/calspc.dat"));
            specs.open(QIODevice::WriteOnly);
        }
        QDir(folder).mkpath(QStringLiteral("NoSpecs"));
        return folder;
    }();
    return base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString base = programFolder();
    FuzzHost::WriteFile(base, QStringLiteral("caldef.dat"), data, size);

    const QString current = base + QStringLiteral("/Beta");
    const QString chosen = CustomizationModule::DiscoverFolder(base, current);
    const QString parent = QFileInfo(chosen).absolutePath();
    FuzzHost::Require(QFileInfo(parent).canonicalFilePath() == QFileInfo(base).canonicalFilePath(),
                      "the chosen folder is not beside the program", chosen);
    FuzzHost::Require(QFile::exists(chosen + QStringLiteral("/calspc.dat")), "the chosen folder holds no branding", chosen);
    return 0;
}
