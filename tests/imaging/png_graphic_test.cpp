#include "imaging/graphic_error.h"
#include "imaging/png_graphic.h"
#include "tests/support/fixtures.h"

#include <array>
#include <fstream>
#include <gtest/gtest.h>

#include <tuple>
#include <sstream>
#include <string>
#include <vector>

namespace kalvo {
namespace {

// What another decoder made of a fixture (tests/fixtures/make_png_fixtures.py writes
// NAME.expected beside each picture): size, 24 or 32 bits, the transparent colour, and
// every pixel as RRGGBBAA.
struct TExpected {
    int width = 0;
    int height = 0;
    int bits = 0;
    bool keyed = false;
    TColor key = 0;
    std::vector<std::uint32_t> pixels; // row by row, 0xRRGGBBAA
};

TExpected ReadExpected(const std::string& name) {
    std::ifstream in(test::FixturePath(name + ".expected"));
    if (!in)
        throw std::runtime_error("no sidecar for " + name);
    TExpected e;
    std::string key;
    in >> e.width >> e.height >> e.bits >> key;
    if (key != "-") {
        const std::uint32_t rgb = std::uint32_t(std::stoul(key, nullptr, 16));
        e.keyed = true;
        e.key = RGBColor(std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb));
    }
    std::string pixel;
    while (in >> pixel)
        e.pixels.push_back(std::uint32_t(std::stoul(pixel, nullptr, 16)));
    if (e.pixels.size() != std::size_t(e.width) * std::size_t(e.height))
        throw std::runtime_error("sidecar of " + name + " is incomplete");
    return e;
}

testing::AssertionResult Matches(const TBitmap& bitmap, const TExpected& e) {
    const TPixelFormat format = e.bits == 32 ? pf32bit : pf24bit;
    if (bitmap.Width() != e.width || bitmap.Height() != e.height || bitmap.PixelFormat() != format)
        return testing::AssertionFailure()
               << "got " << bitmap.Width() << "x" << bitmap.Height() << " format "
               << bitmap.PixelFormat() << ", expected " << e.width << "x" << e.height << " "
               << e.bits << " bits";
    if (bitmap.Transparent() != e.keyed || (e.keyed && bitmap.TransparentColor() != e.key))
        return testing::AssertionFailure()
               << "transparent " << bitmap.Transparent() << " colour " << std::hex
               << bitmap.TransparentColor() << ", expected " << e.keyed << " " << e.key;
    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x) {
            const std::uint32_t want = e.pixels[std::size_t(y) * std::size_t(e.width) + x];
            const TColor colour = bitmap.Pixel(x, y);
            const std::uint32_t got = std::uint32_t(RedOf(colour)) << 24 |
                                      std::uint32_t(GreenOf(colour)) << 16 |
                                      std::uint32_t(BlueOf(colour)) << 8 | bitmap.Alpha(x, y);
            if (got != want)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << got
                       << " (RRGGBBAA), expected " << want;
        }
    return testing::AssertionSuccess();
}

TPNGGraphic Load(const std::string& name) {
    TPNGGraphic graphic;
    graphic.LoadFromBytes(test::FixtureBytes(name));
    return graphic;
}

// Pictures other encoders wrote -----------------------------------------------------------

const char* const DecodableFiles[] = {
    "png_grey1.png",
    "png_grey2.png",
    "png_grey4.png",
    "png_grey8.png",
    "png_grey16.png",
    "png_grey16_gamma45455.png",
    "png_grey8_trns.png",
    "png_greyalpha8.png",
    "png_greyalpha16.png",
    "png_rgb8.png",
    "png_rgb16.png",
    "png_rgb8_trns.png",
    "png_rgb8_gamma100000.png",
    "png_rgb8_ancillary.png",
    "png_rgba8.png",
    "png_rgba8_gamma45455.png",
    "png_rgba16.png",
    "png_indexed1.png",
    "png_indexed2.png",
    "png_indexed4.png",
    "png_indexed8.png",
    "png_indexed4_trns.png",
    "png_indexed8_bkgd.png",
    "png_grey1_adam7.png",
    "png_grey2_adam7.png",
    "png_grey8_adam7.png",
    "png_greyalpha8_adam7.png",
    "png_rgb8_adam7.png",
    "png_rgba8_adam7.png",
    "png_rgba16_adam7.png",
    "png_rgb8_split.png",
    "png_rgb8_lowercase.png",
    "png_rgba8_filters.png",
    "png_rgb16_filters.png",
    "png_indexed2_filters.png",
};

