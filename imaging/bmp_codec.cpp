#include "imaging/bmp_codec.h"

#include "imaging/graphic_error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kalvo {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t V4HeaderSize = 108;

constexpr std::uint32_t CompressionRGB = 0;
constexpr std::uint32_t CompressionRLE8 = 1;
constexpr std::uint32_t CompressionRLE4 = 2;
constexpr std::uint32_t CompressionBitFields = 3;
constexpr std::uint32_t CompressionAlphaBitFields = 6;

constexpr std::uint32_t PixelsPerMetreAt72Dpi = 2835;
constexpr std::uint32_t ColourSpaceSRGB = 0x73524742; // 'sRGB'

const std::string InvalidFormat = "Invalid or unexpected BMP image format.";
const std::string Truncated = "The BMP file is truncated.";

[[noreturn]] void Fail(const std::string& what) {
    throw EInvalidGraphic("Cannot load image. " + what);
}

// Little-endian fields; a field that does not fit in the file means the file was cut short.
std::uint32_t U16(std::span<const std::uint8_t> bytes, std::size_t pos) {
    if (pos > bytes.size() || bytes.size() - pos < 2)
        Fail(Truncated);
    return std::uint32_t(bytes[pos]) | std::uint32_t(bytes[pos + 1]) << 8;
}

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t pos) {
    if (pos > bytes.size() || bytes.size() - pos < 4)
        Fail(Truncated);
    return std::uint32_t(bytes[pos]) | std::uint32_t(bytes[pos + 1]) << 8 |
           std::uint32_t(bytes[pos + 2]) << 16 | std::uint32_t(bytes[pos + 3]) << 24;
}

void Put16(std::uint8_t* p, std::uint32_t value) {
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
}

bool Contiguous(std::uint32_t mask) {
    const std::uint64_t run = std::uint64_t(mask) >> std::countr_zero(mask);
    return mask == 0 || (run & (run + 1)) == 0;
}

// One channel of a bit-field pixel, widened or narrowed to 8 bits by scaling, so that the
// largest value of the field becomes 255.
class TField {
public:
    TField() = default;
    explicit TField(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), bits_(std::popcount(mask)) {
        if (bits_ > 0 && bits_ <= 8)
            for (std::uint32_t v = 0; v < (1u << bits_); ++v)
                table_[v] = Scale(v);
    }

    bool Present() const { return mask_ != 0; }

    std::uint8_t operator()(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & mask_) >> shift_;
        return bits_ <= 8 ? table_[v] : Scale(v);
    }

private:
    std::uint8_t Scale(std::uint32_t v) const {
        const std::uint64_t max = (std::uint64_t(1) << bits_) - 1;
        return std::uint8_t((std::uint64_t(v) * 255 + max / 2) / max);
    }

    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
    std::array<std::uint8_t, 256> table_{};
};

struct THeader {
    std::uint32_t header_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive; top_down tells the row order
    bool top_down = false;
    std::uint32_t bits = 0;
    std::uint32_t compression = CompressionRGB;
    std::uint32_t colours_used = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    bool alpha_declared = false;
    std::size_t table_pos = 0;   // first colour table entry
    std::size_t table_entry = 4; // bytes per colour table entry
    std::size_t pixel_pos = 0;
};

bool IsPaletted(const THeader& h) {
    return h.bits <= 8;
}
bool IsRLE(const THeader& h) {
    return h.compression == CompressionRLE8 || h.compression == CompressionRLE4;
}

void CheckBitDepth(const THeader& h) {
    bool ok = false;
    switch (h.compression) {
    case CompressionRGB:
        ok = h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 ||
             h.bits == 32;
        if (h.header_size == CoreHeaderSize)
            ok = ok && h.bits != 16 && h.bits != 32;
        break;
    case CompressionRLE8:
        ok = h.bits == 8;
        break;
    case CompressionRLE4:
        ok = h.bits == 4;
        break;
    case CompressionBitFields:
    case CompressionAlphaBitFields:
        ok = h.bits == 16 || h.bits == 32;
        break;
    default:
        Fail("Unsupported BMP compression (" + std::to_string(h.compression) + ").");
    }
    if (!ok)
        Fail("Unsupported BMP bit depth (" + std::to_string(h.bits) + ").");
}

