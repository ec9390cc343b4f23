// The calendar window's frame: layout, opening (bounds, colours, the branding pictures
// scaled once), painting of the background, bottom picture and border lines, pinning to the
// top edge, edge locks, the window's own key and wheel input, and closing.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/SlideCurtain.h"
#include "calendar_window/ScreenPicture.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "data/EventsFile.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/MessageBox.h"
#include "framework/TextFunctions.h"
#include "framework/WindowManagerHints.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/Menu.h"
#include "shell/app.h"
#include "tray/TabWindow.h"
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

namespace {

// A copy of picture scaled to width x height (each at least one pixel), never larger than
// the screen: the window shows no more of it.
PicturePtr scaledCopy(const PicturePtr& picture, double width, double height)
{
    return ScreenPicture::Scaled(picture, width, height, QGuiApplication::primaryScreen()->geometry().size());
}

bool usable(const PicturePtr& picture) { return picture && picture->Width() > 0 && picture->Height() > 0; }

// The pinned place is asked for again this often after the last move, for at most this many
// times: a drag held still for longer is let go (each move of a drag starts the count anew).
constexpr int pinLookInterval = 100;   // ms
constexpr int pinLooksMax = 100;
} // namespace

CalendarWindow::CalendarWindow()
{
    // The branding's full-size pictures, let go once a window had its copies, for a window
    // made without the branding being read again.
    CustomizationModule::RetakePictures();
    Layout();
    CreateControls();
    AddMenuHandlers();
    // The menu bar lies over the top-right corner, above every control; it is placed when
    // the window opens (its size needs a font measured).
    m_menuBar = Menu::Instance()->CreateWidget(this);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
}

CalendarWindow::~CalendarWindow() = default;

void CalendarWindow::Layout()
{
    setWindowTitle(QStringLiteral("Calendar"));
    setWindowFlag(Qt::FramelessWindowHint);
    // The slide shows transparent rows where a compositor runs (SlideCurtain).
    SlideCurtain::PrepareWindow(this);
    // paintEvent covers the whole window itself: no fill of the palette's colour first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(64, 64);
    setMaximumSize(32000, 32000);
    resize(DesignWidth, DesignHeight);
    Frame = 0;
}

CalendarWindow::BackgroundLayout CalendarWindow::backgroundLayout()
{
    return {WorkArea::Rect(), QGuiApplication::primaryScreen()->geometry().size(),
            CustomizationModule::HasTopLogo(), !CustomizationModule::BottomSize().isEmpty()};
}

CalendarWindow::ScaledBackground CalendarWindow::scaledBackground(const PicturePtr& picture, const BackgroundLayout& layout)
{
    const int availW = layout.area.width();
    const int availH = layout.area.height();
    const QSize& screen = layout.screen;
    const bool hasTopLogo = layout.hasTopLogo;
    const bool hasBottom = layout.hasBottom;
    ScaledBackground result;
    result.source = picture;
    result.picture32 = picture->EnsureBitDepth32();
    const PicturePtr& bg = result.picture32;
    float areaH = float(availH);
    if (hasTopLogo)
        areaH = float(availH * CustomizationModule::CalendarAreaHeightPercent);
    else if (hasBottom)
        areaH = float(availH * CustomizationModule::CalendarAreaHeightPercent
                      + availH * CustomizationModule::TitleAreaHeightPercent);
    double fullW = 0, fullH = 0;
    if (hasBottom) {
        fullW = availW, fullH = areaH;
    } else {
        const double ratio = double(screen.width()) / std::max(1, screen.height());
        if (ratio < 1.28)
            fullW = areaH * float(bg->Width()) / float(bg->Height()), fullH = areaH;
        else // the picture's own proportions at the work area's width
            fullW = availW, fullH = double(availW) * bg->Height() / bg->Width();
    }
    result.scaled = ScreenPicture::Scaled(bg, fullW, fullH, screen);   // never larger than the screen
    result.fullW = std::max(1, ToInt(fullW));
    result.fullH = std::max(1, ToInt(fullH));
    return result;
}

void CalendarWindow::PrepareSurface() { PrepareBackingStore(WorkArea::Rect().size()); }

