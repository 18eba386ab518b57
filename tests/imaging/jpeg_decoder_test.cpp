#include "imaging/graphic_error.h"
#include "imaging/jpeg_decoder.h"
#include "tests/support/fixtures.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kalvo {
namespace {

// The fixtures are ImageMagick's encodings of four flat 16x8 blocks (make_fixtures.sh); the
// expected colours are the block colours, the grey ones as ImageMagick itself decodes them.
// Pixels within two of a block edge are left out: chroma subsampling blends across edges.
struct JpegCase {
    const char* file;
    TColor blocks[4]; // top-left, top-right, bottom-left, bottom-right
    int tolerance;
};

const JpegCase JpegCases[] = {
    {"blocks.jpg",
     {RGBColor(220, 40, 40), RGBColor(40, 180, 60), RGBColor(40, 60, 200), RGBColor(221, 235, 248)},
     4},
    {"blocks-progressive.jpg",
     {RGBColor(220, 40, 40), RGBColor(40, 180, 60), RGBColor(40, 60, 200), RGBColor(221, 235, 248)},
     6},
    {"blocks-grey.jpg",
     {RGBColor(78, 78, 78), RGBColor(142, 142, 142), RGBColor(66, 66, 66), RGBColor(233, 233, 233)},
     3},
    {"blocks-cmyk.jpg",
     {RGBColor(220, 40, 40), RGBColor(40, 180, 60), RGBColor(40, 60, 200), RGBColor(221, 235, 248)},
     6},
};

class JpegDecodeTest : public testing::TestWithParam<JpegCase> {};

TEST_P(JpegDecodeTest, DecodesEveryPixelCloseToTheBlockColour) {
    const JpegCase& c = GetParam();
    const std::vector<std::uint8_t> file = test::FixtureBytes(c.file);

    const TJPEGInfo info = ReadJPEGInfo(file);
    EXPECT_EQ(info.Width, 32);
    EXPECT_EQ(info.Height, 16);

    const TBitmap bitmap = DecodeJPEG(file);
    ASSERT_EQ(bitmap.Width(), 32);
    ASSERT_EQ(bitmap.Height(), 16);
    ASSERT_EQ(bitmap.PixelFormat(), pf24bit);
    int worst = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            if (y % 8 < 2 || y % 8 > 5 || x % 16 < 2 || x % 16 > 13)
                continue;
            const TColor want = c.blocks[(y / 8) * 2 + x / 16];
            const TColor got = bitmap.Pixel(x, y);
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(
                    worst, std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)));
        }
    EXPECT_LE(worst, c.tolerance) << c.file;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JpegDecodeTest, testing::ValuesIn(JpegCases),
                         [](const auto& test_case) {
                             std::string name = test_case.param.file;
                             name = name.substr(0, name.find('.'));
                             for (char& ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });

// Damaged files must end in EInvalidGraphic: never an exit, a crash or a grey picture.
TEST(JpegDecodeTest, DamagedFilesRaiseInvalidGraphic) {
    const std::vector<std::uint8_t> good = test::FixtureBytes("blocks.jpg");
    struct Damage {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Damage> damages = {
        {"empty", {}},
        {"not a JPEG", {'B', 'M', 0, 0, 0, 0, 1, 2, 3, 4}},
        {"only the start marker", {0xFF, 0xD8}},
        {"cut in the header", {good.begin(), good.begin() + 40}},
        {"cut in the picture data", {good.begin(), good.end() - 60}},
    };
    // The entropy-coded data overwritten with markers that cannot appear there.
    std::vector<std::uint8_t> scrambled = good;
    for (std::size_t i = scrambled.size() - 80; i + 2 < scrambled.size(); i += 2) {
        scrambled[i] = 0xFF;
        scrambled[i + 1] = 0xC0;
    }
    damages.push_back({"markers inside the scan", scrambled});
    // The frame header's width set to zero.
    std::vector<std::uint8_t> zero_width = good;
    for (std::size_t i = 2; i + 8 < zero_width.size(); ++i)
        if (zero_width[i] == 0xFF && zero_width[i + 1] == 0xC0) {
            zero_width[i + 7] = 0;
            zero_width[i + 8] = 0;
            break;
        }
    damages.push_back({"zero width", zero_width});

    for (const Damage& damage : damages) {
        EXPECT_THROW(DecodeJPEG(damage.bytes), EInvalidGraphic) << damage.what;
    }
    EXPECT_THROW(ReadJPEGInfo(std::vector<std::uint8_t>{}), EInvalidGraphic);
}

TEST(JpegDecodeTest, ErrorMessageCarriesLibjpegsReason) {
    try {
        DecodeJPEG(std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0});
        FAIL() << "no error";
    } catch (const EInvalidGraphic& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("JPEG"), std::string::npos) << message;
        EXPECT_GT(message.size(), std::string("Cannot load JPEG image: ").size()) << message;
    }
}

} // namespace
} // namespace kalvo