// The colour masks of a 16- or 32-bit file, wherever they are: implied by the bit depth for
// plain files, inside headers of 52 bytes and more, or after a 40-byte header.
void ReadMasks(std::span<const std::uint8_t> file, THeader& h) {
    const std::size_t info = FileHeaderSize;
    const bool bit_fields =
        h.compression == CompressionBitFields || h.compression == CompressionAlphaBitFields;
    std::size_t after_header = 0; // mask bytes that follow the info header

    if (!bit_fields) {
        if (h.bits == 16)
            h.masks = {0x7C00, 0x03E0, 0x001F, 0};
        else
            h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
        // A version 3 header and later can say that the fourth byte of a plain 32-bit
        // pixel is alpha; then a picture whose alpha is zero everywhere is transparent.
        if (h.bits == 32 && h.header_size >= 56 && U32(file, info + 52) == 0xFF000000) {
            h.masks[3] = 0xFF000000;
            h.alpha_declared = true;
        }
    } else if (h.header_size > InfoHeaderSize) {
        const std::size_t count = h.header_size >= 56 ? 4 : 3;
        for (std::size_t i = 0; i < count; ++i)
            h.masks[i] = U32(file, info + 40 + 4 * i);
    } else {
        const std::size_t count = h.compression == CompressionAlphaBitFields ? 4 : 3;
        for (std::size_t i = 0; i < count; ++i)
            h.masks[i] = U32(file, info + 40 + 4 * i);
        after_header = 4 * count;
        // Some writers put an alpha mask after the three colour masks and say so only by
        // leaving room for it before the pixels. Take the fourth value as alpha when there
        // is that room, no colour table, and the value is a mask of bits no colour uses.
        if (count == 3 && h.bits == 32 && h.colours_used == 0 && h.pixel_pos >= info + 40 + 16 &&
            file.size() >= info + 40 + 16) {
            const std::uint32_t candidate = U32(file, info + 40 + 12);
            if (candidate != 0 && Contiguous(candidate) &&
                (candidate & (h.masks[0] | h.masks[1] | h.masks[2])) == 0) {
                h.masks[3] = candidate;
                after_header = 16;
            }
        }
    }
    h.table_pos = info + h.header_size + after_header;

    if (bit_fields) {
        const std::uint64_t pixel_bits = (std::uint64_t(1) << h.bits) - 1;
        for (const std::uint32_t mask : h.masks)
            if (!Contiguous(mask) || (mask & ~pixel_bits) != 0)
                Fail("The BMP colour masks are invalid.");
        h.alpha_declared = h.masks[3] != 0;
    }
}

THeader ReadHeader(std::span<const std::uint8_t> file) {
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M')
        Fail(InvalidFormat);
    THeader h;
    h.pixel_pos = U32(file, 10);
    h.header_size = U32(file, 14);
    const std::size_t info = FileHeaderSize;
    switch (h.header_size) {
    case CoreHeaderSize:
    case InfoHeaderSize:
    case 52:
    case 56:
    case V4HeaderSize:
    case 124:
        break;
    default:
        Fail(InvalidFormat);
    }
    if (file.size() - info < h.header_size)
        Fail(Truncated);

    if (h.header_size == CoreHeaderSize) {
        h.width = U16(file, info + 4);
        h.height = U16(file, info + 6);
        h.bits = U16(file, info + 10);
        h.table_entry = 3;
    } else {
        h.width = std::int32_t(U32(file, info + 4));
        const std::int64_t height = std::int32_t(U32(file, info + 8));
        h.top_down = height < 0;
        h.height = height < 0 ? -height : height;
        h.bits = U16(file, info + 14);
        h.compression = U32(file, info + 16);
        h.colours_used = U32(file, info + 32);
    }

    CheckBitDepth(h);
    if (h.width <= 0 || h.height <= 0)
        Fail("The BMP image size is invalid (" + std::to_string(h.width) + " x " +
             std::to_string(h.top_down ? -h.height : h.height) + ").");
    if (h.width * h.height > MaxBitmapPixels)
        Fail("The bitmap is too large (" + std::to_string(h.width) + " x " +
             std::to_string(h.height) + " pixels).");
    if (h.top_down && IsRLE(h))
        Fail("A compressed BMP image cannot be stored top-down.");

    h.table_pos = info + h.header_size;
    if (!IsPaletted(h))
        ReadMasks(file, h);
    if (h.pixel_pos > file.size())
        Fail("The BMP pixel data offset lies beyond the end of the file.");
    if (h.pixel_pos < h.table_pos)
        Fail(InvalidFormat);
    return h;
}

