#include "tray/StaticTexts.h"

StaticTexts::StaticTexts(int index, QWidget* parent) : QLabel(parent), Index(index) {}
