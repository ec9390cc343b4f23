#pragma once
#include <QLabel>

// A label of the custom about window, a member of the control array StaticTexts(0) to
// StaticTexts(2).
class StaticTexts : public QLabel
{
    Q_OBJECT
public:
    StaticTexts(int index, QWidget* parent = nullptr);
    int Index = 0;
};