class PngFixtureTest : public testing::TestWithParam<const char*> {};

TEST_P(PngFixtureTest, DecodesWhatAnotherEncoderWrote) {
    const TPNGGraphic graphic = Load(GetParam());
    EXPECT_TRUE(Matches(graphic, ReadExpected(GetParam())));
    EXPECT_EQ(graphic.HasAlpha(), graphic.PixelFormat() == pf32bit);
}

INSTANTIATE_TEST_SUITE_P(Files, PngFixtureTest, testing::ValuesIn(DecodableFiles),
                         [](const testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             name = name.substr(4, name.size() - 8); // png_ ... .png
                             return name;
                         });

TEST(PngGraphicTest, SixteenBitSamplesAreScaledDown) {
    // The first row of the 16-bit truecolour file begins 65535, 65534, 0.
    const TPNGGraphic graphic = Load("png_rgb16.png");
    EXPECT_EQ(graphic.Pixel(0, 0), RGBColor(255, 254, 0));
    EXPECT_EQ(graphic.Pixel(1, 0), RGBColor(254, 0, 0));
}

TEST(PngGraphicTest, GammaOf45455LeavesSamplesAsTheyAre) {
    const TPNGGraphic plain = Load("png_rgba8.png");
    const TPNGGraphic corrected = Load("png_rgba8_gamma45455.png");
    EXPECT_TRUE(corrected.Info().HasGamma);
    EXPECT_TRUE(SamePixels(plain, corrected));
}

TEST(PngGraphicTest, GammaOf100000BrightensMidTones) {
    const TPNGGraphic plain = Load("png_rgb8.png");
    const TPNGGraphic corrected = Load("png_rgb8_gamma100000.png");
    ASSERT_EQ(RedOf(plain.Pixel(2, 0)), 14);
    // 255 * (14 / 255) ^ (1 / (1.0 * 2.2)) = 68.18
    EXPECT_EQ(RedOf(corrected.Pixel(2, 0)), 68);
}

TEST(PngGraphicTest, IndexedTransparencyBecomesAlpha) {
    const TPNGGraphic graphic = Load("png_indexed4_trns.png");
    EXPECT_EQ(graphic.PixelFormat(), pf32bit);
    const std::array<std::uint8_t, 256>& table = graphic.TransparencyTable();
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[1], 128);
    EXPECT_EQ(table[2], 255);
    EXPECT_EQ(table[3], 64);
    for (std::size_t i = 4; i < table.size(); ++i)
        EXPECT_EQ(table[i], 255) << i;
    EXPECT_EQ(graphic.Palette().size(), 16u);
}

