#include "shell/FileTypes.h"
#include "shell/InterfacePictures.h"

#include "shell/Menu.h"
#include "shell/app.h"

int main(int argc, char** argv)
{
    // Sliding and placing windows at the screen's top edge needs X11.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The events file is read while the toolkit starts and the branding is read.
    app::StartReadingEventsFile();
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
