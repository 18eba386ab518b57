#include "imaging/bitmap.h"

#include <cstring>
#include <gtest/gtest.h>
#include <stdexcept>

namespace kalvo {
namespace {

// A picture whose every pixel is different, so that a row or column mix-up shows.
void Paint(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.SetPixel(
                x, y, RGBColor(std::uint8_t(x * 20), std::uint8_t(y * 30), std::uint8_t(x + y)),
                std::uint8_t(100 + x + y));
}

void ExpectPainted(const TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            ASSERT_EQ(bitmap.Pixel(x, y),
                      RGBColor(std::uint8_t(x * 20), std::uint8_t(y * 30), std::uint8_t(x + y)))
                << x << "," << y;
            ASSERT_EQ(bitmap.Alpha(x, y), bitmap.PixelFormat() == pf32bit ? 100 + x + y : 255);
        }
}

TEST(BitmapTest, RowsArePaddedToFourBytes) {
    EXPECT_EQ(RowBytes(1, pf24bit), 4u);
    EXPECT_EQ(RowBytes(5, pf24bit), 16u);
    EXPECT_EQ(RowBytes(4, pf24bit), 12u);
    EXPECT_EQ(RowBytes(3, pf32bit), 12u);
}

struct Layout {
    TPixelFormat format;
    TRowOrder order;
};
class BitmapLayoutTest : public testing::TestWithParam<Layout> {};

TEST_P(BitmapLayoutTest, RowZeroAndStrideDescribeTheMemory) {
    const auto [format, order] = GetParam();
    TBitmap bitmap(5, 3, format, order);
    EXPECT_EQ(bitmap.RowOrder(), order);
    const std::ptrdiff_t row = std::ptrdiff_t(RowBytes(5, format));
    EXPECT_EQ(bitmap.Stride(), order == roTopDown ? row : -row);
    // All rows lie in one block; the lowest address is row 0 (top-down) or the last row.
    const std::uint8_t* lowest = order == roTopDown ? bitmap.ScanLine(0) : bitmap.ScanLine(2);
    EXPECT_EQ(bitmap.ScanLine(order == roTopDown ? 2 : 0), lowest + 2 * row);
    for (int y = 0; y < 3; ++y)
        for (std::size_t i = 0; i < std::size_t(row); ++i)
            ASSERT_EQ(bitmap.ScanLine(y)[i], 0) << "new bitmaps are zeroed";

    Paint(bitmap);
    ExpectPainted(bitmap);
    // The pixel accessors and ScanLine agree: pixel (x, y) is at ScanLine(y) + x * bpp.
    const std::uint8_t* p = bitmap.ScanLine(2) + 4 * bitmap.BytesPerPixel();
    EXPECT_EQ(RGBColor(p[2], p[1], p[0]), bitmap.Pixel(4, 2));
}

TEST_P(BitmapLayoutTest, ConversionsCloningAndResizingKeepTheRowOrder) {
    const auto [format, order] = GetParam();
    TBitmap bitmap(7, 4, format, order);
    Paint(bitmap);
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(0x00FF00);

    const TBitmap copy = bitmap.Clone();
    EXPECT_EQ(copy.RowOrder(), order);
    EXPECT_TRUE(SamePixels(copy, bitmap));
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), 0x00FF00u);
    EXPECT_NE(copy.Row0(), bitmap.Row0());

    const TPixelFormat other = format == pf24bit ? pf32bit : pf24bit;
    bitmap.SetPixelFormat(other);
    EXPECT_EQ(bitmap.PixelFormat(), other);
    EXPECT_EQ(bitmap.RowOrder(), order);
    EXPECT_TRUE(bitmap.Transparent());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(bitmap.Pixel(x, y), copy.Pixel(x, y));
            // 24 -> 32 makes pixels opaque; 32 -> 24 has no alpha to keep.
            ASSERT_EQ(bitmap.Alpha(x, y), 255);
        }

    bitmap.SetSize(3, 9);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 9);
    EXPECT_EQ(bitmap.RowOrder(), order);
    EXPECT_EQ(bitmap.Pixel(2, 8), 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BitmapLayoutTest,
                         testing::Values(Layout{pf24bit, roTopDown}, Layout{pf24bit, roBottomUp},
                                         Layout{pf32bit, roTopDown}, Layout{pf32bit, roBottomUp}));

TEST(BitmapTest, SamePixelsIgnoresRowOrderAndPadding) {
    TBitmap top(3, 2, pf24bit, roTopDown);
    TBitmap bottom(3, 2, pf24bit, roBottomUp);
    Paint(top);
    Paint(bottom);
    // Padding bytes differ but are not pixels.
    top.ScanLine(0)[9] = 0xAA;
    EXPECT_TRUE(SamePixels(top, bottom));
    bottom.SetPixel(2, 1, 0x123456);
    EXPECT_FALSE(SamePixels(top, bottom));
    EXPECT_FALSE(SamePixels(top, TBitmap(3, 2, pf32bit)));
}

TEST(BitmapTest, EmptyBitmapsKeepTheirRowOrder) {
    TBitmap bitmap(0, 0, pf24bit, roBottomUp);
    EXPECT_EQ(bitmap.RowOrder(), roBottomUp);
    bitmap.SetSize(4, 4);
    EXPECT_EQ(bitmap.RowOrder(), roBottomUp);
    EXPECT_LT(bitmap.Stride(), 0);
    bitmap.SetSize(4, 0);
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(2, 3);
    EXPECT_EQ(bitmap.RowOrder(), roBottomUp);
    EXPECT_LT(bitmap.Stride(), 0);
}

TEST(BitmapTest, MovedFromBitmapIsEmpty) {
    TBitmap source(3, 2, pf32bit, roBottomUp);
    source.SetPixel(2, 1, 0x123456, 7);
    TBitmap target = std::move(source);
    EXPECT_TRUE(source.Empty()); // NOLINT(bugprone-use-after-move): the state is the point
    EXPECT_EQ(source.Width(), 0);
    EXPECT_EQ(target.Pixel(2, 1), 0x123456u);
    EXPECT_EQ(target.Alpha(2, 1), 7);
    source = std::move(target);
    EXPECT_EQ(source.Pixel(2, 1), 0x123456u);
    EXPECT_TRUE(target.Empty()); // NOLINT(bugprone-use-after-move)
}

TEST(BitmapTest, CopyFromNeedsTheSameSizeAndFormat) {
    TBitmap source(3, 2, pf24bit, roTopDown);
    source.SetPixel(1, 1, 0xABCDEF);
    source.SetTransparent(true);
    TBitmap target(3, 2, pf24bit, roBottomUp);
    target.CopyFrom(source);
    EXPECT_TRUE(SamePixels(target, source));
    EXPECT_TRUE(target.Transparent());
    TBitmap other(3, 3, pf24bit);
    EXPECT_THROW(other.CopyFrom(source), std::invalid_argument);
}

TEST(BitmapTest, EmptyAndImpossibleSizes) {
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    empty.SetPixelFormat(pf32bit);
    EXPECT_EQ(empty.PixelFormat(), pf32bit);
    EXPECT_TRUE(TBitmap(0, 5, pf24bit).Empty());
    EXPECT_THROW(TBitmap(-1, 5, pf24bit), std::invalid_argument);
    EXPECT_THROW(TBitmap(1 << 14, 1 << 14, pf24bit), std::length_error);
    TBitmap grown;
    grown.SetSize(2, 2);
    EXPECT_EQ(grown.Width(), 2);
    EXPECT_NE(grown.Row0(), nullptr);
}

} // namespace
} // namespace kalvo