// Progress: "Preparing..." before the rows, then one report per row of every Adam7 pass,
// rising to 100.
TEST(PngGraphicTest, ReportsProgressPerRow) {
    for (const char* name : {"png_rgb8.png", "png_rgb8_adam7.png"}) {
        SCOPED_TRACE(name);
        TPNGGraphic graphic;
        std::vector<std::tuple<TPNGGraphic::TProgressStage, int, std::string>> reports;
        graphic.OnProgress = [&](TPNGGraphic::TProgressStage stage, int percent,
                                 const std::string& message) {
            reports.emplace_back(stage, percent, message);
        };
        graphic.LoadFromBytes(test::FixtureBytes(name));
        ASSERT_GE(reports.size(), 3u);
        EXPECT_EQ(reports.front(), std::make_tuple(TPNGGraphic::psStarting, 0,
                                                   std::string("Preparing...")));
        EXPECT_EQ(std::get<0>(reports.back()), TPNGGraphic::psEnding);
        int rows = 0, last = 0;
        for (const auto& [stage, percent, message] : reports) {
            if (stage != TPNGGraphic::psRunning)
                continue;
            ++rows;
            EXPECT_EQ(message, "Transfering...");
            EXPECT_GE(percent, last);
            last = percent;
        }
        EXPECT_EQ(last, 100);
        const bool interlaced = graphic.Info().Interlace != 0;
        int expected_rows = graphic.Height();
        if (interlaced) {
            // Rows of the seven passes of a picture at least 8 pixels wide.
            const int h = graphic.Height();
            expected_rows = (h + 7) / 8 * 2 + (h + 3) / 8 + (h + 3) / 4 + (h + 1) / 4 + (h + 1) / 2 +
                            h / 2;
        }
        EXPECT_EQ(rows, expected_rows);
    }
}

TEST(PngGraphicTest, IndexedWithoutTransparencyStaysOpaque) {
    EXPECT_EQ(Load("png_indexed8.png").PixelFormat(), pf24bit);
}

TEST(PngGraphicTest, BackgroundComesFromTheFileOrIsWhite) {
    EXPECT_EQ(Load("png_indexed8_bkgd.png").BackgroundColor(), RGBColor(255, 0, 0));
    EXPECT_EQ(Load("png_rgb8.png").BackgroundColor(), RGBColor(255, 255, 255));
}

TEST(PngGraphicTest, InfoReadsTheHeaderAndGamma) {
    const std::vector<std::uint8_t> file = test::FixtureBytes("png_rgba16_adam7.png");
    EXPECT_TRUE(IsPNG(file));
    const TPNGInfo info = ReadPNGInfo(file);
    EXPECT_EQ(info.Width, 13);
    EXPECT_EQ(info.Height, 11);
    EXPECT_EQ(info.BitDepth, 16);
    EXPECT_EQ(info.ColorType, 6);
    EXPECT_EQ(info.Interlace, 1);
    EXPECT_TRUE(info.HasAlpha);
    EXPECT_TRUE(info.HasGamma);
    EXPECT_DOUBLE_EQ(info.FileGamma, 0.45455);
    EXPECT_FALSE(ReadPNGInfo(test::FixtureBytes("png_rgb8.png")).HasGamma);
    EXPECT_FALSE(IsPNG(test::FixtureBytes("pil_24bit.bmp")));
}

// Pictures the decoder refuses --------------------------------------------------------------

struct TErrorCase {
    const char* file;
    const char* message;
};

const TErrorCase ErrorCases[] = {
    {"png_err_signature.png", "Cannot load image. Invalid or unexpected PNG image format."},
    {"png_err_first_chunk.png", "Cannot load image. Invalid or unexpected PNG image format."},
    {"png_err_zero_width.png", "Cannot load image. Invalid or unexpected PNG image format."},
    {"png_err_compression.png",
     "Cannot load image. The compression scheme is not supported for PNG files."},
    {"png_err_colour_depth.png", "Invalid color format in PNG file."},
    {"png_err_colour_type.png", "Invalid color format in PNG file."},
    {"png_err_filter_method.png",
     "Cannot load image. The filter method is not supported for PNG files."},
    {"png_err_interlace_method.png",
     "Cannot load image. The interlace method is not supported for PNG files."},
    {"png_err_palette.png", "Cannot load image. Palette in PNG file is invalid."},
    {"png_err_no_palette.png", "Cannot load image. Palette in PNG file is invalid."},
    {"png_err_crc.png", "Cannot load image. CRC error found in PNG file."},
    {"png_err_critical.png", "Cannot load PNG image. Unexpected but critical chunk detected."},
    {"png_err_inflate.png", "Cannot load image. Compression error found in PNG file."},
    {"png_err_short_stream.png", "Cannot load image. Extra compressed data found in PNG file."},
    {"png_err_extra_data.png", "Cannot load image. Extra compressed data found in PNG file."},
    {"png_err_after_end.png", "Cannot load image. Extra compressed data found in PNG file."},
    {"png_err_row_filter.png", "Cannot load image. Unknown row filter found in PNG file."},
    {"png_err_truncated.png", "Cannot load image. The PNG file ends before its last chunk."},
    {"png_err_no_image.png", "Cannot load image. The PNG file holds no image data."},
};

