#include "tray/AboutWindow.h"
#include "framework/Canvas.h"
#include "framework/Graphics.h"
#include "framework/ShowURL.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

const QString kMakerAddress = QStringLiteral("https://www.example.com/lumora");

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

bool isDravel() { return InStr(CustomizationModule::applicationName, QStringLiteral("Dravel")) > 0; }

} // namespace

AboutWindow::AboutWindow()
{
    SetShowsInFront(true);
    Layout();
    CreateControls();
    AddMenuHandlers();
}

AboutWindow::~AboutWindow() = default;

QUrl AboutWindow::MakerURL() { return QUrl(kMakerAddress); }

void AboutWindow::Layout()
{
    // Close and minimise boxes, fixed size. A plain window (a utility window gets no
    // minimise box from many window managers); it belongs to the calendar window, which
    // keeps it above that window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("About Calendar"));
    setFixedSize(495, 221);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 255, 255));
    setPalette(p);
    setAutoFillBackground(true);
}

void AboutWindow::CreateControls() { _CreateControls0(); }

void AboutWindow::_CreateControls0()
{
    Copyright = makeLabel(this, QStringLiteral("Copyright"),
                          QStringLiteral("Copyright 2025 Lumora Example Software. All rights reserved."),
                          Graphics::MakeFont(QStringLiteral("Arial"), 9, false, true), QColor(51, 51, 51),
                          Qt::AlignHCenter);
    AddControl(Copyright, QRect(16, 195, 462, 27), 0, [this] { Copyright_Open(); });

    LMCanvas = new Canvas(this);
    LMCanvas->setObjectName(QStringLiteral("LMCanvas"));
    LMCanvas->SetBackdrop(InterfacePictures::LumoraTop1());
    LMCanvas->MouseExit = [this] { LMCanvas_MouseExit(); };
    LMCanvas->MouseDown = [this](int x, int y) { return LMCanvas_MouseDown(x, y); };
    LMCanvas->Paint = [this](Graphics& g) { LMCanvas_Paint(g); };
    LMCanvas->MouseEnter = [this] { LMCanvas_MouseEnter(); };
    AddControl(LMCanvas, QRect(105, 84, 284, 93), 0, [this] { LMCanvas_Open(); });

    OrginizationText = makeLabel(this, QStringLiteral("OrginizationText"), QStringLiteral("Untitled"),
                                 Graphics::MakeFont(QStringLiteral("Impact"), 32, false, true), QColor(45, 45, 45),
                                 Qt::AlignHCenter);
    AddControl(OrginizationText, QRect(7, 38, 481, 51), 0, [this] { OrginizationText_Open(); });

    // A white patch over that part of the logo; it and the link label lie on the logo and
    // take their frames in window coordinates.
    const QPoint canvasOrigin(105, 84);
    PatchRect = new QWidget(LMCanvas);
    PatchRect->setObjectName(QStringLiteral("PatchRect"));
    PatchRect->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette white = PatchRect->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    PatchRect->setPalette(white);
    PatchRect->setAutoFillBackground(true);
    AddControl(PatchRect, QRect(274, 131, 96, 24).translated(-canvasOrigin), 0);

    StaticText1 = makeLabel(LMCanvas, QStringLiteral("StaticText1"), QStringLiteral("www.example.com/lumora"),
                            Graphics::MakeFont(QStringLiteral("Arial"), 10, false, false, true), QColor(0, 0, 255),
                            Qt::AlignHCenter);
    StaticText1->setAttribute(Qt::WA_TransparentForMouseEvents);
    AddControl(StaticText1, QRect(139, 157, 217, 20).translated(-canvasOrigin), 0);

    versionText = makeLabel(this, QStringLiteral("versionText"), QStringLiteral("-"),
                            Graphics::MakeFont(QStringLiteral("Arial"), 11), QColor(0, 0, 0), Qt::AlignHCenter);
    AddControl(versionText, QRect(402, 2, 85, 20), 0, [this] { versionText_Open(); });
}

void AboutWindow::Event_Open()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Left and Top place the window's content area, not its frame.
    setGeometry(QRect(QPoint(screen.left() + ToInt(screen.width() / 2.0 - width() / 2.0),
                             screen.top() + ToInt(screen.height() / 2.0 - height() / 2.0 - 32)), size()));
}

void AboutWindow::Copyright_Open()
{
    if (CustomizationModule::otherCopyright.isEmpty())
        return;
    Copyright->setText(Copyright->text() + QLatin1Char('\n') + CustomizationModule::otherCopyright);
    Copyright->setWordWrap(false);
}

void AboutWindow::LMCanvas_Open()
{
    if (isDravel())
        LMCanvas->SetBackdrop(nullptr);
}

void AboutWindow::LMCanvas_Paint(Graphics& g)
{
    if (!isDravel())
        return;
    g.SetTextSize(24);
    const int w = ToInt(g.StringWidth(QStringLiteral("Zantor")));
    g.DrawString(QStringLiteral("Zantor"), ToInt(LMCanvas->width() / 2.0 - w / 2.0), ToInt(LMCanvas->height() / 2.0 + 12));
}

void AboutWindow::LMCanvas_MouseEnter() { LMCanvas->SetMouseCursor(QCursor(Qt::PointingHandCursor)); }

void AboutWindow::LMCanvas_MouseExit() { LMCanvas->unsetCursor(); }

bool AboutWindow::LMCanvas_MouseDown(int, int)
{
    ShowURL(MakerURL().toString(QUrl::FullyEncoded));
    return false;
}

void AboutWindow::OrginizationText_Open()
{
    // "Optima Extra Black" is a heavy face: bold stands in for it where it is missing.
    OrginizationText->setFont(Graphics::MakeFont(QStringLiteral("Optima Extra Black"), 24, true, true));
    OrginizationText->setText(CustomizationModule::applicationName + QStringLiteral(" by"));
}

void AboutWindow::versionText_Open() { versionText->setText(QCoreApplication::applicationVersion()); }

