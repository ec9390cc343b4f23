#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "shell/FileTypes.h"
#include "shell/InterfacePictures.h"
#include <QMap>
#include <gtest/gtest.h>

TEST(InterfacePictures, AllTwentyAreCompiledIn)
{
    const int numbers[] = {168, 169, 170, 171, 172, 173, 175, 178, 179, 180,
                           181, 185, 186, 188, 189, 190, 193, 194, 195, 197};
    for (int n : numbers)
        EXPECT_TRUE(InterfacePictures::ReadResource(n)) << n;
    EXPECT_FALSE(InterfacePictures::ReadResource(174));
    // The countdown mask is the countdown picture's size, and the home-button mask the
    // home button's.
    EXPECT_EQ(InterfacePictures::ReadResource(185)->Width(), InterfacePictures::ReadResource(186)->Width());
    EXPECT_EQ(InterfacePictures::ReadResource(185)->Height(), InterfacePictures::ReadResource(186)->Height());
    EXPECT_EQ(InterfacePictures::ReadResource(168)->Width(), InterfacePictures::ReadResource(169)->Width());
}

TEST(InterfacePictures, CachedPreparedOnceAndRetriedWhenMissing)
{
    QMap<int, int> reads;
    QMap<int, bool> present{{185, true}, {186, true}, {197, true}};
    InterfacePictures::SetSource([&](int n) -> PicturePtr {
        ++reads[n];
        if (!present.value(n))
            return nullptr;
        auto p = Picture::New(8, 8);
        if (n == 186) {
            p->Graphics().SetForeColor(Qt::black);
            p->Graphics().FillRect(0, 0, 4, 8);   // left half opaque
        }
        return p;
    });
    const PicturePtr first = InterfacePictures::deletex();
    EXPECT_EQ(first->Transparent(), 1);
    EXPECT_EQ(InterfacePictures::deletex(), first);
    EXPECT_EQ(reads[197], 1);

    const PicturePtr tile = InterfacePictures::countdown();
    EXPECT_EQ(tile->Transparent(), 1);
    EXPECT_EQ(reads[186], 1);
    InterfacePictures::countdownmask();
    EXPECT_EQ(reads[186], 1);
    ASSERT_TRUE(tile->HasMask());
    EXPECT_EQ(tile->Mask()->Pixel(1, 1), QColor(0, 0, 0));
    EXPECT_EQ(tile->Mask()->Pixel(6, 1), QColor(255, 255, 255));

    EXPECT_FALSE(InterfacePictures::homeButtonNormal());
    EXPECT_FALSE(InterfacePictures::homeButtonNormal());
    EXPECT_EQ(reads[168], 2);   // no picture is cached: asked again
    EXPECT_THROW(InterfacePictures::returnArrowNew(), NilObjectException);

    InterfacePictures::SetSource(nullptr);
    EXPECT_THROW(InterfacePictures::homeButtonNormal(), NilObjectException);
    InterfacePictures::SetSource([](int n) {
        return Picture::OpenAsPicture(QStringLiteral(":/resources/interface/%1.png").arg(n));
    });
}

TEST(FileTypes, TwentyRegisteredRecordsWithTheirTexts)
{
    FileTypes::_Initialize();
    const auto& all = FileTypes::All();
    ASSERT_EQ(all.size(), 20);
    for (const auto& type : all)
        EXPECT_TRUE(type->Registered);
    EXPECT_EQ(all[0]->Name, "video/quicktime");
    EXPECT_EQ(all[6]->Extensions, ".jfif;.jpe;..jpeg;.jpg");
    EXPECT_EQ(all[12]->Extensions, "BM{;GIF;JPG;JPEG;JPE;PNG;TIF;TIFF;");
    EXPECT_EQ(all[19]->Extensions, "");
    EXPECT_EQ(all[19]->MacCreator, "???");
    int emptyCodes = 0;
    for (const auto& type : all)
        emptyCodes += type->MacType.isEmpty() && type->MacCreator.isEmpty();
    EXPECT_EQ(emptyCodes, 7);
    FileTypes::Release();
    EXPECT_TRUE(FileTypes::All().isEmpty());
}
