#include "calendar_window/TextButton.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"

// The canvas's mouse protocol (a taken press gets the drag and the release) drives the
// button's own handling.
TextButton::TextButton(QWidget* parent) : Canvas(parent)
{
    Paint = [this](Graphics& g) { paint(g); };
    MouseEnter = [this] { Event_MouseEnter(); };
    MouseExit = [this] { Event_MouseExit(); };
    MouseDown = [this](int x, int y) { return Event_MouseDown(x, y); };
    MouseDrag = [this](int x, int y) { Event_MouseDrag(x, y); };
    MouseUp = [this](int x, int y) { Event_MouseUp(x, y); };
    MouseMove = [this](int x, int y) { Event_MouseMove(x, y); };
}

void TextButton::setText(const QString& text)
{
    m_text = text;
    update();
}

void TextButton::SetTextColor(const QColor& color)
{
    m_textColor = color;
    update();
}

void TextButton::Event_MouseEnter()
{
    SetTextColor(HoverColor);
    MouseIn = true;
}

void TextButton::Event_MouseExit()
{
    SetTextColor(CustomizationModule::menuColor);
    MouseIn = false;
}

bool TextButton::Event_MouseDown(int, int)
{
    SetTextColor(PressedColor);
    return true;
}

void TextButton::Event_MouseDrag(int x, int y)
{
    // Both tests are strict: the four boundary lines belong to neither side.
    if (0 < x && 0 < y && x < width() && y < height()) {
        SetTextColor(PressedColor);
        MouseIn = true;
    } else if (x < 0 || y < 0 || x > width() || y > height()) {
        SetTextColor(CustomizationModule::menuColor);
        MouseIn = false;
    }
}

void TextButton::Event_MouseUp(int, int)
{
    if (!MouseIn)
        return;
    SetTextColor(HoverColor);
    if (Action)
        Action();
}

void TextButton::Event_MouseMove(int, int) {}

void TextButton::Event_Open()
{
    if (QWidget* container = parentWidget(); container && !container->isWindow())
        setParent(container->window());
    if (Open)
        Open();
}

void TextButton::paint(Graphics& g)
{
    g.SetTextFont(TextFont);
    g.SetTextSize(TextSize);
    g.SetBold(Bold);
    g.SetForeColor(m_textColor);
    const int x = ToInt((width() - g.StringWidth(m_text)) / 2.0);
    const int y = (height() + g.TextAscent()) / 2 - 2;
    g.DrawString(m_text, x, y);
}