using TPalette = std::array<std::array<std::uint8_t, 3>, 256>; // B, G, R

// Entries the header declares (all 2^bits when it declares none), as far as the bytes
// between the headers and the pixels hold them. Entries that are missing stay black.
TPalette ReadPalette(std::span<const std::uint8_t> file, const THeader& h) {
    TPalette palette{};
    const std::uint64_t possible = std::uint64_t(1) << h.bits;
    std::uint64_t count =
        h.colours_used != 0 ? std::min<std::uint64_t>(h.colours_used, possible) : possible;
    count = std::min<std::uint64_t>(count, (h.pixel_pos - h.table_pos) / h.table_entry);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = file.data() + h.table_pos + i * h.table_entry;
        palette[i] = {entry[0], entry[1], entry[2]};
    }
    return palette;
}

void PutIndexed(std::uint8_t* dst, const TPalette& palette, unsigned index) {
    dst[0] = palette[index][0];
    dst[1] = palette[index][1];
    dst[2] = palette[index][2];
}

void ReadUncompressed(std::span<const std::uint8_t> file, const THeader& h, TBitmap& bitmap) {
    const std::uint64_t row_bits = std::uint64_t(h.width) * h.bits;
    const std::uint64_t row_bytes = (row_bits + 31) / 32 * 4;
    // The last row may lack its padding; its pixels must be there.
    const std::uint64_t needed = row_bytes * std::uint64_t(h.height - 1) + (row_bits + 7) / 8;
    if (file.size() - h.pixel_pos < needed)
        Fail(Truncated);

    const TPalette palette = IsPaletted(h) ? ReadPalette(file, h) : TPalette{};
    const TField red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
    // Without a declared alpha mask, a 32-bit pixel's top byte may still be alpha if no
    // colour uses it; it is taken as such unless it is zero all over the picture.
    const std::uint32_t colour_bits = h.masks[0] | h.masks[1] | h.masks[2];
    const bool implicit_alpha = h.bits == 32 && !h.alpha_declared && (colour_bits >> 24) == 0;
    const TField alpha(h.alpha_declared ? h.masks[3] : implicit_alpha ? 0xFF000000 : 0);
    bool any_alpha = false;
    // The common layout, bytes B, G, R, A in memory, needs no unpacking.
    const bool plain_bgra = h.bits == 32 && h.masks[0] == 0x00FF0000 && h.masks[1] == 0x0000FF00 &&
                            h.masks[2] == 0x000000FF &&
                            (h.alpha_declared ? h.masks[3] == 0xFF000000 : implicit_alpha);

    const int width = int(h.width);
    for (std::int64_t r = 0; r < h.height; ++r) {
        const std::uint8_t* src = file.data() + h.pixel_pos + std::size_t(r) * row_bytes;
        std::uint8_t* dst = bitmap.ScanLine(int(h.top_down ? r : h.height - 1 - r));
        switch (h.bits) {
        case 1:
            for (int x = 0; x < width; ++x, dst += 3)
                PutIndexed(dst, palette, (src[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (int x = 0; x < width; ++x, dst += 3)
                PutIndexed(dst, palette, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
            break;
        case 8:
            for (int x = 0; x < width; ++x, dst += 3)
                PutIndexed(dst, palette, src[x]);
            break;
        case 24:
            std::memcpy(dst, src, std::size_t(width) * 3);
            break;
        case 16:
            for (int x = 0; x < width; ++x, src += 2, dst += 3) {
                const std::uint32_t pixel = std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8;
                dst[0] = blue(pixel);
                dst[1] = green(pixel);
                dst[2] = red(pixel);
            }
            break;
        case 32:
            if (plain_bgra) {
                std::memcpy(dst, src, std::size_t(width) * 4);
                for (int x = 0; x < width && !any_alpha; ++x)
                    any_alpha = dst[4 * x + 3] != 0;
                break;
            }
            for (int x = 0; x < width; ++x, src += 4, dst += 4) {
                const std::uint32_t pixel = std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 |
                                            std::uint32_t(src[2]) << 16 |
                                            std::uint32_t(src[3]) << 24;
                dst[0] = blue(pixel);
                dst[1] = green(pixel);
                dst[2] = red(pixel);
                dst[3] = alpha.Present() ? alpha(pixel) : 255;
                any_alpha = any_alpha || dst[3] != 0;
            }
            break;
        }
    }

    if (implicit_alpha && !any_alpha)
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < width; ++x)
                bitmap.ScanLine(y)[4 * x + 3] = 255;
}

// Run-length data, always bottom-up. Pixels that fall outside the picture (some writers
// run every row out to a whole number of bytes or words) are dropped, not wrapped to the
// next row. Data that ends in the middle of an instruction, or ends without the
// end-of-bitmap marker before the last row is done, makes the file invalid. Pixels the data
// skips (by delta, end of line or an early end of bitmap) stay black.
void ReadRLE(std::span<const std::uint8_t> file, const THeader& h, TBitmap& bitmap) {
    const TPalette palette = ReadPalette(file, h);
    const bool four_bits = h.compression == CompressionRLE4;
    const std::uint8_t* p = file.data() + h.pixel_pos;
    const std::uint8_t* const end = file.data() + file.size();
    std::int64_t x = 0;
    std::int64_t y = 0; // counted from the bottom row

    const auto put = [&](unsigned index) {
        if (x < h.width && y < h.height)
            PutIndexed(bitmap.ScanLine(int(h.height - 1 - y)) + 3 * x, palette, index);
        ++x;
    };

    for (;;) {
        if (end - p < 2) {
            if (end == p && (y >= h.height || (y == h.height - 1 && x >= h.width)))
                return;
            Fail(Truncated);
        }
        const unsigned count = p[0];
        const unsigned value = p[1];
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(four_bits ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return;
        case 2: // delta: move right and up
            if (end - p < 2)
                Fail(Truncated);
            x += p[0];
            y += p[1];
            p += 2;
            break;
        default: { // absolute: `value` pixels follow, padded to a whole number of words
            const std::ptrdiff_t bytes = four_bits ? (value + 1) / 2 : value;
            if (end - p < bytes)
                Fail(Truncated);
            for (unsigned i = 0; i < value; ++i)
                put(four_bits ? ((i & 1) ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
            p += std::min<std::ptrdiff_t>(end - p, (bytes + 1) & ~std::ptrdiff_t(1));
            break;
        }
        }
    }
}

} // namespace

TBitmap ReadBMP(std::span<const std::uint8_t> file) {
    const THeader h = ReadHeader(file);
    TBitmap bitmap(int(h.width), int(h.height), h.bits == 32 ? pf32bit : pf24bit);
    if (IsRLE(h))
        ReadRLE(file, h, bitmap);
    else
        ReadUncompressed(file, h, bitmap);
    return bitmap;
}

std::vector<std::uint8_t> WriteBMP(const TBitmap& bitmap) {
    if (bitmap.Empty())
        throw std::invalid_argument("an empty bitmap cannot be written as BMP");
    const bool alpha = bitmap.PixelFormat() == pf32bit;
    const std::uint32_t header_size = alpha ? V4HeaderSize : InfoHeaderSize;
    const std::size_t offset = FileHeaderSize + header_size;
    const std::size_t row_bytes = RowBytes(bitmap.Width(), bitmap.PixelFormat());
    const std::size_t image_size = row_bytes * std::size_t(bitmap.Height());
    std::vector<std::uint8_t> out(offset + image_size);

    std::uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, std::uint32_t(out.size()));
    Put32(p + 10, std::uint32_t(offset));
    std::uint8_t* info = p + FileHeaderSize;
    Put32(info, header_size);
    Put32(info + 4, std::uint32_t(bitmap.Width()));
    Put32(info + 8, std::uint32_t(bitmap.Height())); // positive: bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, alpha ? 32 : 24);
    Put32(info + 16, alpha ? CompressionBitFields : CompressionRGB);
    Put32(info + 20, std::uint32_t(image_size));
    Put32(info + 24, PixelsPerMetreAt72Dpi);
    Put32(info + 28, PixelsPerMetreAt72Dpi);
    if (alpha) {
        Put32(info + 40, 0x00FF0000);
        Put32(info + 44, 0x0000FF00);
        Put32(info + 48, 0x000000FF);
        Put32(info + 52, 0xFF000000);
        Put32(info + 56, ColourSpaceSRGB);
    }

    const std::size_t pixel_bytes = std::size_t(bitmap.Width()) * bitmap.BytesPerPixel();
    for (int r = 0; r < bitmap.Height(); ++r)
        std::memcpy(p + offset + std::size_t(r) * row_bytes,
                    bitmap.ScanLine(bitmap.Height() - 1 - r), pixel_bytes);
    return out;
}

} // namespace kalvo
