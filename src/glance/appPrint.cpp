// Printing of the calendar window: stand-in until printing is built.
#include "shell/app.h"
#include <QImage>

bool app::_FilePrint_Action() { return false; }
void app::PrintCalendar(const QImage&) {}
