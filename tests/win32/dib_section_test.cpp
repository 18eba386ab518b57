#include "imaging/dib_section_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kalvo {
namespace {

// GDI and ScanLine must see the same pixels in both row orders: GDI draws, we read; we
// write, GDI reads.
class DibSectionTest : public testing::TestWithParam<std::tuple<TPixelFormat, TRowOrder>> {};

TEST_P(DibSectionTest, GdiAndScanLineShareThePixels) {
    const auto [format, order] = GetParam();
    TBitmap bitmap = CreateDIBBitmap(9, 6, format, order);
    ASSERT_NE(DIBHandle(bitmap), nullptr);
    EXPECT_EQ(bitmap.RowOrder(), order);
    EXPECT_EQ(bitmap.Stride() < 0, order == roBottomUp);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, DIBHandle(bitmap));
    // GDI paints the top two rows red and one pixel blue.
    RECT top{0, 0, 9, 2};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &top, red);
    DeleteObject(red);
    SetPixel(dc, 8, 5, RGB(0, 0, 255));
    GdiFlush();
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(bitmap.Pixel(x, 0), RGBColor(255, 0, 0)) << x;
        EXPECT_EQ(bitmap.Pixel(x, 1), RGBColor(255, 0, 0)) << x;
        EXPECT_EQ(bitmap.Pixel(x, 2), 0u) << x;
    }
    EXPECT_EQ(bitmap.Pixel(8, 5), RGBColor(0, 0, 255));
    EXPECT_EQ(bitmap.ScanLine(5)[8 * bitmap.BytesPerPixel()], 255) << "blue byte first";

    // We write through ScanLine; GDI reads the same place.
    std::uint8_t* p = bitmap.ScanLine(4) + 3 * bitmap.BytesPerPixel();
    p[0] = 0x30;
    p[1] = 0x20;
    p[2] = 0x10;
    EXPECT_EQ(GetPixel(dc, 3, 4), RGB(0x10, 0x20, 0x30));
    SelectObject(dc, old);
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DibSectionTest,
                         testing::Combine(testing::Values(pf24bit, pf32bit),
                                          testing::Values(roTopDown, roBottomUp)));

TEST(DibSectionStorageTest, ConversionAndResizeStayInADibSection) {
    TBitmap bitmap = CreateDIBBitmap(4, 3, pf24bit);
    bitmap.SetPixel(1, 2, 0x112233);
    bitmap.SetPixelFormat(pf32bit);
    EXPECT_NE(DIBHandle(bitmap), nullptr);
    EXPECT_EQ(bitmap.Pixel(1, 2), 0x112233u);
    EXPECT_EQ(bitmap.Alpha(1, 2), 255);
    bitmap.SetSize(10, 10);
    EXPECT_NE(DIBHandle(bitmap), nullptr);
    EXPECT_EQ(bitmap.RowOrder(), roBottomUp);

    TBitmap plain(5, 2, pf24bit, roTopDown);
    plain.SetPixel(4, 1, 0xABCDEF);
    EXPECT_EQ(DIBHandle(plain), nullptr);
    const TBitmap dib = ToDIBBitmap(plain);
    EXPECT_NE(DIBHandle(dib), nullptr);
    EXPECT_TRUE(SamePixels(dib, plain));
    EXPECT_TRUE(DIBHandle(CreateDIBBitmap(0, 0, pf24bit)) == nullptr);
}

} // namespace
} // namespace kalvo
