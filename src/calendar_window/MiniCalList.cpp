#include "calendar_window/MiniCalList.h"

MiniCalList::MiniCalList(int index, QWidget* parent) : calList(parent), Index(index) {}
