#pragma once
#include "framework/Date.h"
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QPointer>

class Graphics;
class QComboBox;
class QEventLoop;
class QKeyEvent;
class QLabel;
class QLineEdit;

// The "Calendar Countdown Event" dialog that a click on the countdown tile opens: the
// countdown's title and its day (month, day and year pop-ups over the calendar's three
// years). It has no buttons: closing it (its close box, or Return) commits what it shows,
// as the countdown record of kind "Countdown" at 00:00:00 of the chosen day, and renders
// the tile again, when the day or the title differs from what it opened with; closed
// unchanged it stores nothing. Nothing is written to disk here; the tile saves when the day
// or the title changed.
class CountdownInputWindow : public Window
{
    Q_OBJECT
public:
    CountdownInputWindow();

    // The open dialog, or a new one (laid out and filled, not yet shown).
    static CountdownInputWindow* Instance() { return WindowAccessor<CountdownInputWindow>::Get(); }
    static CountdownInputWindow* Existing() { return WindowAccessor<CountdownInputWindow>::Existing(); }

    // Shows the dialog modally; returns when it has closed and committed.
    void ShowModal();

    // ---- controls, in creation order ----
    QLineEdit* titleField = nullptr;
    QComboBox* Month = nullptr;
    QComboBox* Day = nullptr;
    QComboBox* Year = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;

    // ---- handlers ----
    void titleField_Open();
    // True refuses the key (with a beep): one that would make the title too wide for the
    // tile.
    bool titleField_KeyDown(QKeyEvent* event);
    void Month_Open();
    void Day_Open();
    void Year_Open();
    void Event_Paint(Graphics& g);

    // The day the pop-ups name, at 00:00:00. A year pop-up that shows none of its years
    // (the countdown lies outside the calendar's three years) keeps the countdown's year.
    Date ChosenDay() const;

    // Whether the title field refuses key typed after text: the tile shows a title without
    // a blank on one line in 11-pixel Arial, and one with a blank on two lines (its first
    // word, then the rest) in 12-pixel Arial, each at most 80 pixels wide.
    static bool RefusesKey(const QString& text, const QString& key);
    static constexpr double TitleWidthLimit = 80.0;
    static constexpr int TitleLength = 32;

    // Makes title the countdown's title and day its day: the record key//title//Countdown
    // under 00:00:00 of day (replacing a holiday there), App().countdownDate moved to it,
    // and the previous countdown record removed when the day changed (a holiday or special
    // event that it had replaced comes back). What closing the dialog does, before the
    // tile is rendered again.
    static void Commit(const Date& day, const QString& title);
    // Commits the day and title shown when the user changed them (what closing the dialog
    // stores), reading the fields only; returns whether it did.
    bool CommitChoice();

protected:
    void Event_Open() override;
    void Event_Close() override;
    bool Event_KeyDown(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    // Lists the days of the month and year the pop-ups show, keeping the chosen day (or the
    // month's last day when it has fewer).
    void fillDays(int keepDay);
    int shownMonth() const;
    int shownYear() const;

    // What the dialog opened with: whether the store holds an entry under the countdown's
    // date-time, and the day it shows first.
    bool m_recordExists = false;
    Date m_openedDay;
    // What the fields showed once the dialog had opened: closed with these, it commits nothing.
    Date m_shownDay;
    QString m_shownTitle;
};
