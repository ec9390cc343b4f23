// make_art: draws every picture the calendar ships with.
//
//   make_art [resources folder] [--preview folder]
//
// Writes <resources>/interface/<number>.png (the twenty interface pictures)
// and <resources>/branding/<edition>/ (calspc.dat and its pictures). With
// --preview, also composes mock-ups of the calendar window from the written
// files, the way the calendar lays them out, for checking the art by eye.
#include "Editions.h"
#include "InterfaceArt.h"
#include "Preview.h"

#include <QDate>
#include <QGuiApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString out = MAKE_ART_DEFAULT_OUT;
    QString preview;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--preview" && i + 1 < args.size())
            preview = args[++i];
        else
            out = args[i];
    }

    // The year pictures belong to last year, this year and next year, the
    // years the editions show with "calendarStartYear" 0.
    const int firstYear = QDate::currentDate().year() - 1;

    interface_art::makeAll(out + "/interface");
    standard_edition::make(out + "/branding", firstYear);
    tranquil_edition::make(out + "/branding", firstYear);

    if (!preview.isEmpty())
        preview::makeAll(out, preview);
    return 0;
}
