// Branding pictures scaled for the calendar window are never larger than the screen, and the
// part kept is the middle the window shows of a centred picture.
#include "calendar_window/ScreenPicture.h"
#include <gtest/gtest.h>

namespace {
// A picture whose columns run through the greys 0, 1, 2, ... (rows alike in every column).
PicturePtr columnRamp(int width, int height)
{
    auto picture = Picture::New(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            picture->SetPixel(x, y, QColor(x, x, x));
    return picture;
}
} // namespace

TEST(ScreenPicture, WithinTheScreenItIsAPlainScale)
{
    const PicturePtr ramp = columnRamp(100, 10);
    const PicturePtr scaled = ScreenPicture::Scaled(ramp, 50.9, 5, QSize(1280, 1024));
    ASSERT_TRUE(scaled);
    EXPECT_EQ(QSize(scaled->Width(), scaled->Height()), QSize(50, 5));
    EXPECT_EQ(scaled->Image(), ramp->Scaled(50, 5)->Image());
    // Sizes below one pixel, negative or not a number give one pixel.
    EXPECT_EQ(ScreenPicture::ScaledSize(0.2, -5, QSize(10, 10)), QSize(1, 1));
    EXPECT_EQ(ScreenPicture::ScaledSize(std::nan(""), 3, QSize(10, 10)), QSize(1, 3));
}

TEST(ScreenPicture, ALargerScaleKeepsOnlyTheMiddleAtTheScreensSize)
{
    // 100 columns scaled ten times: the middle 200 of 1000 columns are source columns 40 to 59.
    const PicturePtr ramp = columnRamp(100, 10);
    const PicturePtr kept = ScreenPicture::Scaled(ramp, 1000, 10, QSize(200, 200));
    ASSERT_TRUE(kept);
    EXPECT_EQ(QSize(kept->Width(), kept->Height()), QSize(200, 10));
    EXPECT_NEAR(kept->Pixel(100, 5).red(), 50, 1);
    EXPECT_NEAR(kept->Pixel(5, 5).red(), 40, 1);
    EXPECT_NEAR(kept->Pixel(195, 5).red(), 59, 1);

    // What once asked for terabytes: the copy stays at the bound, masks included.
    ramp->Mask()->SetPixel(50, 5, QColor(255, 255, 255));
    const PicturePtr huge = ScreenPicture::Scaled(ramp, 1e12, 1e300, QSize(64, 48));
    ASSERT_TRUE(huge);
    EXPECT_EQ(QSize(huge->Width(), huge->Height()), QSize(64, 48));
    ASSERT_TRUE(huge->HasMask());
    EXPECT_EQ(QSize(huge->Mask()->Width(), huge->Mask()->Height()), QSize(64, 48));
    EXPECT_EQ(ScreenPicture::Scaled(nullptr, 10, 10, QSize(5, 5)), nullptr);
}
