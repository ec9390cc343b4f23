#include "TrayFixture.h"
#include "PixelProbe.h"
#include "framework/Canvas.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/InterfacePictures.h"
#include "tray/StaticTexts.h"
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

namespace {

// Records the links the program asks the desktop to open, for the schemes given.
class LinkRecorder : public QObject
{
    Q_OBJECT
public:
    explicit LinkRecorder(const QStringList& schemes) : m_schemes(schemes)
    {
        for (const QString& scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~LinkRecorder() override
    {
        for (const QString& scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }

private:
    QStringList m_schemes;
};

using About = TrayFixture;

void press(QWidget* widget)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

TEST_F(About, ShowsTheEditionsNameVersionAndCopyrightLines)
{
    CM::applicationName = QStringLiteral("Harbour Edition");
    AboutWindow* window = AboutWindow::Instance();
    EXPECT_EQ(window->OrginizationText->text(), "Harbour Edition by");
    EXPECT_EQ(window->OrginizationText->font().pixelSize(), 24);
    EXPECT_TRUE(window->OrginizationText->font().italic());
    EXPECT_EQ(window->versionText->text(), QCoreApplication::applicationVersion());
    EXPECT_FALSE(window->Copyright->text().contains('\n'));
    const QString makerLine = window->Copyright->text();
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->geometry().topLeft(),
              QPoint(screen.left() + ToInt(screen.width() / 2.0 - 495 / 2.0),
                     screen.top() + ToInt(screen.height() / 2.0 - 221 / 2.0 - 32)));
    EXPECT_EQ(window->LMCanvas->Backdrop(), InterfacePictures::LumoraTop1());
    window->CloseWindow();
    flush();

    CM::otherCopyright = QStringLiteral("Artwork by the Harbour team.");
    window = AboutWindow::Instance();
    EXPECT_EQ(window->Copyright->text(), makerLine + "\nArtwork by the Harbour team.");
}

TEST_F(About, TheLogoLinksToTheMakerAndShowsAPointingHand)
{
    LinkRecorder links({"http", "https", "mailto"});
    AboutWindow* window = AboutWindow::Instance();
    window->LMCanvas_MouseEnter();
    EXPECT_EQ(window->LMCanvas->cursor().shape(), Qt::PointingHandCursor);
    window->LMCanvas_MouseExit();
    EXPECT_EQ(window->LMCanvas->cursor().shape(), Qt::ArrowCursor);
    press(window->LMCanvas);
    press(window->StaticText1);             // the link label lies on the logo
    ASSERT_EQ(links.opened.size(), 2);
    EXPECT_EQ(links.opened[0], AboutWindow::MakerURL());
    EXPECT_TRUE(links.opened[0].scheme() == "https" && links.opened[0].host().endsWith("example.com"));
}

TEST_F(About, TheDravelEditionShowsItsNameInPlaceOfTheLogo)
{
    PlainPictures pictures;
    const QColor under(255, 0, 255);
    for (const bool dravel : {false, true}) {
        CM::applicationName = dravel ? QStringLiteral("Dravel Calendar") : QStringLiteral("Lumora Calendar");
        AboutWindow* window = AboutWindow::Instance();
        window->show();
        Canvas* logo = window->LMCanvas;
        EXPECT_EQ(logo->Backdrop() == nullptr, dravel);
        const QImage image = Pixels::Render(logo, under);
        // "Zantor" in the default font at 24, centred, its baseline 12 below the middle;
        // other editions show the logo picture and draw nothing over it.
        const QFont font = Graphics::MakeFont("System", 24);
        const int x = ToInt(logo->width() / 2.0 - ToInt(QFontMetricsF(font).horizontalAdvance("Zantor")) / 2.0);
        const QRect expected = Pixels::TextBox("Zantor", font, x, ToInt(logo->height() / 2.0 + 12));
        if (dravel) {
            EXPECT_TRUE(Pixels::Near(Pixels::Ink(image, image.rect(), Qt::black, under), expected));
        } else {
            EXPECT_EQ(Pixels::Count(image, image.rect(), PlainPictures::Colour(181)), logo->width() * logo->height());
        }
        // The white patch and the web address label stay either way.
        EXPECT_TRUE(window->PatchRect->isVisibleTo(window));
        EXPECT_TRUE(window->StaticText1->isVisibleTo(window));
        window->CloseWindow();
        flush();
    }
}

TEST_F(About, TheCustomWindowShowsTheFourVersionNumbersAndItsFixedTexts)
{
    struct Case { const char* version; const char* text; };
    const Case cases[] = {
        {"2.1.0.3", "2.1.0.3"}, {"3.0.2", "3.0.2.0"}, {"1", "1.0.0.0"}, {"10.02.7.0", "10.2.7.0"}, {"", "0.0.0.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AboutWindowCustom::VersionText(c.version), c.text) << c.version;

    CM::otherCopyright.clear();
    AboutWindowCustom* window = AboutWindowCustom::Instance();
    EXPECT_EQ(window->versionText->text(), AboutWindowCustom::VersionText(QCoreApplication::applicationVersion()));
    const QString copyright = window->Copyright->text();
    EXPECT_TRUE(window->StaticTextsAt(0)->text().endsWith(" by"));
    EXPECT_EQ(window->StaticTextsAt(1)->text(), "in association with");
    EXPECT_EQ(window->StaticTextsAt(2)->Index, 2);
    EXPECT_TRUE(window->url->text().endsWith(' '));
    window->CloseWindow();
    flush();
    CM::otherCopyright = QStringLiteral("Edition artwork line");
    window = AboutWindowCustom::Instance();
    EXPECT_EQ(window->Copyright->text(), copyright);
}

TEST_F(About, TheCustomWindowsMailLinkIsEncodedAndOpensAMailMessage)
{
    struct Case { const char* address; const char* link; };
    const Case cases[] = {
        {"partners@example.com ", "mailto:partners@example.com"},
        {" sales@example.com", "mailto:sales@example.com"},
        {"a b@example.com", "mailto:a%20b@example.com"},
        {"x@example.com?cc=boss@example.com", "mailto:x@example.com%3Fcc=boss@example.com"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AboutWindowCustom::MailLink(c.address).toString(QUrl::FullyEncoded), c.link) << c.address;

    LinkRecorder links({"http", "https", "mailto"});
    AboutWindowCustom* window = AboutWindowCustom::Instance();
    press(window->url);
    ASSERT_EQ(links.opened.size(), 1);
    EXPECT_EQ(links.opened[0], AboutWindowCustom::MailLink(window->url->text()));
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(window->url, &enter);
    EXPECT_EQ(window->url->cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(window->url, &leave);
    EXPECT_EQ(window->url->cursor().shape(), Qt::ArrowCursor);
}

#include "AboutWindowsTest.moc"
