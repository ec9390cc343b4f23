// The title area (TopCanvas), the bottom picture area (BottomCanvas) and the row of
// web-link buttons (wwwLinksList). The window paints the title and bottom bands itself;
// these controls stay hidden, but their sizes and pictures are set up all the same.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/ScreenPicture.h"
#include "framework/ShowURL.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/listboxButton.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "framework/Timer.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "tray/AboutWindowCustom.h"
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cmath>

namespace {

// picture drawn into a new 32-bit picture of its own size, then scaled to w x h.
PicturePtr flattenedAndScaled(const PicturePtr& picture, int w, int h, const QSize& screen)
{
    const PicturePtr copy = Picture::New(picture->Width(), picture->Height(), 32);
    copy->Graphics().DrawPicture(picture, 0, 0);
    return ScreenPicture::Scaled(copy->EnsureBitDepth32(), w, h, screen);
}

// The top of the band under the calendar area.
int belowCalendarArea(int availH)
{
    return int(std::floor(availH * CustomizationModule::TitleAreaHeightPercent))
           + int(std::floor(availH * CustomizationModule::CalendarAreaHeightPercent));
}

int linkCount()
{
    return std::min(int(CustomizationModule::calendarURLlinks.size()), listboxButton::MaxColumns - 1);
}
} // namespace

// ---- title area ----

QSize CalendarWindow::titleBandSize() const
{
    const QRect area = WorkArea::Rect();
    return QSize(area.width(), ToInt(area.height() * CustomizationModule::TitleAreaHeightPercent));
}

PicturePtr CalendarWindow::titleBand(const PicturePtr& logo, const PicturePtr& mask, const QSize& size,
                                     const QSize& screen)
{
    const PicturePtr band = flattenedAndScaled(logo, size.width(), size.height(), screen);
    band->Mask()->Graphics().DrawPicture(flattenedAndScaled(mask, size.width(), size.height(), screen), 0, 0);
    return band;
}

void CalendarWindow::TopCanvas_Open()
{
    if (!CustomizationModule::topLogoImageMask)
        return;
    const QRect area = WorkArea::Rect();
    const QSize size = titleBandSize();
    TopCanvas->setGeometry(ToInt(area.width() / 2.0 - size.width() / 2.0), TopCanvas->y(), size.width(), size.height());
    // A mask without its logo gives no backdrop (the band keeps its new frame).
    const PicturePtr logo = CustomizationModule::topLogoImage;
    const PicturePtr mask = CustomizationModule::topLogoImageMask;
    if (!logo || logo->Width() <= 0 || mask->Width() <= 0)
        return;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const auto take = [this, logo, mask, size, screen] {
        TopCanvas->SetBackdrop(m_titleAhead.Take({logo.get(), mask.get(), size},
                                                 [&] { return titleBand(logo, mask, size, screen); }));
    };
    // The band stays hidden: a backdrop still being made ahead is taken from the event loop,
    // not waited for here.
    if (m_titleAhead.Pending())
        QTimer::singleShot(0, TopCanvas, take);
    else
        take();
}

bool CalendarWindow::TopCanvas_MouseDown(int, int) { return true; }

void CalendarWindow::TopCanvas_Paint(Graphics&) {}

void CalendarWindow::TopCanvas_MouseMove(int, int)
{
    const int w = width();
    const int left = ToInt(w / 2.0 - w * 0.3875 / 2.0);
    const int right = ToInt(w / 2.0 + w * 0.3875 / 2.0);
    const int mouseX = mapFromGlobal(QCursor::pos()).x();
    const bool hasCursor = TopCanvas->testAttribute(Qt::WA_SetCursor);
    if (left < mouseX && mouseX < right) {
        if (!hasCursor)
            TopCanvas->SetMouseCursor(Qt::PointingHandCursor);
    } else if (hasCursor) {
        TopCanvas->unsetCursor();
    }
}

void CalendarWindow::TopCanvas_MouseUp(int, int)
{
    if (!TopCanvas->testAttribute(Qt::WA_SetCursor) || TopCanvas->cursor().shape() != Qt::PointingHandCursor)
        return;
    if (CustomizationModule::customAboutWindow)
        AboutWindowCustom::Instance()->show();
    else
        ShowURL(CustomizationModule::titleBarLink);
}

// ---- bottom picture area ----