void CalendarWindow::PreparePictures()
{
    // Each worker reads only its own source picture and the branding values, which stay
    // as they are until the window has opened.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    // The background may still be being decoded: its worker waits for it.
    if (!CustomizationModule::BackgroundSize().isEmpty()) {
        const BackgroundLayout layout = backgroundLayout();
        m_backgroundAhead.Start(layout, [background = CustomizationModule::BackgroundDecoding(), layout] {
            const PicturePtr bg = background.get();
            return usable(bg) ? scaledBackground(bg, layout) : ScaledBackground{};
        });
    }
    const PicturePtr logo = CustomizationModule::topLogoImage;
    const PicturePtr mask = CustomizationModule::topLogoImageMask;
    if (logo && mask && logo->Width() > 0 && mask->Width() > 0) {
        const QSize size = titleBandSize();
        m_titleAhead.Start({logo.get(), mask.get(), size},
                           [logo, mask, size, screen] { return titleBand(logo, mask, size, screen); });
    }
    // So may the bottom picture.
    if (!CustomizationModule::BottomSize().isEmpty()) {
        const QSize size = bottomBandSize();
        m_bottomAhead.Start({size, screen}, [bottom = CustomizationModule::BottomDecoding(), size, screen] {
            const PicturePtr picture = bottom.get();
            return usable(picture) ? bottomBand(picture, size, screen) : ScaledBottom{};
        });
    }
}

void CalendarWindow::Event_Open()
{
    if (!CustomizationModule::vendorName.isEmpty())
        setWindowTitle(CustomizationModule::vendorName + QStringLiteral(" Calendar"));
    const QRect area = WorkArea::Rect();
    setGeometry(area);
    // The window is the work area and cannot be resized: its layout is made for that size.
    setFixedSize(area.size());
    m_top = m_openOutOfView ? area.top() - height() : area.top();
    ApplyLocks();
    placeMenuBar();
    if (Frame != 0)
        MsgBox(QStringLiteral("Need Document window type for MacOS"));

    // The small windows the user opens belong to this window and stay above it. The tab
    // is shown while the pictures below are still being scaled on their workers.
    winId();
    Window::SetFrontOwner(this);
    QPointer<CalendarWindow> self(this);
    TabWindow::Instance()->show();
    if (!self || IsClosed())
        return;

    const int availW = area.width();
    const int availH = area.height();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    if (m_bottomAhead.Pending())
        takeBottomBand();
    const bool hasBottom = usable(CustomizationModule::bottomImage);

    // Background picture, once, at screen size. fullW x fullH is its scaled size before
    // the copy is cut to the screen: the year pictures are placed on that.
    double fullW = 0, fullH = 0;
    if (const PicturePtr bg = CustomizationModule::TakeBackground(); usable(bg)) {
        const BackgroundLayout layout = backgroundLayout();
        ScaledBackground scaled = m_backgroundAhead.Take(layout, [&] { return scaledBackground(bg, layout); });
        if (scaled.source != bg)   // made ahead from a picture since replaced
            scaled = scaledBackground(bg, layout);
        CustomizationModule::backgroundImage = scaled.picture32;
        backgroundImageScaled = scaled.scaled;
        fullW = scaled.fullW;
        fullH = scaled.fullH;
    }

    // Bottom picture at the work area's width.
    if (hasBottom) {
        CustomizationModule::bottomImage = CustomizationModule::bottomImage->EnsureBitDepth32();
        const PicturePtr& bottom = CustomizationModule::bottomImage;
        const int h = std::max(1, ToInt(float(availW) * float(bottom->Height()) / float(bottom->Width())));
        // The bottom band's canvas scaled the same picture already, often to this size (a
        // band as tall as the screen may have been cut, so it is not taken).
        const PicturePtr band = BottomCanvas ? BottomCanvas->cachedImage : nullptr;
        if (band && band->Width() == availW && band->Height() == h && h < screen.height())
            bottomImageScaled = band->EnsureBitDepth32();
        else
            bottomImageScaled = scaledCopy(bottom, availW, h);
    }

    // Year pictures, scaled as the background was.
    if (CustomizationModule::hideYear) {
        float sx = 1, sy = 1;
        if (backgroundImageScaled) {
            sx = float(fullW) / float(CustomizationModule::backgroundImage->Width());
            sy = float(fullH) / float(CustomizationModule::backgroundImage->Height());
        }
        auto& years = CustomizationModule::yearImage;
        for (int i = 0; i < years.size() && i < yearImageScaled.size(); ++i) {
            if (!usable(years[i]))
                continue;
            years[i] = years[i]->EnsureBitDepth32();
            yearImageScaled[i] = scaledCopy(years[i], years[i]->Width() * sx, years[i]->Height() * sy);
        }
        yearImageScaled_x = ToInt(CustomizationModule::yearImage_x * sx);
        yearImageScaled_y = ToInt(CustomizationModule::yearImage_y * sy);
        if (backgroundImageScaled) {
            const float below = float(availH - availH * CustomizationModule::TitleAreaHeightPercent);
            const float scaledW = float(fullW);
            const float scaledH = float(fullH);
            if (availW < scaledW)
                yearImageScaled_x = ToInt(yearImageScaled_x - (scaledW / 2.0f - availW / 2.0f));
            else if (below < scaledH)
                yearImageScaled_y = ToInt(yearImageScaled_y - (scaledH / 2.0f - below / 2.0f));
        }
    }

    // The window has its copies of the pictures: the full-size ones go.
    CustomizationModule::ReleasePictures();
    if (!m_openOutOfView)
        show();
    TabWindow::KeepOnTop();
}

