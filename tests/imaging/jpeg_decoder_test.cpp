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

// Where the entropy-coded data of the scan starts: right after the start-of-scan segment.
std::size_t ScanDataStart(const std::vector<std::uint8_t>& file) {
    for (std::size_t i = 2; i + 3 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA)
            return i + 2 + (std::size_t(file[i + 2]) << 8 | file[i + 3]);
    ADD_FAILURE() << "no start of scan";
    return file.size();
}

// The position of the frame header's height field.
std::size_t FrameHeightAt(const std::vector<std::uint8_t>& file) {
    for (std::size_t i = 2; i + 8 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0)
            return i + 5;
    ADD_FAILURE() << "no baseline frame header";
    return 0;
}

// Damaged files end in EInvalidGraphic naming the fault: never an exit, a crash or a
// picture with grey where the data was missing.
TEST(JpegDecodeTest, DamagedFilesRaiseInvalidGraphic) {
    const std::vector<std::uint8_t> good = test::FixtureBytes("blocks.jpg");
    const std::size_t scan = ScanDataStart(good);
    ASSERT_LT(scan + 8, good.size() - 2);
    struct Damage {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* reason; // part of libjpeg's message
    };
    std::vector<Damage> damages = {
        {"empty", {}, "empty"},
        {"not a JPEG", {'B', 'M', 0, 0, 0, 0, 1, 2, 3, 4}, "Not a JPEG file"},
        {"only the start marker", {0xFF, 0xD8}, "no image"},
        {"cut in the headers", {good.begin(), good.begin() + 40}, ""},
        {"cut in the scan", {good.begin(), good.begin() + long(scan) + 4}, "Corrupt JPEG data"},
    };
    // The end marker in the middle of the scan.
    std::vector<std::uint8_t> marker = good;
    marker[scan + 4] = 0xFF;
    marker[scan + 5] = 0xD9;
    damages.push_back({"marker inside the scan", marker, "Corrupt JPEG data"});
    // The frame claims more rows than the scan holds.
    std::vector<std::uint8_t> taller = good;
    taller[FrameHeightAt(good) + 1] = 64;
    damages.push_back({"frame taller than the scan", taller, "Corrupt JPEG data"});
    // The frame header's width set to zero.
    std::vector<std::uint8_t> zero_width = good;
    zero_width[FrameHeightAt(good) + 2] = 0;
    zero_width[FrameHeightAt(good) + 3] = 0;
    damages.push_back({"zero width", zero_width, ""});

    for (const Damage& damage : damages) {
        try {
            DecodeJPEG(damage.bytes);
            ADD_FAILURE() << damage.what << ": decoded";
        } catch (const EInvalidGraphic& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("Cannot load JPEG image: ", 0), 0u) << message;
            EXPECT_NE(message.find(damage.reason), std::string::npos)
                << damage.what << ": " << message;
        }
    }
    EXPECT_THROW(ReadJPEGInfo(std::vector<std::uint8_t>{}), EInvalidGraphic);
}

// Every row is in the file; only the end marker is missing. That is not damage.
TEST(JpegDecodeTest, MissingEndMarkerAfterTheLastRowIsAccepted) {
    const std::vector<std::uint8_t> good = test::FixtureBytes("blocks.jpg");
    ASSERT_EQ(good[good.size() - 2], 0xFF);
    ASSERT_EQ(good[good.size() - 1], 0xD9);
    const std::vector<std::uint8_t> cut(good.begin(), good.end() - 2);
    EXPECT_TRUE(SamePixels(DecodeJPEG(cut), DecodeJPEG(good)));
}

} // namespace
} // namespace kalvo
