#include "tray/HelpEdit.h"

HelpEdit::HelpEdit(int index, QWidget* parent) : QPlainTextEdit(parent), Index(index) {}
