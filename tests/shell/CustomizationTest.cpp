#include "TestSupport.h"
#include "framework/Date.h"
#include "framework/Files.h"
#include "framework/Picture.h"
#include "shell/CustomizationModule.h"
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using CM = CustomizationModule;

TEST(Branding, ParseSpecFindsTheFirstOccurrenceAndItsValue)
{
    struct Case { const char* specs; const char* key; const char* value; };
    const Case cases[] = {
        {"applicationName=Lumora\n", "applicationName", "Lumora"},
        {"applicationName=A=B\n", "applicationName", "A"},
        {"APPLICATIONNAME=Upper\n", "applicationName", "Upper"},
        {"applicationName = spaced \n", "applicationName", " spaced "},
        {"applicationName\n", "applicationName", ""},
        {"other=1\napplicationName=Last", "applicationName", "Last"},      // no final line end
        {"applicationName=Windows\r\nvendorURL=x\r\n", "applicationName", "Windows"},  // CRLF
        {"applicationName=Old Mac\rvendorURL=x\r", "applicationName", "Old Mac"},     // CR
        {"first=line\nother=2\n", "applicationName", ""},                 // missing key
        {"", "applicationName", ""},
        {"topLogoImageMask=mask.png\ntopLogoImage=logo.png\n", "topLogoImage", "mask.png"},
        {"hideTime=TRUE\n", "hideTime", "TRUE"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CM::ParseSpec(QString::fromUtf8(c.specs), QString::fromLatin1(c.key)).toString().toStdString(),
                  c.value) << c.specs;
}

TEST(Branding, ColourValuesAreReadOnlyInTheirNotations)
{
    struct Case { const char* specs; QColor expected; };   // invalid: not a colour text
    const Case cases[] = {
        {"tabColor=255,128,0\n", QColor(255, 128, 0)},
        {"tabColor=300,-5,12abc\n", QColor(255, 0, 12)},   // each field's leading number, kept to 0..255
        {"tabColor= 1 , 2 , 3\n", QColor(1, 2, 3)},
        {"tabColor=&hFF8000\n", QColor(255, 128, 0)},
        {"tabColor=&cff8000\n", QColor(255, 128, 0)},
        {"tabColor=#102030\n", QColor(16, 32, 48)},
        {"tabColor= #102030 \n", QColor(16, 32, 48)},
        // Anything else is no colour, never a misread one.
        {"tabColor=10,20\n", QColor()},
        {"tabColor=1,2,3,4\n", QColor()},
        {"tabColor=red,green,blue\n", QColor()},
        {"tabColor=16744448\n", QColor()},                 // decimal, not hex
        {"tabColor=&h00FF8000\n", QColor()},               // eight digits
        {"tabColor=#FFF\n", QColor()},                     // short form
        {"tabColor=#1020304\n", QColor()},
        {"tabColor=#10203G\n", QColor()},
        {"tabColor=FF8000\n", QColor()},                   // no prefix
        {"tabColor=nonsense\n", QColor()},
        {"tabColor=\n", QColor()},
        {"other=1\n", QColor()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CM::ParseSpec(QString::fromLatin1(c.specs), "tabColor").value<QColor>(), c.expected) << c.specs;
}

namespace {
// A branding folder with a background picture of the given height.
QString makeBranding(const QTemporaryDir& dir, const QString& name, const QString& specs, int backgroundHeight)
{
    const QString folder = dir.filePath(name);
    QDir().mkpath(folder);
    Files::WriteAtomic(folder + "/calspc.dat", specs.toUtf8());
    if (backgroundHeight > 0) {
        QImage image(40, backgroundHeight, QImage::Format_RGB32);
        image.fill(Qt::blue);
        image.save(folder + "/Back.png");
    }
    return folder;
}

const char* kSpecs =
    "applicationName=Test Edition\n"
    "calendarStartYear=%1\n"
    "backgroundImageWide=back.png\n"
    "backgroundImageStandard=BACK.PNG\n"
    "bottomImage=../etc/passwd\n"
    "yearImage0=missing.png\n"
    "TitleAreaHeight=120\n"
    "CalendarAreaHeightPercentWide=0.7\n"
    "CalendarAreaHeightPercentStandard=0.6\n"
    "hideTime=TRUE\n"
    "hideYear= True\n"
    "rightJustify=1\n"
    "includeLinkButtons=true";   // last line without a line end
} // namespace

TEST(Branding, LoadSpecsDerivesValuesAndSurvivesBadInput)
{
    QTemporaryDir dir;
    struct Case { QString startYear; int backgroundHeight; int expectedYear; double expectedTitle; };
    const int lastYear = Date().Year() - 1;
    const Case cases[] = {
        {"2008", 800, 2008, 0.15},
        {"0", 800, lastYear, 0.15},
        {"999", 800, lastYear, 0.15},
        {"9998", 800, lastYear, 0.15},
        {"9997", 800, 9997, 0.15},
        {"abc", 0, lastYear, 0.082},     // no background picture: the default fraction stays
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString folder = makeBranding(dir, QString("Edition%1").arg(n++),
                                            QString::fromLatin1(kSpecs).arg(c.startYear), c.backgroundHeight);
        CM::DefaultCalendarFolder = folder;
        ASSERT_TRUE(CM::ReadSpecFile(folder, CM::CalendarPropertyValues));
        CM::LoadSpecs();
        EXPECT_EQ(CM::applicationName, "Test Edition");
        EXPECT_EQ(CM::calendarStartYear, c.expectedYear) << c.startYear.toStdString();
        EXPECT_DOUBLE_EQ(CM::TitleAreaHeightPercent, c.expectedTitle);
        EXPECT_EQ(bool(CM::backgroundImage), c.backgroundHeight > 0);   // found ignoring case
        EXPECT_FALSE(CM::IsWideScreen() ? CM::backgroundImageStandard : CM::backgroundImageWide);  // not decoded
        EXPECT_FALSE(CM::bottomImage);                                   // a path names no picture
        EXPECT_FALSE(CM::yearImage[0]);
        EXPECT_TRUE(CM::hideTime);
        EXPECT_FALSE(CM::hideYear);
        EXPECT_TRUE(CM::rightJustify);
        EXPECT_TRUE(CM::includeLinkButtons);
        EXPECT_FALSE(CM::scrollImage);                                   // key absent: empty, false
    }
}

TEST(Branding, PicturesLeftDecodingGiveTheValuesOfOnesWaitedFor)
{
    // A background and a bottom picture large enough to be still decoding when the values
    // are set (either way the outcome must be the same), and files that are no picture.
    QTemporaryDir dir;
    const QString folder = dir.filePath("Edition");
    QDir().mkpath(folder);
    QImage noise(2400, 1600, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < noise.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            line[x] = 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8);
    }
    ASSERT_TRUE(noise.save(folder + "/big.jpg", "JPG", 95));
    ASSERT_TRUE(Files::WriteAtomic(folder + "/bad.jpg", QByteArray("no picture")));
    struct Case { const char* background; QSize size; double title; };
    const Case cases[] = {{"big.jpg", QSize(2400, 1600), 120.0 / 1600}, {"bad.jpg", QSize(), 0.082}};
    for (const Case& c : cases) {
        for (const CM::Pictures when : {CM::Pictures::Now, CM::Pictures::Later}) {
            const QString specs = QStringLiteral("backgroundImageWide=%1\nbackgroundImageStandard=%1\nbottomImage=%1\n"
                                                 "TitleAreaHeight=120\n").arg(QString::fromLatin1(c.background));
            CM::DefaultCalendarFolder = folder;
            CM::CalendarPropertyValues = specs;
            CM::StartLoadingSpecs();
            CM::FinishLoadingSpecs(when);
            SCOPED_TRACE(std::string(c.background) + (when == CM::Pictures::Later ? " later" : " now"));
            EXPECT_DOUBLE_EQ(CM::TitleAreaHeightPercent, c.title);
            EXPECT_EQ(CM::BackgroundSize(), c.size);
            const PicturePtr decoding = CM::BackgroundDecoding().get();
            EXPECT_EQ(decoding ? QSize(decoding->Width(), decoding->Height()) : QSize(), c.size);
            const PicturePtr background = CM::TakeBackground();
            EXPECT_EQ(background, decoding);
            EXPECT_EQ(CM::backgroundImage, background);
            EXPECT_EQ(CM::IsWideScreen() ? CM::backgroundImageWide : CM::backgroundImageStandard, background);
            EXPECT_EQ(CM::BackgroundSize(), c.size);

            EXPECT_EQ(CM::BottomSize(), c.size);
            const PicturePtr bottomDecoding = CM::BottomDecoding().get();
            EXPECT_EQ(bottomDecoding ? QSize(bottomDecoding->Width(), bottomDecoding->Height()) : QSize(), c.size);
            EXPECT_EQ(CM::TakeBottom(), bottomDecoding);
            EXPECT_EQ(CM::bottomImage, bottomDecoding);
            EXPECT_EQ(CM::BottomSize(), c.size);
        }
    }
}

TEST(Branding, PicturesDecodedAheadGoToTheSlotsTheirKeysName)
{
    // Every picture its own size, so that one in the wrong slot shows.
    QTemporaryDir dir;
    const QString folder = dir.filePath("Edition");
    QDir().mkpath(folder);
    for (int i = 0; i < 9; ++i) {
        QImage image(10 + i, 20 + i, QImage::Format_RGB32);
        image.fill(QColor(i * 20, 0, 0));
        ASSERT_TRUE(image.save(QString("%1/p%2.png").arg(folder).arg(i)));
    }
    auto size = [](const PicturePtr& p) { return p ? QSize(p->Width(), p->Height()) : QSize(); };
    auto picture = [](int i) { return QSize(10 + i, 20 + i); };
    const QString before = "backgroundImageWide=p0.png\nbackgroundImageStandard=p0.png\nbottomImage=p1.png\n"
                           "topLogoImage=p2.png\ntopLogoImageMask=p3.png\nyearImage0=p4.png\n"
                           "yearImage1=p5.png\nyearImage2=p6.png\n";
    // The branding read later than the decoding started: one picture the same, one named
    // anew, one no longer named, one more named where none was.
    const QString after = "backgroundImageWide=p0.png\nbackgroundImageStandard=p0.png\nbottomImage=p7.png\n"
                          "topLogoImage=p2.png\ntopLogoImageMask=p3.png\nyearImage0=p8.png\n"
                          "yearImage1=p5.png\n";
    for (const QString& read : {before, after}) {
        SCOPED_TRACE(read == before ? "as decoded ahead" : "changed since");
        ASSERT_TRUE(Files::WriteAtomic(folder + "/calspc.dat", before.toUtf8()));
        CM::DefaultCalendarFolder = folder;
        CM::DecodeAhead();
        CM::CalendarPropertyValues = read;
        CM::StartLoadingSpecs();
        CM::FinishLoadingSpecs();
        const bool same = read == before;
        EXPECT_EQ(size(CM::backgroundImage), picture(0));
        EXPECT_EQ(size(CM::bottomImage), picture(same ? 1 : 7));
        EXPECT_EQ(size(CM::topLogoImage), picture(2));
        EXPECT_EQ(size(CM::topLogoImageMask), picture(3));
        EXPECT_EQ(size(CM::yearImage[0]), picture(same ? 4 : 8));
        EXPECT_EQ(size(CM::yearImage[1]), picture(5));
        EXPECT_EQ(size(CM::yearImage[2]), same ? picture(6) : QSize());
    }
    // A copy that quits before it reads the branding drops what it started; a later start
    // decodes afresh.
    CM::DecodeAhead();
    CM::DropDecodedAhead();
    CM::CalendarPropertyValues = before;
    CM::LoadSpecs();
    EXPECT_EQ(size(CM::yearImage[2]), picture(6));
}

TEST(Branding, DiscoveryPrefersCaldefThenFirstFolderByName)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    EXPECT_EQ(CM::DiscoverFolder(base, QString()), "");
    makeBranding(dir, "Zeta", "applicationName=Z\n", 0);
    makeBranding(dir, "Alpha", "applicationName=A\n", 0);
    QDir().mkpath(base + "/Empty");
    Files::WriteAtomic(base + "/Aardvark", "a file, not a folder");
    EXPECT_EQ(CM::DiscoverFolder(base, QString()), base + "/Alpha");
    EXPECT_EQ(CM::BrandingFolders(base), (QStringList{"Alpha", "Zeta"}));

    struct Case { QByteArray caldef; QString expected; };
    const Case cases[] = {
        {"Zeta\n", base + "/Zeta"},
        {"Zeta  \r\n", base + "/Zeta"},             // trailing blanks and CR stripped
        {"zeta", base + "/zeta"},                   // found ignoring case
        {"Gone\n", base + "/Alpha"},                // missing folder: the search decides
        {"../Zeta\n", base + "/Alpha"},             // not a plain name: ignored
        {"", base + "/Alpha"},
        {QByteArray("\0\1\2", 3), base + "/Alpha"}, // binary: ignored
    };
    for (const Case& c : cases) {
        Files::WriteAtomic(base + "/caldef.dat", c.caldef);
        const QString found = CM::DiscoverFolder(base, QString());
        EXPECT_EQ(found.compare(c.expected, Qt::CaseInsensitive), 0) << c.caldef.toStdString() << " -> " << found.toStdString();
    }
    // caldef.dat gone during the run: the folder found before stays.
    QFile::remove(base + "/caldef.dat");
    EXPECT_EQ(CM::DiscoverFolder(base, base + "/Zeta"), base + "/Zeta");
    // A folder named in caldef.dat that lost its file, and nothing else qualifies.
    QTemporaryDir lonely;
    QDir().mkpath(lonely.filePath("Old"));
    Files::WriteAtomic(lonely.filePath("caldef.dat"), "Old\n");
    EXPECT_EQ(CM::DiscoverFolder(lonely.path(), QString()), lonely.filePath("Old"));
    QString specs;
    EXPECT_FALSE(CM::ReadSpecFile(lonely.filePath("Old"), specs));
}

