#include "imaging/png_writer.h"

#include <stdexcept>
#include <string_view>
#include <zlib.h>

namespace kalvo {

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    PutU32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, Z_NULL, 0);
    crc = crc32(crc, out.data() + start, uInt(out.size() - start));
    PutU32(out, std::uint32_t(crc));
}

} // namespace

std::vector<std::uint8_t> EncodePNG(const TBitmap& bitmap) {
    if (bitmap.Empty())
        throw std::invalid_argument("cannot write an empty picture as PNG");
    const bool alpha = bitmap.PixelFormat() == pf32bit;
    const int bpp = bitmap.BytesPerPixel();

    // Rows as PNG wants them: a filter byte (0, none), then R, G, B (, A).
    std::vector<std::uint8_t> raw;
    raw.reserve((std::size_t(bitmap.Width()) * std::size_t(bpp) + 1) *
                std::size_t(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y) {
        raw.push_back(0);
        const std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += bpp) {
            raw.push_back(p[2]);
            raw.push_back(p[1]);
            raw.push_back(p[0]);
            if (alpha)
                raw.push_back(p[3]);
        }
    }
    uLongf packed_size = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), uLong(raw.size()), 6) != Z_OK)
        throw std::runtime_error("PNG: compression failed");
    packed.resize(packed_size);

    std::vector<std::uint8_t> header;
    PutU32(header, std::uint32_t(bitmap.Width()));
    PutU32(header, std::uint32_t(bitmap.Height()));
    header.push_back(8);             // bits per sample
    header.push_back(alpha ? 6 : 2); // truecolour, with or without alpha
    header.push_back(0);             // deflate
    header.push_back(0);             // adaptive filtering
    header.push_back(0);             // not interlaced

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace kalvo
