#pragma once
#include "framework/Canvas.h"
#include <QString>

class Date;

// The canvas of the calendar window's picture areas (title, bottom picture, home button,
// menu toggle, hover tip, countdown tile): per-control state for dragging, a pre-rendered
// picture that the owner's Paint handler draws, a text and a scroll offset.
class cCanvas : public Canvas
{
    Q_OBJECT
public:
    explicit cCanvas(QWidget* parent = nullptr);

    int InX = 0;
    int InY = 0;
    bool iMoved = false;
    PicturePtr cachedImage;
    QString currentText;
    int scrollLeft = 0;

    // Renders the countdown tile into cachedImage: the whole days from today to the
    // countdown event's day, "days until" or "days since", and the event's title
    // ("Christmas", and the countdown date moved to 25 December, when there is no
    // countdown event). Does not repaint; the caller does. A hidden tile moves the date
    // now and renders when it is shown: most calendars never show it.
    void updateCountdown();
    // Moves the scrolling picture one pixel to the left; after a whole picture width the
    // offset returns to 0 (the second copy then stands where the first stood).
    void ScrollHorizontal();

    // The countdown figures: whole calendar days from today to day (negative: past), and
    // the number and label the tile shows for them.
    static int DaysUntil(const Date& today, const Date& day);
    static QString CountText(int days);
    static QString CountLabel(int days);
    // The countdown title split for two lines: the first word, and everything after it.
    static QString FirstLine(const QString& title);
    static QString SecondLine(const QString& title);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The countdown event's title; the countdown date moved to 25 December when it has none.
    static QString settledCountdownTitle();
    void renderCountdown();
    bool m_countdownPending = false;
};
