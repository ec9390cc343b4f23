#include "calendar_window/MiniCalList.h"

MiniCalList::MiniCalList(int index, QWidget* parent) : ListBox(parent), Index(index) {}
