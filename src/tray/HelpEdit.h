#pragma once
#include <QPlainTextEdit>

// A page field of the help window, a member of the control array HelpEdit(0) to HelpEdit(4).
class HelpEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    HelpEdit(int index, QWidget* parent = nullptr);
    int Index = 0;
};
