// The preferences file "LMCalendar.prefs": whatever it holds, reading it and opening the tab
// at the place read neither crashes nor runs into undefined behaviour, and what is written
// back reads as the same values.
#include "FuzzHost.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString values()
{
    return QStringLiteral("%1;%2;%3").arg(App().showCoundownCalendar).arg(App().tabLeft).arg(App().installSysTray);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzHost::Get();
    const QFileInfo prefs(app::PrefsPath());
    QDir().mkpath(prefs.absolutePath());
    FuzzHost::WriteFile(prefs.absolutePath(), prefs.fileName(), data, size);

    App().GetPrefs();
    TabWindow* tab = TabWindow::Instance();
    tab->grab();
    tab->CloseWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QString read = values();
    App().PutPrefs();
    App().GetPrefs();
    FuzzHost::Require(values() == read, "the preferences changed on the way round", read + QStringLiteral(" -> ") + values());
    return 0;
}