QSize CalendarWindow::bottomBandSize() const
{
    const QRect area = WorkArea::Rect();
    int top = belowCalendarArea(area.height());
    if (CustomizationModule::includeLinkButtons)
        top += wwwLinksList->height();
    return QSize(area.width(), std::max(1, area.height() - top));
}

void CalendarWindow::takeBottomBand()
{
    // The picture may still be being decoded: waited for here.
    const PicturePtr bottom = CustomizationModule::TakeBottom();
    const QSize size = bottomBandSize();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    ScaledBottom band;
    if (bottom && bottom->Width() > 0 && bottom->Height() > 0) {
        band = m_bottomAhead.Take({size, screen}, [&] { return bottomBand(bottom, size, screen); });
        if (band.source != bottom)   // made ahead from a picture since replaced
            band = bottomBand(bottom, size, screen);
        CustomizationModule::bottomImage = band.picture32;
    } else {
        // A file whose header read but whose picture did not decode: no band to scroll.
        m_bottomAhead.Take({size, screen}, [] { return ScaledBottom{}; });
        DisplayScrollTimer->SetMode(Timer::ModeOff);
    }
    BottomCanvas->cachedImage = band.scaled;
}

CalendarWindow::ScaledBottom CalendarWindow::bottomBand(const PicturePtr& bottom, const QSize& size, const QSize& screen)
{
    const PicturePtr picture = bottom->EnsureBitDepth32();
    const double aspect = double(screen.width()) / std::max(1, screen.height());
    // Never larger than the screen, whatever the picture's proportions.
    if (aspect >= 1.6 || CustomizationModule::bottomImage_keepWidth) {
        const double h = double(size.width()) * picture->Height() / picture->Width();
        return {bottom, picture, ScreenPicture::Scaled(picture, size.width(), h, screen)};
    }
    const double w = double(size.height()) * picture->Width() / picture->Height();
    return {bottom, picture, ScreenPicture::Scaled(picture, w, size.height(), screen)};
}

void CalendarWindow::BottomCanvas_Open()
{
    // The picture may still be being decoded: its size is known.
    if (CustomizationModule::BottomSize().isEmpty())
        return;
    const QRect area = WorkArea::Rect();
    const QSize size = bottomBandSize();
    int left = BottomCanvas->x();
    if (CustomizationModule::displayImage_centered)
        left = ToInt(area.width() / 2.0 - size.width() / 2.0);
    int top = belowCalendarArea(area.height());
    if (CustomizationModule::includeLinkButtons)
        top += wwwLinksList->height();
    BottomCanvas->setGeometry(left, top, size.width(), size.height());

    // The band stays hidden: one still being made ahead is taken when the window opens.
    if (!m_bottomAhead.Pending())
        takeBottomBand();
    if (CustomizationModule::scrollImage)
        DisplayScrollTimer->SetMode(Timer::ModeMultiple);
}

void CalendarWindow::BottomCanvas_Paint(Graphics& g)
{
    const PicturePtr picture = BottomCanvas->cachedImage;
    if (!picture)
        return;
    if (picture->Height() < BottomCanvas->height())
        CustomizationModule::displayImage_bottomJustify = false;
    if (!CustomizationModule::scrollImage) {
        const int y = CustomizationModule::displayImage_bottomJustify ? BottomCanvas->height() - picture->Height() : 0;
        g.DrawPicture(picture, 0, y);
    } else {
        g.DrawPicture(picture, BottomCanvas->scrollLeft, 0);
        g.DrawPicture(picture, picture->Width() + BottomCanvas->scrollLeft, 0);
    }
    g.SetForeColor(QColor(0, 0, 255));
    g.DrawRect(0, 0, BottomCanvas->width(), BottomCanvas->height());
}

bool CalendarWindow::BottomCanvas_MouseDown(int, int)
{
    // The movie player holds no movie in any edition, so the editions that would play it
    // do nothing.
    if (CustomizationModule::customAboutWindow)
        AboutWindowCustom::Instance()->show();
    return false;
}

// ---- link row ----

