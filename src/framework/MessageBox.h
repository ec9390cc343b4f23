#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Modal message boxes and three-button message dialogs. Tests (and anything that must not
// block) install an interceptor: the texts are handed to it instead of being shown, and its
// answer is the button "pressed". While unattended (a quit that a signal or the desktop
// session's end asked for: nobody is there to click), no box is shown: each text goes to
// standard error as one line, and the dialog counts as closed (Cancel).
class MessageBox
{
public:
    enum class Button { Action, Alternate, Cancel };
    enum class Icon { Note = 0, Caution = 1, Stop = 2 };

    struct Dialog {
        Icon icon = Icon::Note;
        QString message;
        QString explanation;
        QString actionCaption = QStringLiteral("OK");
        QString alternateCaption;      // shown when not empty
        QString cancelCaption;         // shown when not empty
        // Kept above every other window: for a box that no window of the program stands
        // behind, which a window manager may otherwise open behind another program's windows
        // (a copy of the calendar that is refused at start-up, behind the running one's).
        bool aboveAll = false;
    };

    // A box with one text and an OK button.
    static void MsgBox(const QString& text);
    // The text on standard error, and in a box as MsgBox shows it; unattended, the line
    // only (once).
    static void Report(const QString& text);
    // A three-button dialog; returns the button pressed (Cancel when it was closed).
    static Button ShowDialog(const Dialog& dialog);

    using Interceptor = std::function<Button(const Dialog&)>;
    // Installs an interceptor (none to show real boxes again); returns the previous one.
    static Interceptor SetInterceptor(Interceptor interceptor);
    // A convenient interceptor for tests: records every message text into log and answers
    // with answer.
    static Interceptor Recorder(QStringList* log, Button answer = Button::Action);

    // Unattended from now on (or attended again): boxes already open close as if dismissed,
    // so that what waited for them goes on; later ones are lines on standard error. Comes
    // before an interceptor.
    static void SetUnattended(bool unattended);
    // Unattended from now on, with every box left as it is: for a save where the display is
    // gone or the event loop is held up, where closing a box could not be done.
    static void ToStandardError();
};

// Shorthand used throughout the calendar.
inline void MsgBox(const QString& text) { MessageBox::MsgBox(text); }