void CalendarWindow::Event_Paint(Graphics& g)
{
    const QRect area = WorkArea::Rect();
    const int availW = area.width();
    const int availH = area.height();
    const double title = CustomizationModule::TitleAreaHeightPercent;
    if (backgroundImageScaled) {
        const bool hasTopLogo = CustomizationModule::HasTopLogo();
        const int top = hasTopLogo ? ToInt(availH * title) : 0;
        const int h = hasTopLogo ? ToInt(availH - availH * title) : availH;
        int x = 0, y = top;
        if (availW < backgroundImageScaled->Width())
            x = ToInt(availW / 2.0 - backgroundImageScaled->Width() / 2.0);
        else if (h < backgroundImageScaled->Height())
            y = top - ToInt(backgroundImageScaled->Height() / 2.0 - h / 2.0);
        g.DrawPicture(backgroundImageScaled, x, y);
    }
    if (CustomizationModule::HasBottom() && bottomImageScaled)
        g.DrawPicture(bottomImageScaled, 0, availH - bottomImageScaled->Height());

    const int titleH = ToInt(availH * title);
    const int calH = ToInt(availH * CustomizationModule::CalendarAreaHeightPercent);
    const QColor borderBlue(127, 157, 185);
    const QColor white(255, 255, 255);
    if (!CustomizationModule::hideTopBorder) {
        g.SetForeColor(borderBlue);
        g.DrawLine(0, titleH, availW, titleH);
        g.SetForeColor(white);
        g.DrawLine(0, titleH + 1, availW, titleH + 1);
    }
    if (!CustomizationModule::hideBottomBorder) {
        g.SetForeColor(borderBlue);
        g.DrawLine(0, titleH + calH - 2, availW, titleH + calH - 2);
        g.SetForeColor(white);
        g.DrawLine(0, titleH + calH - 1, availW, titleH + calH - 1);
    }
}

void CalendarWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), CustomizationModule::calendarBackgroundColor);
    Graphics g(&painter, width(), height());
    Event_Paint(g);
}

void CalendarWindow::Event_Moved()
{
    const QRect area = WorkArea::Rect();
    // A window manager that puts the window elsewhere than it was opened (i3 puts it below the
    // work area's top or a border's width right of its left edge, its last columns past the
    // screen) is answered once per showing, as the mini calendar is: a window manager that
    // insists keeps its way. A window manager places a window as it maps it, before the window
    // is first exposed; a move after that was asked by someone else (a user's drag, a
    // program's move) and only has its top pinned.
    if (!m_placeLookedAt && isVisible()) {
        m_placeLookedAt = true;
        const bool exposed = windowHandle() && windowHandle()->isExposed();
        if (!exposed && pos() != area.topLeft()) {
            pinTo(area.topLeft());
            return;
        }
    }
    // Only the top is pinned: moved down, the window goes back up; moved sideways, or above
    // the work area (sliding), it stays.
    if (y() > area.top())
        pinTo(QPoint(x(), area.top()));
}

