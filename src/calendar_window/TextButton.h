#pragma once
#include "framework/Canvas.h"
#include <QColor>
#include <functional>

// A text label that acts as a push button: its text colour follows the mouse (light over
// it, dark while pressed, the branding's menu colour at rest) and a release over it raises
// Action. The instance's Open runs when the control opens, after it was detached from any
// control that contained it.
class TextButton : public Canvas
{
    Q_OBJECT
public:
    static inline const QColor HoverColor = QColor(245, 245, 245);
    static inline const QColor PressedColor = QColor(60, 60, 60);

    explicit TextButton(QWidget* parent = nullptr);

    // The instance's own events.
    std::function<void()> Action;
    std::function<void()> Open;

    QString text() const { return m_text; }
    void setText(const QString& text);

    bool MouseIn = false;
    QColor TextColor() const { return m_textColor; }
    void SetTextColor(const QColor& color);
    QString TextFont = QStringLiteral("System");
    int TextSize = 0;
    bool Bold = false;

    // The class's handling of the framework's events (coordinates relative to the control).
    void Event_MouseEnter();
    void Event_MouseExit();
    bool Event_MouseDown(int x, int y);
    void Event_MouseDrag(int x, int y);
    void Event_MouseUp(int x, int y);
    void Event_MouseMove(int x, int y);
    // Opening: detaches the control from a containing control, then raises Open.
    void Event_Open();

private:
    void paint(Graphics& g);

    QString m_text;
    QColor m_textColor = QColor(0, 0, 0);
};
