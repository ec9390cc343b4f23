#pragma once
#include "framework/Date.h"
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QPointer>

class Graphics;
class QCheckBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class calList;

// The modal "Calendar Event" dialog that a click on the week grid opens. It edits the entry
// that starts at App().selectedDate: a timed event, the day's note (a start at 00:00:01)
// or a new entry there. It shows the title, the all-day box, the start and the end, and a
// slider for the length in half hours (up to the next entry or 21:00). Nothing is stored
// until Save or Delete; closing the dialog any other way (close box, Escape) stores
// nothing. Return saves, whatever control has the focus; it never deletes.
class GlanceInputWindow : public Window
{
    Q_OBJECT
public:
    GlanceInputWindow();

    // The open dialog, or a new one (laid out and opened, not yet shown).
    static GlanceInputWindow* Instance() { return WindowAccessor<GlanceInputWindow>::Get(); }
    static GlanceInputWindow* Existing() { return WindowAccessor<GlanceInputWindow>::Existing(); }

    // Shows the dialog modally; returns when it has closed.
    void ShowModal();

    // The end of the edited entry.
    Date EventEndTime;

    // ---- controls, in creation order ----
    QLineEdit* EventField = nullptr;
    QCheckBox* AllDayCheck = nullptr;
    QLabel* StaticTextsAt(int index) const { return index >= 0 && index < 3 ? m_staticTexts[index] : nullptr; }
    QLabel* fromDate = nullptr;
    QLabel* toDate = nullptr;
    QSlider* HalfHourSlider = nullptr;
    QLabel* st = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* DeleteButton = nullptr;

    // ---- handlers ----
    void EventField_Open();
    void AllDayCheck_Open();
    void AllDayCheck_Action();
    void fromDate_Open();
    void toDate_Open();
    void HalfHourSlider_Open();
    void HalfHourSlider_ValueChanged();
    void SaveButton_Open();
    void SaveButton_Action();
    void SaveButton_Close();
    void DeleteButton_Open();
    void DeleteButton_Action();
    void Event_Paint(Graphics& g);

    // The latest end of a timed entry: this hour of its day.
    static constexpr int LatestEndHour = 21;

    static inline const QString InvalidTimeMessage = QStringLiteral("Invalid event time.");
    // The questions asked before the all-day box replaces or deletes an existing day note
    // from a dialog opened on a timed slot.
    static QString ReplaceDayNoteQuestion(const QString& title);
    static QString DeleteDayNoteQuestion(const QString& title);

protected:
    void Event_Open() override;
    void Event_Close() override;
    bool Event_KeyDown(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    // Whether the start is the key time of day notes (00:00:01).
    static bool IsDayNoteStart(const Date& start);
    // When the box is ticked on a dialog opened on a timed slot and the day already has a
    // note, asks question about it; false when the user said No.
    bool confirmDayNote(QString (*question)(const QString& title));
    // Moves the start to 00:00:01 of its day.
    static void moveToDayNote(Date& start);
    // The week grid the entry is stored through (the calendar window's, or one of our own
    // when no calendar window is open).
    calList* grid();

    QLabel* m_staticTexts[3] = {nullptr, nullptr, nullptr};
    calList* m_ownGrid = nullptr;
    bool m_committing = false;
};
