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

TEST(Branding, ColourValuesAreClampedAndReadInBothForms)
{
    struct Case { const char* specs; QColor expected; };
    const Case cases[] = {
        {"tabColor=255,128,0\n", QColor(255, 128, 0)},
        {"tabColor=300,-5,12abc\n", QColor(255, 0, 12)},
        {"tabColor=10,20\n", QColor(10, 20, 0)},
        {"tabColor=&hFF8000\n", QColor(255, 128, 0)},
        {"tabColor=#102030\n", QColor(16, 32, 48)},
        {"tabColor=nonsense\n", QColor(0, 0, 0)},
        {"tabColor=\n", QColor(0, 0, 0)},
        {"other=1\n", QColor(0, 0, 0)},
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
