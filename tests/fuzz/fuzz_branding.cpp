// The branding's settings file "calspc.dat": whatever it holds, reading it and building
// the windows from the values read (the calendar window with its year view and controls,
// drawn once, and the tab) neither crashes nor runs into undefined behaviour.
#include "FuzzHost.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/Date.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QCoreApplication>
#include <QDir>
#include <QImage>

namespace {

// A branding folder with small pictures under the names the seed files use; an input may
// name others, which are then missing.
QString brandingFolder()
{
    static const QString folder = [] {
        const QString path = FuzzHost::Get().FreshFolder() + QStringLiteral("/../Branding");
        QDir().mkpath(path);
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor(40, 90, 140));
        for (const char* name : {"title.png", "title_mask.png", "background.png", "bottom.png", "year.png"})
            picture.save(path + QLatin1Char('/') + QLatin1String(name));
        return QDir(path).canonicalPath();
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using CM = CustomizationModule;
    const QString folder = brandingFolder();
    FuzzHost::WriteFile(folder, QStringLiteral("calspc.dat"), data, size);
    QString specs;
    if (!CM::ReadSpecFile(folder, specs))
        return 0;
    CM::DefaultCalendarFolder = folder;
    CM::CalendarPropertyValues = specs;
    CM::LoadSpecs();

    App().selectedDate = Date(2026, 3, 18, 10, 30, 0);
    App().currentDate = Date(2026, 3, 18, 9, 0, 0);
    CalendarWindow* window = CalendarWindow::Instance();
    window->grab();
    TabWindow* tab = TabWindow::Instance();
    tab->grab();
    tab->CloseWindow();
    window->CloseWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