TEST(Branding, LayoutValuesOutOfRangeCountAsMissingAndTakeTheDefaults)
{
    // The offscreen screen is not wide: the "Standard" keys are read. The background
    // picture is 1000 pixels high, so "TitleAreaHeight=84" is the fraction 0.084.
    QTemporaryDir dir;
    struct Case { const char* lines; double title, calendar, left, top; int yearX, yearStart; };
    const Case cases[] = {
        {"TitleAreaHeight=84\nCalendarAreaHeightPercentStandard=0.7\nleftMargin_pct=0.08\ntopMargin_pct=0.012\n"
         "yearImage_x=-40\nyearImageStartYear=2025\n", 0.084, 0.7, 0.08, 0.012, -40, 2025},   // in range: kept
        {"", 0.082, 0.62, 0, 0, 0, 0},                                        // all missing
        {"TitleAreaHeight=0\nCalendarAreaHeightPercentStandard=1\n", 0, 1, 0, 0, 0, 0},  // the limits
        {"TitleAreaHeight=-50\n", 0.082, 0.62, 0, 0, 0, 0},
        {"TitleAreaHeight=1e300\n", 0.082, 0.62, 0, 0, 0, 0},
        {"TitleAreaHeight=600\n", 0.082, 0.62, 0, 0, 0, 0},                  // over half the screen
        {"TitleAreaHeight=big\n", 0.082, 0.62, 0, 0, 0, 0},
        {"CalendarAreaHeightPercentStandard=1e6\n", 0.082, 0.62, 0, 0, 0, 0},
        {"CalendarAreaHeightPercentStandard=70\n", 0.082, 0.62, 0, 0, 0, 0},  // a percentage typed
        {"CalendarAreaHeightPercentStandard=0\n", 0.082, 0.62, 0, 0, 0, 0},   // no year view
        {"CalendarAreaHeightPercentStandard=-0.5\n", 0.082, 0.62, 0, 0, 0, 0},
        {"CalendarAreaHeightPercentStandard=1e999\n", 0.082, 0.62, 0, 0, 0, 0},
        {"TitleAreaHeight=100\nCalendarAreaHeightPercentStandard=0.9\n", 0.1, 0.9, 0, 0, 0, 0},  // fills the screen
        {"TitleAreaHeight=100\nCalendarAreaHeightPercentStandard=0.95\n", 0.1, 0.62, 0, 0, 0, 0}, // past its end
        {"TitleAreaHeight=450\nCalendarAreaHeightPercentStandard=0.7\n", 0.45, 0.55, 0, 0, 0, 0}, // the default shrinks to fit
        {"leftMargin_pct=1e300\ntopMargin_pct=-1\n", 0.082, 0.62, 0, 0, 0, 0},
        {"leftMargin_pct=0.2\ntopMargin_pct=0.6\n", 0.082, 0.62, 0, 0, 0, 0},
        {"leftMargin_pct=0.16\ntopMargin_pct=0.5\n", 0.082, 0.62, 0.16, 0.5, 0, 0},
        {"yearImage_x=1e300\nyearImageStartYear=-1e300\n", 0.082, 0.62, 0, 0, 0, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString specs = QString::fromLatin1("applicationName=Layout\nbackgroundImageStandard=back.png\n") + c.lines;
        const QString folder = makeBranding(dir, QString("Layout%1").arg(n++), specs, 1000);
        CM::DefaultCalendarFolder = folder;
        ASSERT_TRUE(CM::ReadSpecFile(folder, CM::CalendarPropertyValues));
        CM::LoadSpecs();
        EXPECT_DOUBLE_EQ(CM::TitleAreaHeightPercent, c.title) << c.lines;
        EXPECT_DOUBLE_EQ(CM::CalendarAreaHeightPercent, c.calendar) << c.lines;
        EXPECT_LE(CM::TitleAreaHeightPercent + CM::CalendarAreaHeightPercent, 1.0) << c.lines;
        EXPECT_DOUBLE_EQ(CM::leftMargin_pct, c.left) << c.lines;
        EXPECT_DOUBLE_EQ(CM::topMargin_pct, c.top) << c.lines;
        EXPECT_EQ(CM::yearImage_x, c.yearX) << c.lines;
        EXPECT_EQ(CM::yearImageStartYear, c.yearStart) << c.lines;
    }
}

TEST(Branding, AMinimalBrandingGetsAReadableLayoutAndColours)
{
    QTemporaryDir dir;
    struct Case { const char* specs; int backgroundHeight; };
    const Case cases[] = {
        {"applicationName=Minimal\n", 0},
        {"applicationName=Minimal\nbackgroundImageStandard=back.png\n", 600},   // a picture, no title height
        {"applicationName=Minimal\ncalendarBackgroundColor=16744448\ndaysColor=#FFF\n", 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString folder = makeBranding(dir, QString("Minimal%1").arg(n++), QString::fromLatin1(c.specs),
                                            c.backgroundHeight);
        CM::DefaultCalendarFolder = folder;
        ASSERT_TRUE(CM::ReadSpecFile(folder, CM::CalendarPropertyValues));
        CM::LoadSpecs();
        EXPECT_EQ(CM::applicationName, "Minimal");
        EXPECT_DOUBLE_EQ(CM::TitleAreaHeightPercent, 0.082) << c.specs;
        EXPECT_DOUBLE_EQ(CM::CalendarAreaHeightPercent, 0.62) << c.specs;
        // Black texts on white, not black on black.
        EXPECT_EQ(CM::calendarBackgroundColor, QColor(255, 255, 255)) << c.specs;
        EXPECT_EQ(CM::daysColor, QColor(0, 0, 0)) << c.specs;
        EXPECT_EQ(CM::tabColor, QColor(0, 0, 0)) << c.specs;
    }
}
