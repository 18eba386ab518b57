#include "render/gradient.h"

#include <gtest/gtest.h>
#include <vector>

namespace kalvo {
namespace {

constexpr TColor Fill = 0x123456;

// A 24-bit bitmap filled with one colour.
TBitmap Filled(int width, int height, TColor color = Fill) {
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
            pixel[0] = std::uint8_t(color >> 16);
            pixel[1] = std::uint8_t(color >> 8);
            pixel[2] = std::uint8_t(color);
        }
    return bitmap;
}

TColor Pixel(const TBitmap& bitmap, int x, int y) {
    const std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
    return TColor(pixel[2]) | TColor(pixel[1]) << 8 | TColor(pixel[0]) << 16;
}

TColor Grey(int level) {
    return TColor(level) * 0x010101;
}

TEST(PaintGradientTest, VerticalStepsRoundTheirRunningColourToEven) {
    // 0 to 255 over four increments of 63.75: 127.5 goes to the even 128, 191.25 to 191.
    TBitmap bitmap = Filled(3, 5);
    PaintGradient(bitmap, {0, 0, 3, 5}, {{Grey(0), Grey(255), 100, 0}});
    const int levels[] = {0, 64, 128, 191, 255};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Pixel(bitmap, x, y), Grey(levels[y])) << x << ", " << y;
    // 0 to 253 over two: 126.5 goes down to 126.
    TBitmap tie = Filled(1, 3);
    PaintGradient(tie, {0, 0, 1, 3}, {{Grey(0), Grey(253), 100, 0}});
    EXPECT_EQ(Pixel(tie, 0, 1), Grey(126));
    // Each component by itself: red up, blue down.
    TBitmap colours = Filled(1, 3);
    PaintGradient(colours, {0, 0, 1, 3}, {{0xFF0000, 0x0000FF, 100, 0}});
    EXPECT_EQ(Pixel(colours, 0, 1), TColor(0x800080));
}

// The chain of the hint section over 20 rows: 21 % gives rows 0-4, 2 % no row, 45 % rows
// 4-13, 30 % rows 13-19 (the last row of the rectangle), and the last step of 0 % starts
// there and paints nothing. Each step's end row is painted again by the next.
TEST(PaintGradientTest, VerticalChainEndsEachStepOnTheNextOnesFirstRow) {
    const TsGradArray hint = {{16777215, 13166825, 21, 0},
                              {13166825, 6282210, 2, 0},
                              {6282210, 8454143, 45, 0},
                              {8454143, 11992319, 30, 0},
                              {11992319, 11992319, 0, 0}};
    TBitmap bitmap = Filled(4, 20);
    PaintGradient(bitmap, {0, 0, 4, 20}, hint);
    EXPECT_EQ(Pixel(bitmap, 0, 0), TColor(16777215));
    EXPECT_EQ(Pixel(bitmap, 3, 4), TColor(6282210));   // the third step's start
    EXPECT_EQ(Pixel(bitmap, 0, 13), TColor(8454143));  // the fourth step's start
    EXPECT_EQ(Pixel(bitmap, 2, 19), TColor(11992319)); // the fourth step's end
    // Row 2 of the first step: half way from white to 13166825 (0xC8E9E9).
    EXPECT_EQ(Pixel(bitmap, 1, 2), TColor(0xE4F4F4));
}

TEST(PaintGradientTest, HorizontalStepsSplitEveryRowAlike) {
    // Width 10: the first step ends on column nearest(50 * 0.1) = 5, the last runs to 9.
    TBitmap bitmap = Filled(10, 3);
    PaintGradient(bitmap, {0, 0, 10, 3},
                  {{Grey(0), Grey(250), 50, 1}, {Grey(10), Grey(10), 50, 0}});
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel(bitmap, x, y), Grey(50 * x)) << x << ", " << y;
        for (int x = 5; x < 10; ++x)
            EXPECT_EQ(Pixel(bitmap, x, y), Grey(10)) << x << ", " << y;
    }
}

TEST(PaintGradientTest, ClipsToTheBitmapAndLeavesEverythingElse) {
    // Left and top below 0 start at 0, right and bottom past the bitmap end at its edge; the
    // step percentages are taken of the clipped size.
    TBitmap bitmap = Filled(6, 6);
    PaintGradient(bitmap, {-3, 2, 40, 90}, {{Grey(200), Grey(200), 10, 0}});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Pixel(bitmap, x, y), y >= 2 ? Grey(200) : Fill) << x << ", " << y;

    TBitmap part = Filled(6, 6);
    PaintGradient(part, {1, 1, 3, 4}, {{Grey(9), Grey(9), 100, 1}});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Pixel(part, x, y), x >= 1 && x < 3 && y >= 1 && y < 4 ? Grey(9) : Fill)
                << x << ", " << y;
}