void CalendarWindow::wwwLinksList_Open()
{
    if (!CustomizationModule::includeLinkButtons)
        return;
    const QRect area = WorkArea::Rect();
    int height = ToInt(BottomCanvas->height() * 0.11023622);
    if (InStr(CustomizationModule::applicationName, QStringLiteral("Dravel")) > 0)
        height = 22;
    height = std::max(1, height);
    wwwLinksList->setGeometry(wwwLinksList->x(), belowCalendarArea(area.height()), wwwLinksList->width(), height);
    wwwLinksList->setEnabled(true);
    wwwLinksList->setCursor(Qt::PointingHandCursor);
    wwwLinksList->SetDefaultRowHeight(height);
    wwwLinksList->DeleteAllRows();
    wwwLinksList->AddRow();
    const int n = linkCount();
    wwwLinksList->SetColumnCount(n + 1);
    const QFont font = Graphics::MakeFont(QStringLiteral("Tahoma"), 12, true);
    const QFontMetricsF metrics(font);
    for (int i = 0; i < n; ++i) {
        const auto& link = CustomizationModule::calendarURLlinks[i];
        const QString label = link.value(0);
        wwwLinksList->SetColumnWidthExpression(i, QString::number(ToInt(metrics.horizontalAdvance(label)) + 40));
        wwwLinksList->SetCellTag(0, i, link.value(1));
    }
    wwwLinksList->SetColumnWidthExpression(n, QStringLiteral("*"));
    wwwLinksList->setVisible(true);
}

bool CalendarWindow::wwwLinksList_CellBackgroundPaint(Graphics& g, int row, int column)
{
    const PicturePtr strip = InterfacePictures::linkButtons();
    if (!strip || row >= wwwLinksList->ListCount())
        return false;
    const int w = wwwLinksList->ColumnWidthActual(column);
    const int h = wwwLinksList->RowHeight();
    g.DrawPicture(strip, 0, 0, w, h, wwwLinksList->StateOf(column) * 5, 0, 5, h);
    return false;
}

bool CalendarWindow::wwwLinksList_CellTextPaint(Graphics& g, int, int column, int, int)
{
    if (column >= linkCount())
        return false;
    const QString label = CustomizationModule::calendarURLlinks[column].value(0);
    g.SetForeColor(QColor(255, 255, 255));
    g.SetTextFont(QStringLiteral("Tahoma"));
    g.SetTextSize(12);
    g.SetBold(true);
    const int w = wwwLinksList->ColumnWidthActual(column);
    g.DrawString(label, ToInt(w / 2.0 - ToInt(g.StringWidth(label)) / 2.0), ToInt(wwwLinksList->RowHeight() / 2.0 + 2));
    return false;
}

bool CalendarWindow::wwwLinksList_CellClick(int, int, int, int) { return true; }

namespace {
// The mouse's position inside the row, from the window's own mouse position.
int rowMouseX(const QWidget* window, const QWidget* row)
{
    return window->mapFromGlobal(QCursor::pos()).x() - row->x();
}

void repaintColumn(listboxButton* row, int column)
{
    if (row->ListCount() > 0 && column >= 0 && column < row->ColumnCount())
        row->InvalidateCell(0, column);
}
} // namespace

void CalendarWindow::wwwLinksList_MouseMove(int, int)
{
    const int column = wwwLinksList->getColumn(rowMouseX(this, wwwLinksList));
    if (column == wwwLinksList->currentColumn)
        return;
    wwwLinksList->SetState(wwwLinksList->currentColumn, 0);
    repaintColumn(wwwLinksList, wwwLinksList->currentColumn);
    wwwLinksList->SetState(column, 1);
    repaintColumn(wwwLinksList, column);
    wwwLinksList->currentColumn = column;
}

bool CalendarWindow::wwwLinksList_MouseDown(int, int)
{
    const int column = wwwLinksList->getColumn(rowMouseX(this, wwwLinksList));
    wwwLinksList->SetState(column, 2);
    repaintColumn(wwwLinksList, column);
    return true;
}

void CalendarWindow::wwwLinksList_MouseUp(int, int)
{
    const int column = wwwLinksList->getColumn(rowMouseX(this, wwwLinksList));
    if (wwwLinksList->ListCount() > 0) {
        const QString address = wwwLinksList->CellTag(0, column);
        if (!address.isEmpty())
            ShowURL(address);
    }
    wwwLinksList->SetState(column, 0);
    repaintColumn(wwwLinksList, column);
}

void CalendarWindow::wwwLinksList_MouseExit()
{
    const int column = wwwLinksList->getColumn(rowMouseX(this, wwwLinksList));
    wwwLinksList->SetState(column, 0);
    repaintColumn(wwwLinksList, column);
}

void CalendarWindow::wwwLinksList_CellGotFocus(int, int) {}
void CalendarWindow::wwwLinksList_CellLostFocus(int, int) {}
