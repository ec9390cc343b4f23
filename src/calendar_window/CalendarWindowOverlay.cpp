// The quick start help overlay shown on a first run, and the maker's logo line at the
// bottom of the window.
#include "calendar_window/CalendarWindow.h"
#include "framework/ShowURL.h"
#include "calendar_window/cCanvas.h"
#include "framework/Canvas.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QGuiApplication>
#include <QScreen>

namespace {
} // namespace

QString CalendarWindow::MakerURL() { return QStringLiteral("https://www.example.com/desktop-lumora"); }

// ---- quick start help overlay ----

void CalendarWindow::QuickStartHelp_Open()
{
    if (QuickStartHelp->parentWidget() != this)
        QuickStartHelp->setParent(this);
    const QRect area = WorkArea::Rect();
    QuickStartHelp->setGeometry(0, 0, area.width(), ToInt(area.height() * CustomizationModule::CalendarAreaHeightPercent));
    QuickStartHelp->setVisible(App().firstRun);
}

bool CalendarWindow::QuickStartHelp_MouseDown(int, int)
{
    QuickStartHelp->setVisible(false);
    App().firstRun = false;
    return false;
}

void CalendarWindow::drawCallout(Graphics& g, int arrowX, int bubbleX, int y0, int h, int width, const QString& text)
{
    // Measured at 13 pixels in the font in force, drawn at 12 in bold Arial: the bubble
    // leaves room to spare.
    g.SetTextSize(13);
    const int bubbleH = g.StringHeight(text, 200) + 20;

    g.SetForeColor(QColor(0, 80, 255));
    g.SetPenWidth(2);
    g.SetPenHeight(2);
    g.DrawLine(arrowX, y0, arrowX - 11, y0 + 11);
    g.DrawLine(arrowX + 1, y0, arrowX + 12, y0 + 11);
    g.DrawLine(arrowX + 1, y0 + 1, arrowX + 1, y0 + h);

    g.SetForeColor(QColor(160, 160, 160));
    g.FillRoundRect(bubbleX - 45, y0 + h + 5, width - 3, bubbleH - 3, 16, 16);
    g.SetPenWidth(1);
    g.SetPenHeight(1);
    g.SetForeColor(QColor(255, 255, 255));
    g.FillRoundRect(bubbleX - 50, y0 + h, width, bubbleH, 16, 16);
    g.SetForeColor(QColor(100, 100, 100));
    g.DrawRoundRect(bubbleX - 50, y0 + h, width, bubbleH, 16, 16);

    g.SetForeColor(QColor(40, 40, 40));
    g.SetTextFont(QStringLiteral("Arial"));
    g.SetTextSize(12);
    g.SetBold(true);
    g.DrawString(text, bubbleX - 40, y0 + h + 22, 200);
}

void CalendarWindow::QuickStartHelp_Paint(Graphics& g)
{
    const QRect area = WorkArea::Rect();
    const int availH = area.height();

    if (CustomizationModule::includeHomeButton) {
        const int x0 = ToInt(HomeButton->x() + HomeButton->width() / 2.0);
        const int y0 = HomeButton->y() + HomeButton->height();
        drawCallout(g, x0, x0, y0, 30, 320, QStringLiteral("Goto ") + CustomizationModule::vendorURL);
    }

    // The tab: the arrow points at it wherever it stands; the bubble keeps inside the
    // window's left edge. Painting never creates the tab window.
    if (const TabWindow* tab = TabWindow::Existing()) {
        const int arrowX = std::max(0, ToInt((tab->x() - x()) + tab->width() / 2.0 - 2));
        const QString text = QStringLiteral("Calendar Toggle - click to display or hide the calendar.")
                             + QChar(13) + QChar(13)
                             + QStringLiteral("The toggle can be moved to any location at screen top.");
        drawCallout(g, arrowX, std::max(50, arrowX), 10, ToInt(availH * CustomizationModule::TitleAreaHeightPercent - 20),
                    220, text);
    }

    drawCallout(g, 300, 300, ToInt(availH * CustomizationModule::CalendarAreaHeightPercent / 27 * 20), 30, 220,
                QStringLiteral("Click a date to display a week at a glance."));
}

// ---- maker's logo line ----

void CalendarWindow::LumoraLogo_Open()
{
    // It leaves the bottom picture's area for the window itself, keeping its place among
    // the window's controls.
    if (LumoraLogo->parentWidget() != this) {
        LumoraLogo->setParent(this);
        if (CountdownCanvas)
            LumoraLogo->stackUnder(CountdownCanvas);
    }
    LumoraLogo->SetHelpTag(QStringLiteral("Goto ") + MakerURL());
    LumoraLogo->SetMouseCursor(Qt::PointingHandCursor);
    const QRect area = WorkArea::Rect();
    const int left = CustomizationModule::LMLogoRightJustify ? area.width() - LumoraLogo->width() - 25 : 30;
    LumoraLogo->move(left, area.height() - LumoraLogo->height() - 2);
    LumoraLogo->setVisible(true);
}

void CalendarWindow::UseLogoFont(Graphics& g)
{
    g.SetTextStyle(QStringLiteral("Arial"), 10, false, true);
}

void CalendarWindow::LumoraLogo_Paint(Graphics& g)
{
    if (!CustomizationModule::includeLMLogo)
        return;
    UseLogoFont(g);
    g.SetForeColor(CustomizationModule::LMlogoColor);
    const QString line = QStringLiteral("Calendar by Desktop Lumora");
    g.DrawString(line, ToInt(LumoraLogo->width() / 2.0 - g.StringWidth(line) / 2), LumoraLogo->height() - 5);
}

bool CalendarWindow::LumoraLogo_MouseDown(int, int)
{
    ShowURL(CustomizationModule::LumoraURL.isEmpty() ? MakerURL() : CustomizationModule::LumoraURL);
    return false;
}