class PngErrorTest : public testing::TestWithParam<TErrorCase> {};

TEST_P(PngErrorTest, RefusesWithItsMessage) {
    TPNGGraphic graphic;
    // A picture loaded before is not kept half-replaced: a failed load leaves it empty.
    graphic.LoadFromBytes(test::FixtureBytes("png_rgb8.png"));
    ASSERT_FALSE(graphic.Empty());
    try {
        graphic.LoadFromBytes(test::FixtureBytes(GetParam().file));
        FAIL() << "decoded " << GetParam().file;
    } catch (const EInvalidGraphic& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
    EXPECT_TRUE(graphic.Empty());
    EXPECT_EQ(graphic.Info().Width, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, PngErrorTest, testing::ValuesIn(ErrorCases),
                         [](const testing::TestParamInfo<TErrorCase>& param) {
                             std::string name = param.param.file;
                             return name.substr(8, name.size() - 12); // png_err_ ... .png
                         });

TEST(PngGraphicTest, InfoRefusesWhatIsNoPNG) {
    EXPECT_THROW(ReadPNGInfo(test::FixtureBytes("png_err_signature.png")), EInvalidGraphic);
    EXPECT_THROW(ReadPNGInfo(std::vector<std::uint8_t>{}), EInvalidGraphic);
}

// The colour manager ------------------------------------------------------------------------

struct TConversionCase {
    const char* name;
    TColorManager::TColorScheme source;
    int bits;
    int samples;
    TColorManager::TColorScheme target;
    const char* message; // null: the conversion exists
};

const TConversionCase ConversionCases[] = {
    {"RGB8ToBGR", TColorManager::csRGB, 8, 3, TColorManager::csBGR, nullptr},
    {"Grey2ToBGRA", TColorManager::csG, 2, 1, TColorManager::csBGRA, nullptr},
    {"Indexed4ToIndexed", TColorManager::csIndexed, 4, 1, TColorManager::csIndexed, nullptr},
    {"ThreeBits", TColorManager::csRGB, 3, 3, TColorManager::csBGR,
     "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."},
    {"ThirtyTwoBits", TColorManager::csRGB, 32, 3, TColorManager::csBGR,
     "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."},
    {"RGBAWithThreeSamples", TColorManager::csRGBA, 8, 3, TColorManager::csBGRA,
     "Sample count per pixel does not correspond to the given color scheme."},
    {"GreyAlphaWithOneSample", TColorManager::csGA, 8, 1, TColorManager::csBGR,
     "Sample count per pixel does not correspond to the given color scheme."},
    {"RGBToIndexed", TColorManager::csRGB, 8, 3, TColorManager::csIndexed,
     "Conversion between indexed and non-indexed pixel formats is not supported."},
    {"Indexed16", TColorManager::csIndexed, 16, 1, TColorManager::csBGR,
     "Color conversion failed. Could not find a proper method."},
    {"RGB4", TColorManager::csRGB, 4, 3, TColorManager::csBGR,
     "Color conversion failed. Could not find a proper method."},
    {"RGBToRGBA", TColorManager::csRGB, 8, 3, TColorManager::csRGBA,
     "Color conversion failed. Could not find a proper method."},
};

class ColorManagerTest : public testing::TestWithParam<TConversionCase> {};

TEST_P(ColorManagerTest, ConfiguresOrRefuses) {
    const TConversionCase& c = GetParam();
    TColorManager manager;
    if (!c.message) {
        EXPECT_NO_THROW(manager.Configure(c.source, c.bits, c.samples, c.target));
        return;
    }
    try {
        manager.Configure(c.source, c.bits, c.samples, c.target);
        FAIL() << "configured";
    } catch (const EColorConversionError& error) {
        EXPECT_STREQ(error.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ColorManagerTest, testing::ValuesIn(ConversionCases),
                         [](const testing::TestParamInfo<TConversionCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(ColorManagerTest, ConvertsPackedIndicesAndGreys) {
    TColorManager manager;
    manager.Configure(TColorManager::csIndexed, 2, 1, TColorManager::csIndexed);
    const std::uint8_t packed[] = {0b00011011, 0b11000000};
    std::array<std::uint8_t, 5> indices{};
    manager.ConvertRow(packed, indices.data(), 5);
    EXPECT_EQ(indices, (std::array<std::uint8_t, 5>{0, 1, 2, 3, 3}));

    manager.Configure(TColorManager::csG, 2, 1, TColorManager::csBGR);
    std::array<std::uint8_t, 15> greys{};
    manager.ConvertRow(packed, greys.data(), 5);
    EXPECT_EQ(greys, (std::array<std::uint8_t, 15>{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255,
                                                   255, 255, 255, 255}));
}

// The skin loader's copy ----------------------------------------------------------------------

struct TWhiteCase {
    TColor colour;
    std::uint8_t alpha;
    TColor colour_after;
    std::uint8_t alpha_after;
};

const TWhiteCase WhiteCases[] = {
    {RGBColor(255, 255, 255), 255, RGBColor(0, 0, 0), 0},
    {RGBColor(255, 255, 255), 128, RGBColor(0, 0, 0), 0},
    {RGBColor(255, 255, 255), 0, RGBColor(0, 0, 0), 0},
    {RGBColor(255, 255, 254), 200, RGBColor(255, 255, 254), 200},
    {RGBColor(254, 255, 255), 255, RGBColor(254, 255, 255), 255},
    {RGBColor(10, 20, 30), 40, RGBColor(10, 20, 30), 40},
};

TEST(WhiteTransparentTest, PureWhiteBecomesClearWhateverItsAlpha) {
    TBitmap picture(int(std::size(WhiteCases)), 1, pf32bit);
    for (int x = 0; x < picture.Width(); ++x)
        picture.SetPixel(x, 0, WhiteCases[x].colour, WhiteCases[x].alpha);
    const TBitmap copy = CopyWithWhiteTransparent(picture);
    ASSERT_EQ(copy.PixelFormat(), pf32bit);
    for (int x = 0; x < copy.Width(); ++x) {
        EXPECT_EQ(copy.Pixel(x, 0), WhiteCases[x].colour_after) << x;
        EXPECT_EQ(copy.Alpha(x, 0), WhiteCases[x].alpha_after) << x;
    }
    // The picture itself is left as it was.
    EXPECT_EQ(picture.Alpha(0, 0), 255);
}

TEST(WhiteTransparentTest, TwentyFourBitPicturesBecomeOpaqueExceptWhite) {
    TBitmap picture(2, 1, pf24bit);
    picture.SetPixel(0, 0, RGBColor(255, 255, 255));
    picture.SetPixel(1, 0, RGBColor(1, 2, 3));
    const TBitmap copy = CopyWithWhiteTransparent(picture);
    EXPECT_EQ(copy.Alpha(0, 0), 0);
    EXPECT_EQ(copy.Pixel(0, 0), RGBColor(0, 0, 0));
    EXPECT_EQ(copy.Alpha(1, 0), 255);
    EXPECT_EQ(copy.Pixel(1, 0), RGBColor(1, 2, 3));
}

} // namespace
} // namespace kalvo
