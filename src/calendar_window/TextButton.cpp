#include "calendar_window/TextButton.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include <QMouseEvent>
#include <QPainter>

TextButton::TextButton(QWidget* parent) : QLabel(parent) {}

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

void TextButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Graphics g(&painter, width(), height());
    g.SetTextFont(TextFont);
    g.SetTextSize(TextSize);
    g.SetBold(Bold);
    g.SetForeColor(m_textColor);
    const QString t = text();
    const int x = ToInt((width() - g.StringWidth(t)) / 2.0);
    const int y = (height() + g.TextAscent()) / 2 - 2;
    g.DrawString(t, x, y);
}

void TextButton::enterEvent(QEnterEvent*) { Event_MouseEnter(); }
void TextButton::leaveEvent(QEvent*) { Event_MouseExit(); }

void TextButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_tracking = Event_MouseDown(p.x(), p.y());
    event->accept();
}

void TextButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_tracking && (event->buttons() & Qt::LeftButton))
        Event_MouseDrag(p.x(), p.y());
    else
        Event_MouseMove(p.x(), p.y());
}

void TextButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking)
        return;
    m_tracking = false;
    const QPoint p = event->position().toPoint();
    Event_MouseUp(p.x(), p.y());
}
