#include "imaging/png_writer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace kalvo {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
           std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

struct Parsed {
    std::vector<std::string> chunks;
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> rows; // inflated image data
};

// Walks the chunks, checking every CRC, and inflates the image data.
Parsed Parse(const std::vector<std::uint8_t>& png) {
    Parsed parsed;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(png.size() > 8 && std::equal(signature, signature + 8, png.begin()));
    std::vector<std::uint8_t> compressed;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = U32(png, at);
        const std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
        EXPECT_LE(at + 12 + length, png.size());
        const uLong crc = crc32(crc32(0, Z_NULL, 0), png.data() + at + 4, uInt(length + 4));
        EXPECT_EQ(U32(png, at + 8 + length), std::uint32_t(crc)) << type;
        const auto data = png.begin() + long(at) + 8;
        if (type == "IHDR")
            parsed.header.assign(data, data + length);
        if (type == "IDAT")
            compressed.insert(compressed.end(), data, data + length);
        parsed.chunks.push_back(type);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    parsed.rows.resize(1 << 16);
    uLongf size = uLongf(parsed.rows.size());
    EXPECT_EQ(uncompress(parsed.rows.data(), &size, compressed.data(), uLong(compressed.size())),
              Z_OK);
    parsed.rows.resize(size);
    return parsed;
}

TEST(PngWriterTest, WritesRowsTopDownAsRGBWithOrWithoutAlpha) {
    for (const TPixelFormat format : {pf24bit, pf32bit}) {
        // Bottom-up storage, so that the writer must follow ScanLine and not memory order.
        TBitmap bitmap(3, 2, format, roBottomUp);
        bitmap.SetPixel(0, 0, RGBColor(1, 2, 3), 4);
        bitmap.SetPixel(2, 1, RGBColor(250, 251, 252), 253);
        const Parsed png = Parse(EncodePNG(bitmap));

        EXPECT_EQ(png.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        ASSERT_EQ(png.header.size(), 13u);
        EXPECT_EQ(U32(png.header, 0), 3u);
        EXPECT_EQ(U32(png.header, 4), 2u);
        EXPECT_EQ(png.header[8], 8);
        const int channels = format == pf32bit ? 4 : 3;
        EXPECT_EQ(png.header[9], format == pf32bit ? 6 : 2);

        const std::size_t row = 1 + 3 * std::size_t(channels);
        ASSERT_EQ(png.rows.size(), 2 * row);
        std::vector<std::uint8_t> first(png.rows.begin() + 1, png.rows.begin() + 1 + channels);
        std::vector<std::uint8_t> last(png.rows.end() - channels, png.rows.end());
        EXPECT_EQ(png.rows[0], 0) << "filter type";
        if (format == pf32bit) {
            EXPECT_EQ(first, (std::vector<std::uint8_t>{1, 2, 3, 4}));
            EXPECT_EQ(last, (std::vector<std::uint8_t>{250, 251, 252, 253}));
        } else {
            EXPECT_EQ(first, (std::vector<std::uint8_t>{1, 2, 3}));
            EXPECT_EQ(last, (std::vector<std::uint8_t>{250, 251, 252}));
        }
    }
}

TEST(PngWriterTest, RefusesAnEmptyPicture) {
    EXPECT_THROW(EncodePNG(TBitmap()), std::invalid_argument);
}

} // namespace
} // namespace kalvo
