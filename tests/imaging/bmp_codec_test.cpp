#include "imaging/bmp_codec.h"
#include "imaging/graphic_error.h"
#include "tests/support/fixtures.h"

#include <array>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The picture in the fixture files (see tests/fixtures/make_fixtures.sh): 7 x 5 pixels,
// pixel (x, y) has PatternColours[(x + 3 * y) % colours] and, where the file has alpha,
// PatternAlphas[(x + y) % 4].
constexpr int PatternWidth = 7;
constexpr int PatternHeight = 5;
constexpr std::array<TColor, 8> PatternColours = {
    RGBColor(0, 0, 0),   RGBColor(255, 255, 255), RGBColor(255, 0, 0),   RGBColor(0, 255, 0),
    RGBColor(0, 0, 255), RGBColor(239, 247, 0),   RGBColor(0, 239, 247), RGBColor(247, 0, 239)};
constexpr std::array<std::uint8_t, 4> PatternAlphas = {255, 128, 0, 64};

TBitmap Pattern(int colours, TPixelFormat format, bool alpha) {
    TBitmap bitmap(PatternWidth, PatternHeight, format);
    for (int y = 0; y < PatternHeight; ++y)
        for (int x = 0; x < PatternWidth; ++x)
            bitmap.SetPixel(x, y, PatternColours[(x + 3 * y) % colours],
                            alpha ? PatternAlphas[(x + y) % 4] : 255);
    return bitmap;
}

// Same size, format and pixels; otherwise says where the first difference is.
testing::AssertionResult SamePicture(const TBitmap& actual, const TBitmap& expected) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height() ||
        actual.PixelFormat() != expected.PixelFormat())
        return testing::AssertionFailure()
               << "got " << actual.Width() << "x" << actual.Height() << " format "
               << actual.PixelFormat() << ", expected " << expected.Width() << "x"
               << expected.Height() << " format " << expected.PixelFormat();
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x)
            if (actual.Pixel(x, y) != expected.Pixel(x, y) ||
                actual.Alpha(x, y) != expected.Alpha(x, y))
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << actual.Pixel(x, y)
                       << " alpha " << std::dec << int(actual.Alpha(x, y)) << ", expected "
                       << std::hex << expected.Pixel(x, y) << " alpha " << std::dec
                       << int(expected.Alpha(x, y));
    return testing::AssertionSuccess();
}

std::uint32_t Get32(const Bytes& bytes, std::size_t pos) {
    return std::uint32_t(bytes.at(pos)) | std::uint32_t(bytes.at(pos + 1)) << 8 |
           std::uint32_t(bytes.at(pos + 2)) << 16 | std::uint32_t(bytes.at(pos + 3)) << 24;
}

std::uint32_t Get16(const Bytes& bytes, std::size_t pos) {
    return std::uint32_t(bytes.at(pos)) | std::uint32_t(bytes.at(pos + 1)) << 8;
}

void Put32(Bytes& bytes, std::size_t pos, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(pos + i) = std::uint8_t(value >> (8 * i));
}

void Put16(Bytes& bytes, std::size_t pos, std::uint32_t value) {
    bytes.at(pos) = std::uint8_t(value);
    bytes.at(pos + 1) = std::uint8_t(value >> 8);
}

// A change to a file: a little-endian field of `size` bytes at `pos` gets `value`.
struct TEdit {
    std::size_t pos;
    std::uint32_t value;
    int size = 4;
};

void Apply(Bytes& file, const std::vector<TEdit>& edits) {
    for (const TEdit& edit : edits)
        for (int i = 0; i < edit.size; ++i)
            file.at(edit.pos + i) = std::uint8_t(edit.value >> (8 * i));
}

// A file made field by field, for layouts and defects the fixture files do not have:
// a 40-byte header, then the masks, the colour table (as B, G, R, 0) and the pixels.
struct TSynthetic {
    int width = 1;
    int height = 1;
    int bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
    std::vector<std::uint32_t> masks{};
    std::vector<TColor> palette{};
    Bytes pixels{};
};

