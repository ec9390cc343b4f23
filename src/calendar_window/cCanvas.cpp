#include "calendar_window/cCanvas.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include <cstdlib>

cCanvas::cCanvas(QWidget* parent) : Canvas(parent) {}

int cCanvas::DaysUntil(const Date& today, const Date& day)
{
    const Date from(today.Year(), today.Month(), today.Day());
    const Date to(day.Year(), day.Month(), day.Day());
    return int((to.TotalSeconds() - from.TotalSeconds()) / 86400);
}

QString cCanvas::CountText(int days) { return Str(std::abs(days)); }

QString cCanvas::CountLabel(int days)
{
    return days < 0 ? QStringLiteral("days since") : QStringLiteral("days until");
}

QString cCanvas::FirstLine(const QString& title)
{
    const int blank = title.indexOf(QLatin1Char(' '));
    return blank < 0 ? title : title.left(blank);
}

QString cCanvas::SecondLine(const QString& title)
{
    const int blank = title.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : title.mid(blank + 1);
}

namespace {
// Draws text centred on the tile (5 pixels left of the centre line) at baseline y.
void drawCentred(Graphics& g, const QString& text, int tileWidth, int y)
{
    g.DrawString(text, ToInt(tileWidth / 2.0 - g.StringWidth(text) / 2.0 - 5), y);
}
} // namespace

QString cCanvas::settledCountdownTitle()
{
    Date& countdown = App().countdownDate;
    const QString key = countdown.SQLDateTime();
    if (App().eventDict.HasKey(key))
        return EventRecord::Title(App().eventDict.Value(key));
    countdown = Date(countdown.Year(), 12, 25);
    return QStringLiteral("Christmas");
}

void cCanvas::updateCountdown()
{
    if (isHidden()) {
        settledCountdownTitle();
        m_countdownPending = true;
        return;
    }
    renderCountdown();
}

void cCanvas::showEvent(QShowEvent* event)
{
    if (m_countdownPending)
        renderCountdown();
    Canvas::showEvent(event);
}

void cCanvas::renderCountdown()
{
    m_countdownPending = false;
    const Date now;
    const QString title = settledCountdownTitle();
    const int days = DaysUntil(now, App().countdownDate);

    const PicturePtr face = InterfacePictures::countdown();
    const int w = face ? std::max(1, face->Width()) : std::max(1, width());
    const int h = face ? std::max(1, face->Height()) : std::max(1, height());
    const PicturePtr composition = Picture::New(w, h, 32);
    Graphics& g = composition->Graphics();
    if (face)
        g.DrawPicture(face, 0, 0);
    g.SetForeColor(QColor(50, 50, 50));
    g.SetTextFont(QStringLiteral("Impact"));
    g.SetTextSize(18);
    g.SetBold(false);
    drawCentred(g, CountText(days), w, 44);
    g.SetForeColor(QColor(120, 120, 120));
    g.SetTextFont(QStringLiteral("Arial"));
    g.SetTextSize(12);
    drawCentred(g, CountLabel(days), w, 60);
    g.SetForeColor(QColor(40, 40, 40));
    g.SetBold(true);
    g.SetTextSize(12);
    if (ToInt(g.StringWidth(title)) < 80) {
        drawCentred(g, title, w, 80);
    } else if (!title.contains(QLatin1Char(' '))) {
        g.SetTextSize(11);
        drawCentred(g, title, w, 80);
    } else {
        drawCentred(g, FirstLine(title), w, 76);
        drawCentred(g, SecondLine(title), w, 88);
    }

    const PicturePtr tile = Picture::New(std::max(1, width()), std::max(1, height()), 32);
    tile->Graphics().DrawPicture(composition, 0, 0);
    if (const PicturePtr mask = InterfacePictures::countdownmask())
        tile->Mask()->Graphics().DrawPicture(mask, 0, 0);
    cachedImage = tile;
}

void cCanvas::ScrollHorizontal()
{
    const int w = cachedImage ? cachedImage->Width() : 0;
    if (-w < scrollLeft) {
        --scrollLeft;
        Scroll(-1, 0);
    } else {
        scrollLeft = 0;
    }
}