TEST(PaintGradientTest, PaintsNothingWithoutStepsModeOrRoom) {
    struct Case {
        const char* what;
        TRect rect;
        TsGradArray steps;
    };
    const Case cases[] = {
        {"no steps", {0, 0, 5, 5}, {}},
        {"mode 3", {0, 0, 5, 5}, {{Grey(1), Grey(2), 100, 3}}},
        {"mode -1", {0, 0, 5, 5}, {{Grey(1), Grey(2), 100, -1}}},
        {"empty rectangle", {3, 3, 3, 5}, {{Grey(1), Grey(2), 100, 0}}},
        {"outside", {7, 0, 9, 5}, {{Grey(1), Grey(2), 100, 0}}},
        // A single row: the only step starts and ends on it.
        {"one row", {0, 2, 5, 3}, {{Grey(1), Grey(2), 100, 0}}},
    };
    for (const Case& c : cases) {
        TBitmap bitmap = Filled(5, 5);
        PaintGradient(bitmap, c.rect, c.steps);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(Pixel(bitmap, x, y), Fill) << c.what << " at " << x << ", " << y;
    }
    TBitmap alpha(4, 4, pf32bit);
    PaintGradient(alpha, {0, 0, 4, 4}, {{Grey(1), Grey(2), 100, 0}});
    EXPECT_EQ(alpha.ScanLine(1)[0], 0);
}

TEST(PaintGradientTest, FourTrianglesBlendCornersAndCentre) {
    // One step: every vertex takes its colour.
    TBitmap solid = Filled(9, 7);
    PaintGradient(solid, {0, 0, 9, 7}, {{0x336699, 0, 0, 2}});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(Pixel(solid, x, y), TColor(0x336699)) << x << ", " << y;

    // Top-left white, the centre and every other vertex black: the bottom and right
    // triangles are black throughout, the top-left pixel nearly white, the centre black.
    TBitmap bitmap = Filled(20, 20);
    PaintGradient(bitmap, {0, 0, 20, 20}, {{Grey(255), 0, 0, 2}, {Grey(0), 0, 0, 0}});
    EXPECT_EQ(Pixel(bitmap, 10, 19), Grey(0));
    EXPECT_EQ(Pixel(bitmap, 19, 10), Grey(0));
    EXPECT_EQ(Pixel(bitmap, 10, 10), Grey(0));
    const TColor corner = Pixel(bitmap, 0, 0);
    EXPECT_GT(corner & 0xFF, 200u);
    // Along the diagonal to the centre the colour falls steadily.
    for (int i = 1; i < 10; ++i)
        EXPECT_LE(Pixel(bitmap, i, i) & 0xFF, Pixel(bitmap, i - 1, i - 1) & 0xFF) << i;
    // Every pixel is painted.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_NE(Pixel(bitmap, x, y), Fill) << x << ", " << y;
}

TEST(BlendColorRectTest, KeepsItsShareOfEachPixelAndTouchesRightAndBottom) {
    struct Case {
        std::uint8_t pixel, colour, keep, expected;
    };
    const Case cases[] = {
        {200, 0, 25, 50},    // 0.25 * 200
        {101, 0, 30, 30},    // 30.3
        {1, 0, 50, 0},       // 0.5 goes to the even 0
        {3, 0, 50, 2},       // 1.5 goes to the even 2
        {10, 250, 0, 250},   // the colour alone
        {10, 250, 100, 10},  // the pixel unchanged
    };
    for (const Case& c : cases) {
        TBitmap bitmap = Filled(4, 4, Grey(c.pixel));
        BlendColorRect(bitmap, {1, 1, 2, 2}, c.keep, Grey(c.colour));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
                EXPECT_EQ(Pixel(bitmap, x, y), inside ? Grey(c.expected) : Grey(c.pixel))
                    << int(c.pixel) << " keep " << int(c.keep) << " at " << x << ", " << y;
            }
    }
    // Clipped at the edges, Right and Bottom past the bitmap included.
    TBitmap bitmap = Filled(3, 3, Grey(100));
    BlendColorRect(bitmap, {-5, -5, 10, 10}, 0, 0x0000FF);
    EXPECT_EQ(Pixel(bitmap, 0, 0), TColor(0x0000FF));
    EXPECT_EQ(Pixel(bitmap, 2, 2), TColor(0x0000FF));
}

} // namespace
} // namespace kalvo