Bytes Build(const TSynthetic& s) {
    Bytes out(54);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 14, 40);
    Put32(out, 18, std::uint32_t(s.width));
    Put32(out, 22, std::uint32_t(s.height));
    Put16(out, 26, 1);
    Put16(out, 28, std::uint32_t(s.bits));
    Put32(out, 30, s.compression);
    Put32(out, 34, std::uint32_t(s.pixels.size()));
    Put32(out, 46, s.colours_used);
    for (const std::uint32_t mask : s.masks)
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(mask >> (8 * i)));
    for (const TColor colour : s.palette)
        out.insert(out.end(), {BlueOf(colour), GreenOf(colour), RedOf(colour), 0});
    Put32(out, 10, std::uint32_t(out.size()));
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    Put32(out, 2, std::uint32_t(out.size()));
    return out;
}

// Fixture files --------------------------------------------------------------------------

struct TFixtureCase {
    const char* file;
    int colours;         // 2 for a two-colour picture, else 8
    TPixelFormat format; // what the reader makes of it
    bool alpha;          // whether the file has the alpha pattern
};

const TFixtureCase FixtureCases[] = {
    {"pil_1bit.bmp", 2, pf24bit, false},             // 1 bit, two-entry table
    {"im_4bit.bmp", 8, pf24bit, false},              // 4 bits, 40-byte header
    {"im_4bit_core.bmp", 8, pf24bit, false},         // 4 bits, 12-byte header, 3-byte table entries
    {"im_4bit_v5.bmp", 8, pf24bit, false},           // 4 bits, 124-byte header
    {"pil_8bit.bmp", 8, pf24bit, false},             // 8 bits, eight-entry table
    {"im_rle8.bmp", 8, pf24bit, false},              // RLE8
    {"py_16bit_rgb.bmp", 8, pf24bit, false},         // 16 bits without masks: 5-5-5
    {"im_16bit_555.bmp", 8, pf24bit, false},         // 5-5-5 bit fields in a 124-byte header
    {"im_16bit_565.bmp", 8, pf24bit, false},         // 5-6-5 bit fields in a 124-byte header
    {"py_16bit_565_masks12.bmp", 8, pf24bit, false}, // 5-6-5, masks after a 40-byte header
    {"pil_24bit.bmp", 8, pf24bit, false},            // bottom-up
    {"py_24bit_topdown.bmp", 8, pf24bit, false},     // top-down (negative height)
    {"pil_32bit_alpha.bmp", 8, pf32bit, true},       // alpha in the fourth byte, no masks
    {"im_32bit_alpha.bmp", 8, pf32bit, true},        // bit fields with alpha, 124-byte header
    {"py_32bit_masks16.bmp", 8, pf32bit, true},      // R-G-B-A masks after a 40-byte header
};

class BmpFixtureTest : public testing::TestWithParam<TFixtureCase> {};

TEST_P(BmpFixtureTest, ReadsThePictureAnotherToolWrote) {
    const TFixtureCase& c = GetParam();
    const TBitmap bitmap = ReadBMP(test::FixtureBytes(c.file));
    EXPECT_TRUE(SamePicture(bitmap, Pattern(c.colours, c.format, c.alpha)));
}

INSTANTIATE_TEST_SUITE_P(Files, BmpFixtureTest, testing::ValuesIn(FixtureCases),
                         [](const testing::TestParamInfo<TFixtureCase>& param) {
                             std::string name = param.param.file;
                             name = name.substr(0, name.find('.'));
                             return name;
                         });

