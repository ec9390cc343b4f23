#include "calendar_window/floatingLinkCanvas.h"

floatingLinkCanvas::floatingLinkCanvas(int index, QWidget* parent) : Canvas(parent), Index(index) {}
