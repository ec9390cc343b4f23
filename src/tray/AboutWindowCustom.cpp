#include "tray/AboutWindowCustom.h"

AboutWindowCustom::AboutWindowCustom()
{
    setWindowTitle(QStringLiteral("About Calendar"));
    resize(420, 300);
}
