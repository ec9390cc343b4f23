#include "framework/Files.h"
#include "shell/FileTypes.h"
#include "shell/InterfacePictures.h"

#include "shell/Menu.h"
#include "shell/app.h"
#include <malloc.h>

int main(int argc, char** argv)
{
    // Sliding and placing windows at the screen's top edge needs X11.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Start-up allocates much from several threads at once (the events file's readers, the
    // toolkit loading its plugins, the pictures' decoders): the heap grows in steps of
    // 16 MB instead of many small ones, each of which waits for the process's address-space
    // lock while the other threads fault in their pages. The window's first paint sets
    // the usual step again (app::Event_Open).
    mallopt(M_TOP_PAD, 16 << 20);
    // Before anything writes (the toolkit's caches too): a file-size limit fails the write
    // instead of ending the program.
    Files::CatchFileSizeLimit();
    // The single-instance lock comes first: a copy that another one refuses reads nothing of
    // the user's data (app::CheckRunning then shows why it ends). A large events file is read
    // while the toolkit starts and the branding is read (a smaller one once the application
    // object is made, app::app).
    if (app::EnterLock())
        app::StartReadingEventsFile(true);
    int status = 0;
    {
        app application(argc, argv);
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
