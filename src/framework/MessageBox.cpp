#include "framework/MessageBox.h"
#include "framework/Window.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageBox::Interceptor& interceptor()
{
    static MessageBox::Interceptor current;
    return current;
}
} // namespace

MessageBox::Interceptor MessageBox::SetInterceptor(Interceptor next)
{
    Interceptor previous = interceptor();
    interceptor() = std::move(next);
    return previous;
}

MessageBox::Interceptor MessageBox::Recorder(QStringList* log, Button answer)
{
    return [log, answer](const Dialog& d) {
        if (log)
            log->append(d.message);
        return answer;
    };
}

void MessageBox::MsgBox(const QString& text)
{
    Dialog d;
    d.message = text;
    ShowDialog(d);
}

MessageBox::Button MessageBox::ShowDialog(const Dialog& d)
{
    if (interceptor())
        return interceptor()(d);
    QMessageBox box;
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(d.message);
    if (!d.explanation.isEmpty())
        box.setInformativeText(d.explanation);
    switch (d.icon) {
    case Icon::Note: box.setIcon(d.alternateCaption.isEmpty() ? QMessageBox::NoIcon : QMessageBox::Information); break;
    case Icon::Caution: box.setIcon(QMessageBox::Warning); break;
    case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
    }
    QPushButton* action = box.addButton(d.actionCaption, QMessageBox::AcceptRole);
    QPushButton* alternate = d.alternateCaption.isEmpty()
        ? nullptr : box.addButton(d.alternateCaption, QMessageBox::ActionRole);
    QPushButton* cancel = d.cancelCaption.isEmpty()
        ? nullptr : box.addButton(d.cancelCaption, QMessageBox::RejectRole);
    box.setDefaultButton(action);
    if (cancel)
        box.setEscapeButton(cancel);
    // The box blocks every other window: minimised, it could not be brought back.
    box.winId();
    Window::KeepToFrame(&box);
    box.exec();
    const auto* clicked = box.clickedButton();
    if (clicked == action)
        return Button::Action;
    if (alternate && clicked == alternate)
        return Button::Alternate;
    return Button::Cancel;
}
