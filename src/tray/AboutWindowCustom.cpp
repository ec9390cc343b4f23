#include "tray/AboutWindowCustom.h"
#include "framework/Graphics.h"
#include "framework/ShowURL.h"
#include "framework/TextFunctions.h"
#include "tray/StaticTexts.h"
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace {

void styleLabel(QLabel* label, const QString& name, const QString& text, const QFont& font, const QColor& colour,
           Qt::Alignment alignment, bool multiLine)
{
    label->setObjectName(name);
    label->setText(text);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(multiLine);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

AboutWindowCustom::AboutWindowCustom()
{
    SetShowsInFront(true);
    Layout();
    CreateControls();
    AddMenuHandlers();
}

AboutWindowCustom::~AboutWindowCustom() = default;

void AboutWindowCustom::Layout()
{
    // Floats above the windows of every application; a close box only, fixed size.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("About Calendar"));
    setFixedSize(495, 435);
}

void AboutWindowCustom::CreateControls() { _CreateControls0(); }

void AboutWindowCustom::_CreateControls0()
{
    m_staticTexts[0] = new StaticTexts(0, this);
    styleLabel(m_staticTexts[0], QStringLiteral("StaticTexts"), QStringLiteral("Example Partner Calendar by"),
          Graphics::MakeFont(QStringLiteral("Tahoma"), 20, true, true), QColor(0, 0, 0), Qt::AlignHCenter, true);
    AddControl(m_staticTexts[0], QRect(54, 29, 384, 30), 0);

    OrginizationText = new QLabel(this);
    styleLabel(OrginizationText, QStringLiteral("OrginizationText"),
          QStringLiteral("Lumora Calendars\n\n\nExample Partner Inc."),
          Graphics::MakeFont(QStringLiteral("Tahoma"), 14, true), QColor(223, 223, 223), Qt::AlignHCenter, true);
    AddControl(OrginizationText, QRect(109, 65, 274, 70), 0, [this] { OrginizationText_Open(); });

    m_staticTexts[1] = new StaticTexts(1, this);
    styleLabel(m_staticTexts[1], QStringLiteral("StaticTexts"), QStringLiteral("in association with"),
          Graphics::MakeFont(QStringLiteral("Tahoma"), 12, true, true), QColor(192, 192, 192), Qt::AlignHCenter, true);
    AddControl(m_staticTexts[1], QRect(74, 91, 345, 21), 0);

    Copyright = new QLabel(this);
    styleLabel(Copyright, QStringLiteral("Copyright"),
          QStringLiteral("Copyright 2025 Lumora Example Software. Lumora Calendars is a brand of Lumora Example Software."),
          Graphics::MakeFont(QStringLiteral("Arial"), 9, false, true), QColor(51, 51, 51), Qt::AlignHCenter, false);
    AddControl(Copyright, QRect(16, 418, 462, 16), 0);

    url = new QLabel(this);
    styleLabel(url, QStringLiteral("url"), QStringLiteral("partners@example.com "),
          Graphics::MakeFont(QStringLiteral("Arial"), 12, false, false, true), QColor(0, 0, 255), Qt::AlignLeft, false);
    url->setMouseTracking(true);
    url->installEventFilter(this);
    AddControl(url, QRect(74, 333, 160, 18), 0);

    m_staticTexts[2] = new StaticTexts(2, this);
    // "Times New Roman" is set in its metric twin, Liberation Serif.
    styleLabel(m_staticTexts[2], QStringLiteral("StaticTexts"),
          QStringLiteral("Would you like a calendar like this for your own customers? Ask us about an edition "
                         "with your logo and links to your home page or any web address you choose.\n"
                         "Alex Sample\n"
                         "Partner Sales Manager\n"
                         "Example Partner Inc.\n"
                         "Office: 555-0100\n"
                         "Fax: 555-0199"),
          Graphics::MakeFont(QStringLiteral("Liberation Serif"), 14), QColor(46, 46, 46), Qt::AlignLeft, true);
    AddControl(m_staticTexts[2], QRect(74, 174, 345, 158), 0);

    versionText = new QLabel(this);
    styleLabel(versionText, QStringLiteral("versionText"), QStringLiteral("-"), Graphics::MakeFont(QStringLiteral("Arial"), 10),
          QColor(0, 0, 0), Qt::AlignRight, false);
    AddControl(versionText, QRect(425, 3, 62, 16), 0, [this] { versionText_Open(); });
}

void AboutWindowCustom::Event_Open()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Left and Top place the window's content area, not its frame.
    setGeometry(QRect(QPoint(screen.left() + ToInt(screen.width() / 2.0 - width() / 2.0),
                             screen.top() + ToInt(screen.height() / 2.0 - height() / 2.0 - 32)), size()));
}

QString AboutWindowCustom::VersionText(const QString& version)
{
    QStringList parts;
    for (int i = 1; i <= 4; ++i)
        parts << Str(ToInt(Val(NthField(version, QStringLiteral("."), i))));
    return parts.join(QLatin1Char('.'));
}

void AboutWindowCustom::versionText_Open() { versionText->setText(VersionText(QCoreApplication::applicationVersion())); }

QUrl AboutWindowCustom::MailLink(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return QUrl();
    QUrl link;
    link.setScheme(QStringLiteral("mailto"));
    link.setPath(trimmed, QUrl::DecodedMode);
    return link;
}

bool AboutWindowCustom::url_MouseDown(int, int)
{
    ShowURL(MailLink(url->text()).toString(QUrl::FullyEncoded));
    return false;
}

void AboutWindowCustom::url_MouseEnter() { url->setCursor(Qt::PointingHandCursor); }

void AboutWindowCustom::url_MouseExit() { url->unsetCursor(); }

bool AboutWindowCustom::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == url) {
        switch (event->type()) {
        case QEvent::Enter: url_MouseEnter(); break;
        case QEvent::Leave: url_MouseExit(); break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
                url_MouseDown(p.x(), p.y());
                return true;
            }
            break;
        default: break;
        }
    }
    return Window::eventFilter(watched, event);
}