// The fourth byte of a 32-bit pixel is alpha when a mask says so. Without a mask it is
// kept as alpha too, unless it is zero all over the picture: then the picture is opaque.
TEST(BmpReaderTest, ReadsTheFourthByteOf32BitPixels) {
    constexpr int Kept = -1; // the alpha pattern the file has
    const struct {
        const char* name;
        const char* file;
        std::vector<TEdit> edits; // offset 30: compression; 66: alpha mask in the header
        bool zeroed;              // whether every fourth byte is set to zero
        int alpha;
    } cases[] = {
        {"no masks, zeroed", "pil_32bit_alpha.bmp", {}, true, 255},
        {"alpha mask in the header, zeroed", "im_32bit_alpha.bmp", {}, true, 0},
        {"alpha mask after the header, zeroed", "py_32bit_masks16.bmp", {}, true, 0},
        {"bit fields without an alpha mask", "im_32bit_alpha.bmp", {{66, 0}}, false, Kept},
        {"bit fields without an alpha mask, zeroed", "im_32bit_alpha.bmp", {{66, 0}}, true, 255},
        {"plain, header alpha mask, zeroed", "im_32bit_alpha.bmp", {{30, 0}}, true, 0},
        {"plain, no alpha mask", "im_32bit_alpha.bmp", {{30, 0}, {66, 0}}, false, Kept},
        {"plain, no alpha mask, zeroed", "im_32bit_alpha.bmp", {{30, 0}, {66, 0}}, true, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = test::FixtureBytes(c.file);
        Apply(file, c.edits);
        for (std::size_t pos = Get32(file, 10) + 3; c.zeroed && pos < file.size(); pos += 4)
            file[pos] = 0;
        TBitmap expected = Pattern(8, pf32bit, c.alpha == Kept);
        for (int y = 0; y < PatternHeight && c.alpha != Kept; ++y)
            for (int x = 0; x < PatternWidth; ++x)
                expected.SetPixel(x, y, expected.Pixel(x, y), std::uint8_t(c.alpha));
        EXPECT_TRUE(SamePicture(ReadBMP(file), expected));
    }
}

TEST(BmpReaderTest, LastRowMayLackItsPadding) {
    Bytes file = test::FixtureBytes("pil_24bit.bmp");
    file.resize(file.size() - 3); // 7 pixels of 3 bytes: 3 bytes of padding
    EXPECT_TRUE(SamePicture(ReadBMP(file), Pattern(8, pf24bit, false)));
}

// Bit fields ------------------------------------------------------------------------------

TEST(BmpReaderTest, ReadsBitFields) {
    using Masks = std::vector<std::uint32_t>;
    const Masks none, m565 = {0xF800, 0x07E0, 0x001F}, m444 = {0x000F, 0x00F0, 0x0F00};
    const Masks m101010 = {0x3FF00000, 0x000FFC00, 0x000003FF};
    const Masks rgb = {0x00FF0000, 0x0000FF00, 0x000000FF};
    const Masks rgba2 = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xC0000000};   // 2-bit alpha
    const Masks rgb_gap = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x0000FF00}; // not alpha
    const TColor colour = RGBColor(0x10, 0x20, 0x30);
    const struct {
        const char* name;
        int bits;
        std::uint32_t compression;
        Masks masks; // after the header; also the bytes of any colour table
        std::uint32_t colours_used;
        std::uint32_t pixel;
        TColor colour;
        std::uint8_t alpha;
    } cases[] = {
        // Fields narrower than 8 bits are scaled: (v * 255 + max / 2) / max.
        {"5-5-5 full red", 16, 0, none, 0, 0x7C00, RGBColor(255, 0, 0), 255},
        {"5-5-5 red 3, blue 1", 16, 0, none, 0, 0x0C01, RGBColor(25, 0, 8), 255},
        {"5-5-5 green 16", 16, 0, none, 0, 0x0200, RGBColor(0, 132, 0), 255},
        {"5-6-5 green 1, full blue", 16, 3, m565, 0, 0x003F, RGBColor(0, 4, 255), 255},
        {"5-6-5 green 32", 16, 3, m565, 0, 0x0400, RGBColor(0, 130, 0), 255},
        {"4-4-4 blue in the high bits", 16, 3, m444, 0, 0x0A05, RGBColor(85, 0, 170), 255},
        // Wider fields are narrowed the same way.
        {"10-10-10", 32, 3, m101010, 0, 0x3FF00200, RGBColor(255, 0, 128), 255},
        // Where the alpha mask comes from.
        {"fourth mask after the header", 32, 3, rgba2, 0, 0x40102030, colour, 85},
        {"alpha bit fields", 32, 6, rgba2, 0, 0x80102030, colour, 170},
        {"alpha bit fields and a colour table", 32, 6, rgba2, 1, 0x80102030, colour, 170},
        {"colour table after three masks", 32, 3, rgba2, 1, 0x40102030, colour, 0x40},
        {"three masks, then the pixels", 32, 3, rgb, 0, 0x80000000, 0, 0x80},
        {"value overlapping a colour after three masks", 32, 3, rgb_gap, 0, 0x40102030, colour,
         0x40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSynthetic s{.bits = c.bits,
                     .compression = c.compression,
                     .colours_used = c.colours_used,
                     .masks = c.masks};
        for (int i = 0; i < 4; ++i)
            s.pixels.push_back(i < c.bits / 8 ? std::uint8_t(c.pixel >> (8 * i)) : 0);
        const TBitmap bitmap = ReadBMP(Build(s));
        ASSERT_EQ(bitmap.PixelFormat(), c.bits == 32 ? pf32bit : pf24bit);
        EXPECT_EQ(bitmap.Pixel(0, 0), c.colour) << std::hex << bitmap.Pixel(0, 0);
        EXPECT_EQ(bitmap.Alpha(0, 0), c.alpha);
    }
}

