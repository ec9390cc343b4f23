#pragma once
#include "framework/Date.h"
#include "framework/Picture.h"
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QColor>
#include <QVector>

class Graphics;
class QToolButton;
class calCanvas;

// The mini calendar: a small window floating above every application near the bottom-right
// corner of the screen, one tenth of the calendar window's size each way, that shows one
// month (name and year, weekday letters, six week rows) with today in bold. "<" and ">"
// at its top corners step by a month. Only the tray item opens and closes it; the window
// records in App().TrayWindowOpen whether it is open.
class TrayWindow : public Window
{
    Q_OBJECT
public:
    TrayWindow();
    ~TrayWindow() override;

    static TrayWindow* Instance() { return WindowAccessor<TrayWindow>::Get(); }
    static TrayWindow* Existing() { return WindowAccessor<TrayWindow>::Existing(); }

    // A date in the month shown (day 1 once the month was painted or stepped).
    Date trayDate;

    // The window's background colour and backdrop picture (none without a branding
    // background image).
    QColor BackColor = QColor(224, 230, 254);
    PicturePtr Backdrop;

    // ---- controls, in creation order ----
    calCanvas* Calendar = nullptr;
    QToolButton* PreviousMonth = nullptr;
    QToolButton* NextMonth = nullptr;

    // ---- handlers ----
    void Calendar_Open();
    void Calendar_Paint(Graphics& g);
    void PreviousMonth_Action();
    void NextMonth_Action();

    // The heading of a month: its name and year ("December 2026").
    static QString Heading(const Date& month);
    // The 42 day cells of the six week rows (Sunday first) of the month of month: the day
    // numbers of that month (one digit with a leading blank), empty cells for the days of
    // the months before and after; bold marks today.
    struct DayCell {
        QString text;
        bool bold = false;
    };
    static QVector<DayCell> MonthGrid(const Date& month, const Date& today);
    // The window's place for its size inside the work area: 6 pixels from its right and
    // bottom edges.
    static QPoint StartPosition(const QSize& size, const QRect& workArea);
    // The window's geometry moved so that its frame, which reaches past an edge of the work
    // area, lies on it.
    static QRect KeptOnWorkArea(const QRect& geometry, const QRect& frame, const QRect& workArea);

protected:
    void Event_Open() override;
    void Event_Close() override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;


private:
    // A window manager that puts the frame, not the window, at the place asked (i3 does)
    // would leave the last rows below the screen: once the frame is known, a frame that
    // reaches past the work area is moved back onto it, once per showing.
    void keepFrameOnScreen();
    bool m_frameKept = false;
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers() {}
    void stepMonth(int months);
};
