// The mini calendar window: layout, opening and closing, paging; the month's painting is
// in TrayWindowPaint.cpp.
#include "tray/TrayWindow.h"
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/calCanvas.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/AppTrayItem.h"
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace {

QToolButton* makeStepButton(QWidget* parent, const QString& caption, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 12));
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral(
        "QToolButton { padding: 0px; margin: 0px; border: 1px solid rgb(120, 120, 120);"
        " background: rgb(236, 236, 236); color: black; }"
        "QToolButton:pressed { background: rgb(200, 200, 200); }"));
    return button;
}

} // namespace

TrayWindow::TrayWindow()
{
    SetShowsInFront(true);
    Layout();
    CreateControls();
    AddMenuHandlers();
}

TrayWindow::~TrayWindow() = default;

void TrayWindow::Layout()
{
    // Floats above the windows of every application; a title bar with a close box only.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    setMinimumSize(64, 64);
    resize(162, 148);
}

void TrayWindow::CreateControls() { _CreateControls0(); }

void TrayWindow::_CreateControls0()
{
    Calendar = new calCanvas(this);
    Calendar->setObjectName(QStringLiteral("Calendar"));
    Calendar->Paint = [this](Graphics& g) { Calendar_Paint(g); };
    AddControl(Calendar, QRect(0, 0, 162, 148), LockLeft | LockTop | LockRight | LockBottom,
               [this] { Calendar_Open(); });

    PreviousMonth = makeStepButton(this, QStringLiteral("<"), QStringLiteral("PreviousMonth"));
    connect(PreviousMonth, &QToolButton::clicked, this, [this] { PreviousMonth_Action(); });
    AddControl(PreviousMonth, QRect(0, -1, 18, 12), 0);

    NextMonth = makeStepButton(this, QStringLiteral(">"), QStringLiteral("NextMonth"));
    connect(NextMonth, &QToolButton::clicked, this, [this] { NextMonth_Action(); });
    AddControl(NextMonth, QRect(144, -1, 18, 12), LockRight);
}

void TrayWindow::Calendar_Open()
{
    // The grid is one tenth of the calendar window: nine bands of rows, seven columns.
    const CalendarWindow* calendar = CalendarWindow::Existing();
    const QSize size = calendar ? calendar->size() : WorkArea::Rect().size();
    Calendar->DefaultRowHeight = ToInt(size.height() / 10.0 / 9.0);
    Calendar->ColumnsWidth = ToInt(size.width() / 10.0 / 7.0);
    trayDate = Date();
}

QPoint TrayWindow::StartPosition(const QSize& size, const QRect& workArea)
{
    return QPoint(workArea.left() + workArea.width() - size.width() - 6,
                  workArea.top() + workArea.height() - size.height() - 6);
}

void TrayWindow::Event_Open()
{
    const CalendarWindow* calendar = CalendarWindow::Existing();
    const QRect area = WorkArea::Rect();
    const QSize calendarSize = calendar ? calendar->size() : area.size();
    const int w = ToInt(calendarSize.width() / 10.0);
    const int h = ToInt(calendarSize.height() / 10.0);
    setFixedSize(std::max(w, minimumWidth()), std::max(h, minimumHeight()));
    // Left and Top place the window's content area, not its frame.
    setGeometry(QRect(StartPosition(size(), area), size()));
    BackColor = CustomizationModule::calendarBackgroundColor;

    if (const PicturePtr background = CustomizationModule::TakeBackground()) {
        const int W = width();
        const int H = height();
        const int ninth = ToInt(H / 9.0);
        Backdrop = Picture::New(W, H, 32);
        Graphics& g = Backdrop->Graphics();
        if (const PicturePtr logo = CustomizationModule::TopLogo())
            g.DrawPicture(logo, 0, 0, W, ninth, 0, 0, logo->Width(), logo->Height());
        const int sw = ToInt(background->Width() * ((H - H / 9.0) / W));
        g.DrawPicture(background, 0, ninth, W, H, 0, ninth, sw, background->Height());
        // Below the top ninth the backdrop lets the background colour through in part.
        Graphics& mask = Backdrop->Mask()->Graphics();
        mask.SetForeColor(QColor(140, 140, 140));
        mask.FillRect(0, ninth, W, H);
    }
    App().TrayWindowOpen = true;
    AppTrayItem::StateChanged();
}

// Also when the window's own close button closes it: the tray menu offers to show it again.
void TrayWindow::Event_Close()
{
    App().TrayWindowOpen = false;
    AppTrayItem::StateChanged();
}

void TrayWindow::showEvent(QShowEvent* event)
{
    m_frameKept = false;
    Window::showEvent(event);
}

void TrayWindow::moveEvent(QMoveEvent* event)
{
    Window::moveEvent(event);
    keepFrameOnScreen();
}

void TrayWindow::keepFrameOnScreen()
{
    const QRect frame = frameGeometry();
    if (m_frameKept || !isVisible() || frame == geometry())   // not framed yet
        return;
    m_frameKept = true;
    if (const QRect kept = KeptOnWorkArea(geometry(), frame, WorkArea::Rect()); kept != geometry())
        setGeometry(kept);
}

QRect TrayWindow::KeptOnWorkArea(const QRect& geometry, const QRect& frame, const QRect& area)
{
    const int dx = frame.left() < area.left() ? area.left() - frame.left() : std::min(0, area.right() - frame.right());
    const int dy = frame.top() < area.top() ? area.top() - frame.top() : std::min(0, area.bottom() - frame.bottom());
    return geometry.translated(dx, dy);
}

void TrayWindow::stepMonth(int months)
{
    // Day 1 first, so that a month opened on its 31st never skips the next one.
    trayDate.SetDay(1);
    trayDate.SetMonth(trayDate.Month() + months);
    Calendar->Refresh(true);
}

void TrayWindow::PreviousMonth_Action() { stepMonth(-1); }
void TrayWindow::NextMonth_Action() { stepMonth(1); }

void TrayWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), BackColor);
    if (Backdrop) {
        Graphics g(&painter, width(), height());
        g.DrawPicture(Backdrop, 0, 0);
    }
}

