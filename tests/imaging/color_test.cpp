#include "imaging/color.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(ColorTest, ComponentsAreRedInTheLowByte) {
    const TColor skin = 16313565; // the skin palette's background
    EXPECT_EQ(RedOf(skin), 0xDD);
    EXPECT_EQ(GreenOf(skin), 0xEC);
    EXPECT_EQ(BlueOf(skin), 0xF8);
    EXPECT_EQ(RGBColor(0xDD, 0xEC, 0xF8), skin);
}

TEST(ColorTest, ColorToRGBResolvesSystemColoursOnly) {
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    EXPECT_EQ(ColorToRGB(TransparentColor), TransparentColor);
    // The high byte of an ordinary colour carries nothing.
    EXPECT_EQ(ColorToRGB(0x05123456), 0x00123456u);
    for (int index = 0; index < scSysColorCount; ++index) {
        const TColor rgb = ColorToRGB(clSystemColor | TColor(index));
        EXPECT_EQ(rgb, SysColorRGB(index)) << index;
        EXPECT_EQ(rgb >> 24, 0u) << index;
    }
    EXPECT_EQ(SysColorRGB(-1), 0u);
    EXPECT_EQ(SysColorRGB(scSysColorCount), 0u);
}

#ifndef _WIN32
TEST(ColorTest, NativeBuildUsesTheClassicPalette) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clWindow), RGBColor(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clWindowText), 0u);
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGBColor(128, 128, 128));
}
#endif

} // namespace
} // namespace kalvo
