#include "framework/Application.h"
#include "framework/DisplayConnection.h"
#include "framework/DisplayLoss.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/QuitSignals.h"
#include "framework/SessionBus.h"
#include "shell/FileTypes.h"
#include "shell/InterfacePictures.h"

#include "shell/Menu.h"
#include "shell/app.h"
#include <cstdio>
#include <malloc.h>
#include <xcb/xcb.h>

int main(int argc, char** argv)
{
    // A quit signal asks for a quit from the first line on: before the application object has
    // its event loop, that ends the program at once, with nothing to save (QuitSignals::
    // QuitIfAsked after each step below that may take a while).
    QuitSignals::Catch();
    // Sliding and placing windows at the screen's top edge needs X11, whatever platform the
    // session asks Qt programs to use (many Wayland sessions set QT_QPA_PLATFORM=wayland for
    // all of them): where no X server answers at the display the environment names (in a
    // Wayland session, the session's XWayland), the program says so and ends. The connection
    // stays open until Qt has its own: an X server started without -noreset (Xorg's, Xvfb's
    // and xvfb-run's default) resets when its last client leaves, and turns away a client
    // that comes meanwhile, here Qt, which would then end the program.
    xcb_connection_t* display = DisplayConnection::Open();
    QuitSignals::QuitIfAsked();
    if (xcb_connection_has_error(display)) {
        xcb_disconnect(display);
        std::fputs(DisplayLoss::UnreachableLine().constData(), stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The menus live in the calendar window (MenuBar::CreateWidget). Said before the
    // application object exists: otherwise each menu bar asks the session bus whether a
    // global-menu registrar runs (a round trip at every start), and where one runs (a desktop
    // with a global menu) its menus leave the window for the desktop's.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    // Start-up allocates much from several threads at once (the events file's readers, the
    // toolkit loading its plugins, the pictures' decoders): the heap grows in steps of
    // 16 MB instead of many small ones, each of which waits for the process's address-space
    // lock while the other threads fault in their pages. The window's first paint sets
    // the usual step again (app::Event_Open).
    mallopt(M_TOP_PAD, 16 << 20);
    // Before anything writes (the toolkit's caches too): a file-size limit fails the write
    // instead of ending the program.
    Files::CatchFileSizeLimit();
    // From here the display's loss ends the program as it should, also while the application
    // object is made.
    DisplayLoss::Watch(display);
    // Before the toolkit asks the session bus and before threads read the environment: a bus
    // that never answers costs at most a few seconds, and none at all launches none. A quit
    // signal cuts the asking short, and so does the display's end, which ends the program.
    if (!SessionBus::Probe(xcb_get_file_descriptor(display)))
        Application::EndNow(1, DisplayLoss::GoneLine());
    QuitSignals::QuitIfAsked();
    // The single-instance lock comes first: a copy that another one refuses reads nothing of
    // the user's data (app::CheckRunning then shows why it ends). A large events file is read
    // while the toolkit starts and the branding is read (a smaller one once the application
    // object is made, app::app).
    if (app::EnterLock())
        app::StartReadingEventsFile(true);
    // After the environment's last change here: fontconfig reads it.
    Graphics::StartFontConfiguration();
    QuitSignals::QuitIfAsked();
    int status = 0;
    {
        DisplayLoss::MakingApplication();
        app application(argc, argv);
        DisplayLoss::ApplicationMade();
        SessionBus::RestoreEnvironment();
        QuitSignals::QuitIfAsked();
        xcb_disconnect(display);
        try {
            FileTypes::_Initialize();
            application._ApplicationAddMenuHandlers();
            status = application.Run();
        } catch (const std::exception& e) {
            application.ReportException(&e);
        }

        InterfacePictures::ReleaseAll();
        FileTypes::Release();
    }
    return status;
}
