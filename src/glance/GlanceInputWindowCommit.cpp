// The event dialog's Save and Delete, its keys and its modal run. Both store through the
// week grid (which checks the entry and tags its cells) and keep the year view's day cell
// in step; nothing is written to disk here.
#include "calendar_window/CalendarWindow.h"
#include "data/EventRecord.h"
#include "glance/calList.h"
#include "framework/MessageBox.h"
#include "glance/GlanceInputWindow.h"
#include "data/YearDayTag.h"
#include "shell/app.h"
#include <QCheckBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Marks a commit under way, so that a second Return or click during its message boxes
// does nothing.
class Committing
{
public:
    explicit Committing(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Committing() { m_flag = false; }

private:
    bool& m_flag;
};

QString dayNoteKey(const Date& day) { return Date(day.Year(), day.Month(), day.Day(), 0, 0, 1).SQLDateTime(); }
} // namespace

QString GlanceInputWindow::ReplaceDayNoteQuestion(const QString& title)
{
    return QStringLiteral("Replace the day note \"") + title + QStringLiteral("\" with this all-day event?");
}

QString GlanceInputWindow::DeleteDayNoteQuestion(const QString& title)
{
    return QStringLiteral("Delete the day note \"") + title + QStringLiteral("\"?");
}

void GlanceInputWindow::ShowModal() { Window::ShowModal(EventField); }

void GlanceInputWindow::Event_Close()
{
    SaveButton_Close();
}

void GlanceInputWindow::SaveButton_Close() { SaveButton->unsetCursor(); }

bool GlanceInputWindow::Event_KeyDown(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SaveButton_Action();
        return true;
    case Qt::Key_Escape:
        CloseWindow();
        return true;
    default:
        return false;
    }
}

calList* GlanceInputWindow::grid()
{
    if (CalendarWindow* window = CalendarWindow::Existing())
        if (window->GlanceList)
            return window->GlanceList;
    if (!m_ownGrid)
        m_ownGrid = new calList(this);
    return m_ownGrid;
}

void GlanceInputWindow::moveToDayNote(Date& start)
{
    start.SetHour(0);
    start.SetMinute(0);
    start.SetSecond(1);
}

bool GlanceInputWindow::confirmDayNote(QString (*question)(const QString& title))
{
    const Date& start = App().selectedDate;
    const QString key = dayNoteKey(start);
    const Dictionary& store = App().eventDict;
    if (!AllDayCheck->isChecked() || IsDayNoteStart(start) || !store.HasKey(key))
        return true;
    MessageBox::Dialog dialog;
    dialog.icon = MessageBox::Icon::Caution;
    dialog.message = question(EventRecord::Title(store.Value(key)));
    dialog.actionCaption = QStringLiteral("Yes");
    dialog.cancelCaption = QStringLiteral("No");
    return MessageBox::ShowDialog(dialog) == MessageBox::Button::Action;
}

void GlanceInputWindow::SaveButton_Action()
{
    if (m_committing || IsClosed())
        return;
    const Committing committing(m_committing);
    QPointer<GlanceInputWindow> self(this);
    if (EventField->text().isEmpty())
        EventField->setText(QStringLiteral("New Event"));
    const QString title = EventRecord::CleanText(EventField->text());

    Date& start = App().selectedDate;
    if (AllDayCheck->isChecked()) {
        const bool go = confirmDayNote(&ReplaceDayNoteQuestion);
        if (!self || !go)
            return;   // the dialog stays open, nothing stored
        moveToDayNote(start);
        EventEndTime = start;
    }
    QPointer<CalendarWindow> window(CalendarWindow::Existing());
    grid()->AddEvent(EventEndTime, title);
    if (window && !window->IsClosed())
        window->AddEvent();
    if (self)
        CloseWindow();
}

void GlanceInputWindow::DeleteButton_Action()
{
    if (m_committing || IsClosed())
        return;
    const Committing committing(m_committing);
    QPointer<GlanceInputWindow> self(this);

    Date& start = App().selectedDate;
    if (AllDayCheck->isChecked()) {
        const bool go = confirmDayNote(&DeleteDayNoteQuestion);
        if (!self || !go)
            return;
        moveToDayNote(start);
    }
    QPointer<CalendarWindow> window(CalendarWindow::Existing());
    const Dictionary& store = App().eventDict;
    const QString key = start.SQLDateTime();
    if (store.HasKey(key) && window && !window->IsClosed())
        window->RemoveEvent(YearDayTag::Run(store.Value(key)));
    grid()->RemoveEvent();
    if (self)
        CloseWindow();
}
