#include "framework/MessageBox.h"
#include "framework/Window.h"
#include <QApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {
MessageBox::Interceptor& interceptor()
{
    static MessageBox::Interceptor current;
    return current;
}

bool g_unattended = false;

// The boxes waiting in their own event loop, the newest last (a box may open over another).
QList<QPointer<QMessageBox>>& openBoxes()
{
    static QList<QPointer<QMessageBox>> boxes;
    return boxes;
}

// A text as one line of a log: its line ends become blanks.
QString oneLine(QString text)
{
    for (QChar& c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return text;
}
} // namespace

void MessageBox::SetUnattended(bool unattended)
{
    g_unattended = unattended;
    if (!unattended)
        return;
    const QList<QPointer<QMessageBox>> boxes = openBoxes();
    for (const QPointer<QMessageBox>& box : boxes)
        if (box)
            box->reject();
}

void MessageBox::ToStandardError() { g_unattended = true; }

void MessageBox::Report(const QString& text)
{
    qWarning().noquote() << oneLine(text);
    if (!g_unattended)
        MsgBox(text);
}

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
    if (g_unattended) {
        qWarning().noquote() << oneLine(d.explanation.isEmpty() ? d.message : d.message + QLatin1Char(' ') + d.explanation);
        return Button::Cancel;
    }
    if (interceptor())
        return interceptor()(d);
    QMessageBox box;
    box.setWindowTitle(QApplication::applicationDisplayName());
    if (d.aboveAll)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
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
    openBoxes().append(&box);
    box.exec();
    openBoxes().removeAll(&box);
    const auto* clicked = box.clickedButton();
    if (clicked == action)
        return Button::Action;
    if (alternate && clicked == alternate)
        return Button::Alternate;
    return Button::Cancel;
}