// Colour tables ---------------------------------------------------------------------------

TEST(BmpReaderTest, IndexesBeyondTheColourTableAreBlack) {
    const std::vector<TColor> four = {RGBColor(10, 20, 30), RGBColor(40, 50, 60),
                                      RGBColor(70, 80, 90), RGBColor(100, 110, 120)};
    const struct {
        const char* name;
        std::vector<TColor> table; // entries in the file
        std::uint32_t colours_used;
        int black_from; // first index that reads as black
    } cases[] = {
        {"declared size", four, 3, 3},
        {"table shorter than 2^bits", {four[0], four[1]}, 0, 2},
        {"table shorter than declared", {four[0], four[1]}, 200, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap bitmap = ReadBMP(Build({.width = 6,
                                              .colours_used = c.colours_used,
                                              .palette = c.table,
                                              .pixels = {0, 1, 2, 3, 4, 255, 0, 0}}));
        for (int x = 0; x < 6; ++x) {
            const int index = x < 4 ? x : x == 4 ? 4 : 255;
            EXPECT_EQ(bitmap.Pixel(x, 0), index < c.black_from ? four[index] : 0) << x;
        }
    }
}

// Run-length data -------------------------------------------------------------------------

const std::vector<TColor> RunPalette = {RGBColor(255, 0, 0), RGBColor(0, 255, 0),
                                        RGBColor(0, 0, 255), RGBColor(255, 255, 255)};

// A 5 x 3 RLE picture over RunPalette.
Bytes RunFile(bool four_bits, Bytes stream, int height = 3) {
    return Build({.width = 5,
                  .height = height,
                  .bits = four_bits ? 4 : 8,
                  .compression = four_bits ? 2u : 1u,
                  .palette = RunPalette,
                  .pixels = std::move(stream)});
}

TEST(BmpReaderTest, DecodesRunLengthData) {
    const struct {
        const char* name;
        bool four_bits;
        Bytes stream;
        const char* rows[3]; // top row first: palette index, or '.' for a pixel left black
    } cases[] = {
        {"runs and end of lines",
         false,
         {5, 0, 0, 0, 2, 1, 3, 2, 0, 0, 0, 1},
         {".....", "11222", "00000"}},
        {"absolute block and its padding byte",
         false,
         {0, 3, 1, 2, 3, 0, 2, 0, 0, 1},
         {".....", ".....", "12300"}},
        {"delta", false, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}, {".....", "...2.", "1...."}},
        {"early end of bitmap", false, {2, 3, 0, 1}, {".....", ".....", "33..."}},
        {"no end of bitmap after the last row",
         false,
         {5, 1, 0, 0, 5, 2, 0, 0, 5, 3},
         {"33333", "22222", "11111"}},
        {"no end of bitmap, nor padding after the last absolute block",
         false,
         {5, 1, 0, 0, 5, 2, 0, 0, 0, 5, 3, 3, 3, 3, 3},
         {"33333", "22222", "11111"}},
        {"4 bits: runs alternate nibbles, odd absolute block padded",
         true,
         {5, 0x12, 0, 0, 0, 5, 0x01, 0x23, 0x30, 0, 0, 1},
         {".....", "01233", "12121"}},
        {"4 bits: absolute block of whole words, delta",
         true,
         {0, 3, 0x12, 0x30, 2, 0x00, 0, 0, 0, 2, 1, 1, 1, 0x30, 0, 1},
         {".3...", ".....", "12300"}},
        {"pixels past the right edge are dropped, not wrapped",
         false,
         {0, 0, 7, 1, 0, 0, 1, 2, 0, 1},
         {"2....", "11111", "....."}},
        {"4 bits: absolute pixels past the right edge are dropped",
         true,
         {0, 6, 0x12, 0x31, 0x23, 0, 1, 0x30, 0, 1},
         {".....", ".....", "12312"}},
        {"pixels above the top row are dropped",
         false,
         {1, 3, 0, 2, 0, 3, 2, 1, 0, 1},
         {".....", ".....", "3...."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap bitmap = ReadBMP(RunFile(c.four_bits, c.stream));
        ASSERT_EQ(bitmap.Width(), 5);
        ASSERT_EQ(bitmap.Height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const char index = c.rows[y][x];
                EXPECT_EQ(bitmap.Pixel(x, y), index == '.' ? 0 : RunPalette[index - '0'])
                    << "(" << x << ", " << y << ")";
            }
    }
}

// Invalid files ---------------------------------------------------------------------------

constexpr std::size_t Whole = std::size_t(-1);

TEST(BmpReaderTest, RefusesInvalidFiles) {
    const std::string invalid = "Invalid or unexpected BMP image format";
    const std::string truncated = "truncated";
    const std::string size = "size is invalid";
    const std::string large = "too large";
    const std::string beyond = "beyond the end";
    const std::string depth = "bit depth";
    const std::string compression = "compression";
    const Bytes bmp24 = test::FixtureBytes("pil_24bit.bmp");
    const Bytes bmp8 = test::FixtureBytes("pil_8bit.bmp");
    const Bytes core = test::FixtureBytes("im_4bit_core.bmp");
    const Bytes masks = test::FixtureBytes("py_16bit_565_masks12.bmp");
    const Bytes rle = test::FixtureBytes("im_rle8.bmp");
    // Fields: 10 pixel data offset, 14 header size, 18 width, 22 height, 28 bits,
    // 30 compression, 54 first mask; in a 12-byte header 18 width, 20 height, 24 bits.
    const struct {
        const char* name;
        Bytes file;
        std::vector<TEdit> edits;
        std::size_t keep; // bytes kept from the start
        std::string message;
    } cases[] = {
        {"empty file", {}, {}, Whole, invalid},
        {"bad magic", bmp24, {{0, 'B' | 'X' << 8, 2}}, Whole, invalid},
        {"only the magic", bmp24, {}, 2, truncated},
        {"cut in the file header", bmp24, {}, 12, truncated},
        {"cut in the info header", bmp24, {}, 40, truncated},
        {"cut in the core header", core, {}, 20, truncated},
        {"cut in the masks", masks, {}, 60, truncated},
        {"cut in the colour table", bmp8, {}, 70, beyond},
        {"cut in the pixels", bmp24, {}, 120, truncated},
        {"cut in the last pixel", bmp24, {}, 170, truncated},
        {"cut in run-length data", rle, {}, 1120, truncated},
        {"cut in a run-length instruction", rle, {}, 1121, truncated},
        {"unknown header size", bmp24, {{14, 64}}, Whole, invalid},
        {"zero width", bmp24, {{18, 0}}, Whole, size},
        {"negative width", bmp24, {{18, std::uint32_t(-7)}}, Whole, size},
        {"zero height", bmp24, {{22, 0}}, Whole, size},
        {"zero width in a core header", core, {{18, 0, 2}}, Whole, size},
        {"absurd size", bmp24, {{18, 100000}, {22, 100000}}, Whole, large},
        {"just over the pixel limit", bmp24, {{18, 8193}, {22, 8192}}, Whole, large},
        {"most negative height", bmp24, {{22, 0x80000000}}, Whole, large},
        {"more rows than data", bmp24, {{22, 6}}, Whole, truncated},
        {"offset past the end", bmp24, {{10, 175}}, Whole, beyond},
        {"offset far past the end", bmp24, {{10, 0xFFFFFFF0}}, Whole, beyond},
        {"offset inside the headers", bmp24, {{10, 40}}, Whole, invalid},
        {"7 bits", bmp24, {{28, 7, 2}}, Whole, depth},
        {"0 bits", bmp24, {{28, 0, 2}}, Whole, depth},
        {"64 bits", bmp24, {{28, 64, 2}}, Whole, depth},
        {"24 bits plus 256", bmp24, {{28, 0x0118, 2}}, Whole, depth},
        {"16 bits in a core header", core, {{24, 16, 2}}, Whole, depth},
        {"RLE8 of 24 bits", bmp24, {{30, 1}}, Whole, depth},
        {"RLE4 of 8 bits", bmp8, {{30, 2}}, Whole, depth},
        {"bit fields of 24 bits", bmp24, {{30, 3}}, Whole, depth},
        {"JPEG compression", bmp24, {{30, 4}}, Whole, compression},
        {"PNG compression", bmp24, {{30, 5}}, Whole, compression},
        {"unknown compression", bmp24, {{30, 99}}, Whole, compression},
        {"mask with a gap", masks, {{54, 0xF00F}}, Whole, "masks"},
        {"mask wider than the pixel", masks, {{54, 0x1F0000}}, Whole, "masks"},
        {"top-down RLE", RunFile(false, {0, 1}, -3), {}, Whole, "top-down"},
        {"absolute block cut short", RunFile(false, {0, 4, 1, 2}), {}, Whole, truncated},
        {"4-bit absolute block cut short", RunFile(true, {0, 5, 0x12, 0x34}), {}, Whole, truncated},
        {"delta cut short", RunFile(false, {0, 2, 1}), {}, Whole, truncated},
        {"half an instruction", RunFile(false, {5, 1, 0}), {}, Whole, truncated},
        {"no end of bitmap, rows unfinished", RunFile(false, {5, 1, 0, 0}), {}, Whole, truncated},
        {"no run-length data", RunFile(false, {}), {}, Whole, truncated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = c.file;
        Apply(file, c.edits);
        if (c.keep != Whole)
            file.resize(c.keep);
        try {
            ReadBMP(file);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Cannot load image. ", 0), 0u) << e.what();
        }
    }
}

// Writing ---------------------------------------------------------------------------------

// Every pixel different, and every alpha value different from its neighbours'.
TBitmap Varied(int width, int height, TPixelFormat format, TRowOrder order) {
    TBitmap bitmap(width, height, format, order);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y,
                            RGBColor(std::uint8_t(x * 37 + y), std::uint8_t(y * 53 + x),
                                     std::uint8_t(x * y * 13 + 7)),
                            std::uint8_t(x * 31 + y * 17));
    return bitmap;
}

TEST(BmpWriterTest, RoundTripsThePixels) {
    const struct {
        TPixelFormat format;
        int width;
        int height;
        TRowOrder order;
    } cases[] = {
        {pf24bit, 7, 5, roTopDown},  {pf24bit, 7, 5, roBottomUp}, {pf24bit, 1, 1, roTopDown},
        {pf24bit, 4, 3, roTopDown},  {pf32bit, 7, 5, roTopDown},  {pf32bit, 7, 5, roBottomUp},
        {pf32bit, 1, 9, roBottomUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " format " << c.format
                                        << " order " << c.order);
        const TBitmap source = Varied(c.width, c.height, c.format, c.order);
        EXPECT_TRUE(SamePicture(ReadBMP(WriteBMP(source)), source));
    }
}

TEST(BmpWriterTest, KeepsAFullyTransparentPicture) {
    TBitmap source = Varied(3, 2, pf32bit, roTopDown);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            source.SetPixel(x, y, source.Pixel(x, y), 0);
    EXPECT_TRUE(SamePicture(ReadBMP(WriteBMP(source)), source));
}

TEST(BmpWriterTest, WritesTheHeaders) {
    const struct {
        TPixelFormat format;
        std::uint32_t header_size;
        std::uint32_t bits;
        std::uint32_t compression;
        std::size_t row_bytes; // for a width of 7
    } cases[] = {{pf24bit, 40, 24, 0, 24}, {pf32bit, 108, 32, 3, 28}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        const TBitmap source = Varied(7, 5, c.format, roTopDown);
        const Bytes file = WriteBMP(source);
        const std::uint32_t offset = 14 + c.header_size;
        ASSERT_EQ(file.size(), offset + 5 * c.row_bytes);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(Get32(file, 2), file.size());
        EXPECT_EQ(Get32(file, 10), offset);
        EXPECT_EQ(Get32(file, 14), c.header_size);
        EXPECT_EQ(Get32(file, 18), 7u);
        EXPECT_EQ(Get32(file, 22), 5u) << "positive: bottom-up";
        EXPECT_EQ(Get16(file, 26), 1u);
        EXPECT_EQ(Get16(file, 28), c.bits);
        EXPECT_EQ(Get32(file, 30), c.compression);
        EXPECT_EQ(Get32(file, 34), 5 * c.row_bytes);
        EXPECT_EQ(Get32(file, 38), 2835u);
        EXPECT_EQ(Get32(file, 42), 2835u);
        EXPECT_EQ(Get32(file, 46), 0u);
        if (c.format == pf32bit) {
            EXPECT_EQ(Get32(file, 54), 0x00FF0000u);
            EXPECT_EQ(Get32(file, 58), 0x0000FF00u);
            EXPECT_EQ(Get32(file, 62), 0x000000FFu);
            EXPECT_EQ(Get32(file, 66), 0xFF000000u);
            EXPECT_EQ(Get32(file, 70), 0x73524742u);
        }
        // The first row in the file is the bottom one, B-G-R(-A), then zero padding.
        const std::size_t bpp = c.bits / 8;
        for (int x = 0; x < 7; ++x) {
            const std::uint8_t* p = file.data() + offset + x * bpp;
            EXPECT_EQ(RGBColor(p[2], p[1], p[0]), source.Pixel(x, 4)) << x;
            if (bpp == 4) {
                EXPECT_EQ(p[3], source.Alpha(x, 4)) << x;
            }
        }
        for (std::size_t i = 7 * bpp; i < c.row_bytes; ++i)
            EXPECT_EQ(file[offset + i], 0) << "padding byte " << i;
    }
}

TEST(BmpWriterTest, RefusesAnEmptyBitmap) {
    EXPECT_THROW(WriteBMP(TBitmap()), std::invalid_argument);
    EXPECT_THROW(WriteBMP(TBitmap(0, 3, pf24bit)), std::invalid_argument);
}

} // namespace
} // namespace kalvo