void CalendarWindow::pinTo(const QPoint& place)
{
    moveTo(place);
    m_pinPlace = place;
    m_pinLooks = 0;
    if (!m_pinTimer) {
        m_pinTimer = new QTimer(this);
        m_pinTimer->setSingleShot(true);
        m_pinTimer->setInterval(pinLookInterval);
        connect(m_pinTimer, &QTimer::timeout, this, &CalendarWindow::lookAtPin);
    }
    m_pinTimer->start();
}

void CalendarWindow::lookAtPin()
{
    // Where the window manager last said the window stands (the widget may hold the place
    // asked, which the window manager dropped).
    const QPoint placed = windowHandle() ? windowHandle()->position() : pos();
    if (!isVisible() || placed == m_pinPlace || ++m_pinLooks > pinLooksMax)
        return;
    moveTo(m_pinPlace);
    m_pinTimer->start();
}

void CalendarWindow::moveTo(const QPoint& place)
{
    // Asked of the X server: the widget may already hold the place, asked before and dropped
    // by the window manager, and would take a move to it for no move at all.
    if (!WindowManagerHints::Move(this, place))
        move(place);
}

void CalendarWindow::moveEvent(QMoveEvent* event)
{
    Window::moveEvent(event);
    Event_Moved();
}

void CalendarWindow::showEvent(QShowEvent* event)
{
    m_placeLookedAt = false;
    Window::showEvent(event);
}

void CalendarWindow::resizeEvent(QResizeEvent* event)
{
    Window::resizeEvent(event);   // edge-locked controls follow the size change
    placeMenuBar();
}

void CalendarWindow::placeMenuBar()
{
    if (!m_menuBar)
        return;
    const QSize hint = m_menuBar->sizeHint();
    m_menuBar->setGeometry(width() - hint.width(), 0, hint.width(), hint.height());
    m_menuBar->raise();
}

bool CalendarWindow::Event_MouseWheel(int, int, int deltaX, int deltaY)
{
    if (deltaY < 0 || deltaX < 0)
        PagePreviousYear();
    else
        PageNextYear();
    return false;
}

void CalendarWindow::wheelEvent(QWheelEvent* event)
{
    // Whole notches only (120 units each); turning towards the user pages forward.
    m_wheelRestX -= event->angleDelta().x();
    m_wheelRestY -= event->angleDelta().y();
    const int dx = m_wheelRestX / 120;
    const int dy = m_wheelRestY / 120;
    m_wheelRestX -= dx * 120;
    m_wheelRestY -= dy * 120;
    event->accept();
    if (dx == 0 && dy == 0)
        return;
    const QPoint p = event->position().toPoint();
    Event_MouseWheel(p.x(), p.y(), dx, dy);
}

bool CalendarWindow::Event_KeyDown(QKeyEvent* event)
{
    try {
        return Calendar_KeyDown(event);
    } catch (...) {
        return true;
    }
}

void CalendarWindow::Event_Activate()
{
    App().Deactivated = false;
    // A window manager may lift the focused window that covers the whole screen above the
    // windows kept on top (openbox does); it keeps the window's own windows above it, but
    // only those it knew as its own when it lifted it. Told again once the window has the
    // focus, which the window manager gives it in its own time after the window is mapped.
    TabWindow::KeepOnTop();
}

void CalendarWindow::Event_Close() { SaveEvents(); }

bool CalendarWindow::Event_CancelClose()
{
    // After the close request has been answered: the slide runs its own event loop.
    QTimer::singleShot(0, this, [this] {
        if (!IsClosed() && isVisible())
            App()._FileClose_Action();
    });
    return true;
}

void CalendarWindow::SaveEvents()
{
    // A window whose opening failed or was cut short (an exception in a control's open
    // handler, a rebuild while a start-up message waited) may hold an empty or partly filled
    // to-do list: it never writes the file, and the lines read at start-up stay as they are.
    if (!IsOpenCompleted())
        return;
    // The to-do rows are kept in memory as well, so that a window built after a failed
    // write shows them instead of the file's older ones.
    if (TodoList) {
        QStringList lines;
        for (int row = 0; row < TodoList->ListCount(); ++row)
            lines.append(EventsFile::TodoLine(TodoList->CellCheck(row, 0), TodoList->Cell(row, 1)));
        App().keptTodoLines = lines;
    }
    App().todoLinesUnsaved = !App().SaveUserEvents(App().keptTodoLines);
}
