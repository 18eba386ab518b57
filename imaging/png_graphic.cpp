#include "imaging/png_graphic.h"

#include "imaging/graphic_error.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <zlib.h>

namespace kalvo {

namespace {

constexpr std::array<std::uint8_t, 8> Signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr double DisplayGamma = 2.2;

enum TColorType { ctGrey = 0, ctRGB = 2, ctIndexed = 3, ctGreyAlpha = 4, ctRGBA = 6 };

[[noreturn]] void Fail(const std::string& message) {
    throw EInvalidGraphic(message);
}
[[noreturn]] void FailFormat() {
    Fail("Cannot load image. Invalid or unexpected PNG image format.");
}
[[noreturn]] void FailNotSupported(const std::string& what) {
    Fail("Cannot load image. " + what + " not supported for PNG files.");
}
[[noreturn]] void FailCRC() {
    Fail("Cannot load image. CRC error found in PNG file.");
}
[[noreturn]] void FailPalette() {
    Fail("Cannot load image. Palette in PNG file is invalid.");
}
[[noreturn]] void FailCompression() {
    Fail("Cannot load image. Compression error found in PNG file.");
}
[[noreturn]] void FailExtraData() {
    Fail("Cannot load image. Extra compressed data found in PNG file.");
}
[[noreturn]] void FailTruncated() {
    Fail("Cannot load image. The PNG file ends before its last chunk.");
}
[[noreturn]] void FailColor(const std::string& message) {
    throw EColorConversionError(message);
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}
unsigned BigEndian16(const std::uint8_t* p) {
    return unsigned(p[0]) << 8 | unsigned(p[1]);
}

// A 16-bit sample reduced to 8 bits, rounding down.
std::uint8_t Reduce16(unsigned value) {
    return std::uint8_t(value * 255u / 65535u);
}

// A sample of 1, 2, 4, 8 or 16 bits as an 8-bit level: the largest value becomes 255.
std::uint8_t ScaleSample(unsigned value, int bits) {
    if (bits == 16)
        return Reduce16(value);
    return std::uint8_t(value * 255u / ((1u << bits) - 1u));
}

using TChunkType = std::array<std::uint8_t, 4>;

// Chunk types are compared without regard to letter case.
bool IsType(const TChunkType& type, const char (&name)[5]) {
    for (int i = 0; i < 4; ++i)
        if ((type[i] & ~0x20u) != (std::uint8_t(name[i]) & ~0x20u))
            return false;
    return true;
}

// Critical chunks have bit 5 of their first byte clear (an upper-case first letter).
bool IsCritical(const TChunkType& type) {
    return (type[0] & 0x20) == 0;
}

struct TChunk {
    TChunkType type{};
    std::span<const std::uint8_t> data;
};

// Walks the chunks of a file in order. Every chunk handed out was read whole and its CRC
// (over type and data) matched.
class TChunkReader {
public:
    explicit TChunkReader(std::span<const std::uint8_t> file, std::size_t pos)
        : file_(file), pos_(pos) {}

    bool AtEnd() const { return pos_ >= file_.size(); }

    // The type of the next chunk, when at least its header is there.
    bool PeekType(TChunkType& type) const {
        if (file_.size() - pos_ < 8)
            return false;
        std::memcpy(type.data(), file_.data() + pos_ + 4, 4);
        return true;
    }

    TChunk Next() {
        if (file_.size() - pos_ < 8)
            FailTruncated();
        const std::uint32_t length = BigEndian32(file_.data() + pos_);
        if (length > 0x7FFFFFFFu)
            FailFormat();
        if (file_.size() - pos_ - 8 < std::size_t(length) + 4)
            FailTruncated();
        TChunk chunk;
        std::memcpy(chunk.type.data(), file_.data() + pos_ + 4, 4);
        chunk.data = file_.subspan(pos_ + 8, length);
        const std::uint8_t* crc_at = file_.data() + pos_ + 8 + length;
        uLong crc = crc32(0, Z_NULL, 0);
        crc = crc32(crc, file_.data() + pos_ + 4, uInt(length + 4));
        if (std::uint32_t(crc) != BigEndian32(crc_at))
            FailCRC();
        pos_ += std::size_t(length) + 12;
        return chunk;
    }

private:
    std::span<const std::uint8_t> file_;
    std::size_t pos_;
};

// zlib's inflate over the data of consecutive IDAT chunks; the state is released however
// decoding ends.
class TLZ77Decoder {
public:
    TLZ77Decoder() {
        if (inflateInit(&stream_) != Z_OK)
            throw EGraphicCompression("LZ77 decompression error.");
        started_ = true;
    }
    ~TLZ77Decoder() {
        if (started_)
            inflateEnd(&stream_);
    }
    TLZ77Decoder(const TLZ77Decoder&) = delete;
    TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

    void Finish() {
        started_ = false;
        if (inflateEnd(&stream_) != Z_OK)
            throw EGraphicCompression("LZ77 decompression error.");
    }

    void SetInput(std::span<const std::uint8_t> data) {
        stream_.next_in = const_cast<Bytef*>(data.data());
        stream_.avail_in = uInt(data.size());
    }
    bool HasInput() const { return stream_.avail_in > 0; }
    bool Ended() const { return ended_; }

    // Inflates into `out`; returns the bytes written. Stops early only when the input runs
    // out or the stream ends.
    std::size_t Inflate(std::uint8_t* out, std::size_t size) {
        stream_.next_out = out;
        stream_.avail_out = uInt(size);
        while (stream_.avail_out > 0 && stream_.avail_in > 0 && !ended_) {
            const int result = inflate(&stream_, Z_NO_FLUSH);
            if (result == Z_STREAM_END)
                ended_ = true;
            else if (result != Z_OK)
                FailCompression();
        }
        return size - stream_.avail_out;
    }

private:
    z_stream stream_{};
    bool started_ = false;
    bool ended_ = false;
};

struct THeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bit_depth = 0;
    int color_type = 0;
    int compression = 0;
    int filter = 0;
    int interlace = 0;
};

bool ValidFormat(int color_type, int bits) {
    switch (color_type) {
    case ctGrey:
        return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    case ctIndexed:
        return bits == 1 || bits == 2 || bits == 4 || bits == 8;
    case ctRGB:
    case ctGreyAlpha:
    case ctRGBA:
        return bits == 8 || bits == 16;
    default:
        return false;
    }
}

int SamplesPerPixel(int color_type) {
    switch (color_type) {
    case ctRGB:
        return 3;
    case ctGreyAlpha:
        return 2;
    case ctRGBA:
        return 4;
    default:
        return 1;
    }
}

// The signature and the header chunk; returns where the next chunk starts.
std::size_t ReadHeader(std::span<const std::uint8_t> file, THeader& h) {
    if (!IsPNG(file) || file.size() < 8 + 8 + 13 + 4)
        FailFormat();
    const std::uint8_t* ihdr = file.data() + 8;
    const TChunkType type = {ihdr[4], ihdr[5], ihdr[6], ihdr[7]};
    if (!IsType(type, "IHDR") || BigEndian32(ihdr) != 13)
        FailFormat();
    TChunkReader reader(file, 8);
    const TChunk chunk = reader.Next();
    const std::uint8_t* d = chunk.data.data();
    h.width = BigEndian32(d);
    h.height = BigEndian32(d + 4);
    h.bit_depth = d[8];
    h.color_type = d[9];
    h.compression = d[10];
    h.filter = d[11];
    h.interlace = d[12];
    if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFFu || h.height > 0x7FFFFFFFu)
        FailFormat();
    if (h.compression != 0)
        FailNotSupported("The compression scheme is");
    if (!ValidFormat(h.color_type, h.bit_depth))
        Fail("Invalid color format in PNG file.");
    if (h.filter != 0)
        FailNotSupported("The filter method is");
    if (h.interlace > 1)
        FailNotSupported("The interlace method is");
    if (std::int64_t(h.width) * std::int64_t(h.height) > MaxBitmapPixels)
        Fail("Cannot load image. The PNG image is too large (" + std::to_string(h.width) + " x " +
             std::to_string(h.height) + " pixels).");
    return 8 + 8 + 13 + 4;
}

TPNGInfo InfoOf(const THeader& h) {
    TPNGInfo info;
    info.Width = int(h.width);
    info.Height = int(h.height);
    info.BitDepth = h.bit_depth;
    info.ColorType = h.color_type;
    info.Compression = h.compression;
    info.FilterMethod = h.filter;
    info.Interlace = h.interlace;
    info.HasAlpha = h.color_type == ctGreyAlpha || h.color_type == ctRGBA;
    return info;
}

// A gAMA value; zero (which has no meaning) and chunks of the wrong size are ignored.
bool ReadGamma(const TChunk& chunk, TPNGInfo& info) {
    if (chunk.data.size() != 4 || BigEndian32(chunk.data.data()) == 0)
        return false;
    info.HasGamma = true;
    info.FileGamma = BigEndian32(chunk.data.data()) / 100000.0;
    return true;
}

std::array<std::uint8_t, 256> GammaTable(double file_gamma) {
    std::array<std::uint8_t, 256> table{};
    const double exponent = 1.0 / (file_gamma * DisplayGamma);
    for (int i = 0; i < 256; ++i) {
        const double value = std::nearbyint(255.0 * std::pow(i / 255.0, exponent));
        table[std::size_t(i)] = std::uint8_t(std::clamp(value, 0.0, 255.0));
    }
    return table;
}

// Undoes one row's filter in place. `bpp` is the bytes of one complete pixel (at least 1).
void Unfilter(int filter, std::uint8_t* row, const std::uint8_t* prior, std::size_t size,
              std::size_t bpp) {
    switch (filter) {
    case 0:
        break;
    case 1:
        for (std::size_t i = bpp; i < size; ++i)
            row[i] = std::uint8_t(row[i] + row[i - bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < size; ++i)
            row[i] = std::uint8_t(row[i] + prior[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < std::min(bpp, size); ++i)
            row[i] = std::uint8_t(row[i] + (prior[i] >> 1));
        for (std::size_t i = bpp; i < size; ++i)
            row[i] = std::uint8_t(row[i] + ((unsigned(row[i - bpp]) + prior[i]) >> 1));
        break;
    case 4:
        for (std::size_t i = 0; i < std::min(bpp, size); ++i)
            row[i] = std::uint8_t(row[i] + prior[i]);
        for (std::size_t i = bpp; i < size; ++i) {
            const int a = row[i - bpp], b = prior[i], c = prior[i - bpp];
            const int p = b - c, q = a - c;
            const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
            const int predictor = (pa <= pb && pa <= pc) ? a : pb <= pc ? b : c;
            row[i] = std::uint8_t(row[i] + predictor);
        }
        break;
    default:
        Fail("Cannot load image. Unknown row filter found in PNG file.");
    }
}

struct TPass {
    int x0, y0, dx, dy;
};
constexpr std::array<TPass, 7> Adam7 = {{{0, 0, 8, 8},
                                         {4, 0, 8, 8},
                                         {0, 4, 4, 8},
                                         {2, 0, 4, 4},
                                         {0, 2, 2, 4},
                                         {1, 0, 2, 2},
                                         {0, 1, 1, 2}}};

// What the chunks before and between the image data said.
struct TAncillary {
    std::array<std::array<std::uint8_t, 3>, 256> palette{}; // B, G, R
    int palette_size = -1;                                  // -1: no PLTE
    std::array<std::uint8_t, 256> alphas{};
    bool palette_alpha = false; // a tRNS entry below 255
    bool has_key = false;
    std::array<unsigned, 3> key{}; // grey, or R, G, B, as stored
    bool has_background = false;
    std::array<unsigned, 3> background{};
};

// Decodes the rows of the image data into a bitmap, pulling IDAT chunks from the reader as
// the inflater asks for them.
class TImageDecoder {
public:
    TImageDecoder(const THeader& h, const TAncillary& a, const TPNGInfo& info, TChunkReader& reader,
                  TBitmap& bitmap, const TPNGGraphic::TProgressEvent& progress)
        : h_(h), reader_(reader), bitmap_(bitmap), progress_(progress) {
        using TScheme = TColorManager::TColorScheme;
        static constexpr TScheme Schemes[] = {
            TColorManager::csG,  TColorManager::csG, TColorManager::csRGB, TColorManager::csIndexed,
            TColorManager::csGA, TColorManager::csG, TColorManager::csRGBA};
        colors_.Configure(Schemes[h.color_type], h.bit_depth, SamplesPerPixel(h.color_type),
                          bitmap.PixelFormat() == pf32bit ? TColorManager::csBGRA
                                                          : TColorManager::csBGR);
        colors_.SetPalette(&a.palette, &a.alphas);
        if (info.HasGamma) {
            gamma_ = GammaTable(info.FileGamma);
            colors_.SetGamma(&gamma_);
        }
        bits_per_pixel_ = std::size_t(h.bit_depth) * std::size_t(SamplesPerPixel(h.color_type));
        bpp_ = std::max<std::size_t>(1, bits_per_pixel_ / 8);
    }

    // Decodes every row; `first` is the first IDAT chunk.
    void Run(const TChunk& first) {
        if (progress_)
            progress_(TPNGGraphic::psStarting, 0, "Preparing...");
        inflater_.SetInput(first.data);
        if (h_.interlace == 0) {
            total_rows_ = std::int64_t(h_.height);
            DecodePass({0, 0, 1, 1});
        } else {
            for (const TPass& pass : Adam7)
                total_rows_ += PassHeight(pass);
            for (const TPass& pass : Adam7)
                DecodePass(pass);
        }
        DrainRest();
        inflater_.Finish();
        if (progress_)
            progress_(TPNGGraphic::psEnding, 100, "Transfering...");
    }

private:
    // Reads the next IDAT chunk of the run; false when the run is over.
    bool NextData() {
        TChunkType type;
        if (!reader_.PeekType(type) || !IsType(type, "IDAT"))
            return false;
        inflater_.SetInput(reader_.Next().data);
        return true;
    }

    void Fill(std::uint8_t* out, std::size_t size) {
        std::size_t done = 0;
        while (done < size) {
            done += inflater_.Inflate(out + done, size - done);
            if (done == size)
                break;
            // The stream ended, or the image data ran out, before the row was complete.
            if (inflater_.Ended() || (!inflater_.HasInput() && !NextData()))
                FailExtraData();
        }
    }

    // Rows of a pass; 0 when the image is too small to have any pixel in it.
    int PassHeight(const TPass& pass) const {
        const int width = int(h_.width);
        const int height = int(h_.height);
        if (width <= pass.x0 || height <= pass.y0)
            return 0;
        return (height - pass.y0 + pass.dy - 1) / pass.dy;
    }

    void DecodePass(const TPass& pass) {
        const int width = int(h_.width);
        const int pass_height = PassHeight(pass);
        if (pass_height == 0)
            return;
        const int pass_width = (width - pass.x0 + pass.dx - 1) / pass.dx;
        const std::size_t row_bytes = (std::size_t(pass_width) * bits_per_pixel_ + 7) / 8;
        current_.assign(row_bytes + 1, 0);
        prior_.assign(row_bytes + 1, 0);
        const bool direct = pass.dx == 1;
        const int out_bpp = colors_.TargetBytesPerPixel();
        if (!direct)
            line_.resize(std::size_t(pass_width) * std::size_t(out_bpp));

        for (int r = 0; r < pass_height; ++r) {
            Fill(current_.data(), current_.size());
            Unfilter(current_[0], current_.data() + 1, prior_.data() + 1, row_bytes, bpp_);
            std::uint8_t* scan = bitmap_.ScanLine(pass.y0 + r * pass.dy);
            if (direct) {
                colors_.ConvertRow(current_.data() + 1, scan, pass_width);
            } else {
                colors_.ConvertRow(current_.data() + 1, line_.data(), pass_width);
                const std::uint8_t* src = line_.data();
                std::uint8_t* dst = scan + std::size_t(pass.x0) * std::size_t(out_bpp);
                const std::size_t step = std::size_t(pass.dx) * std::size_t(out_bpp);
                for (int i = 0; i < pass_width; ++i, src += out_bpp, dst += step)
                    std::memcpy(dst, src, std::size_t(out_bpp));
            }
            std::swap(current_, prior_);
            if (progress_)
                progress_(TPNGGraphic::psRunning, int(++rows_done_ * 100 / total_rows_),
                          "Transfering...");
        }
    }

    // After the last row: the rest of the stream must hold no more data, and nothing may
    // follow its end. A stream that simply stops after the last row loses nothing.
    void DrainRest() {
        std::array<std::uint8_t, 64> scratch;
        for (;;) {
            if (!inflater_.HasInput() && !NextData())
                return;
            if (inflater_.Ended()) {
                if (inflater_.HasInput())
                    FailExtraData();
                continue;
            }
            if (inflater_.Inflate(scratch.data(), scratch.size()) > 0)
                FailExtraData();
        }
    }

    const THeader& h_;
    TChunkReader& reader_;
    TBitmap& bitmap_;
    const TPNGGraphic::TProgressEvent& progress_;
    std::int64_t total_rows_ = 0;
    std::int64_t rows_done_ = 0;
    TColorManager colors_;
    std::array<std::uint8_t, 256> gamma_{};
    TLZ77Decoder inflater_;
    std::size_t bits_per_pixel_ = 0;
    std::size_t bpp_ = 1;
    std::vector<std::uint8_t> current_, prior_, line_;
};

void ReadPalette(const TChunk& chunk, TAncillary& a) {
    const std::size_t size = chunk.data.size();
    if (size % 3 != 0 || size == 0 || size > 3 * 256)
        FailPalette();
    a.palette_size = int(size / 3);
    for (std::size_t i = 0; i < size / 3; ++i) {
        const std::uint8_t* entry = chunk.data.data() + 3 * i;
        a.palette[i] = {entry[2], entry[1], entry[0]};
    }
}

void ReadTransparency(const TChunk& chunk, const THeader& h, TAncillary& a) {
    const std::uint8_t* d = chunk.data.data();
    const std::size_t size = chunk.data.size();
    if (h.color_type == ctIndexed) {
        for (std::size_t i = 0; i < std::min<std::size_t>(size, 256); ++i) {
            a.alphas[i] = d[i];
            a.palette_alpha = a.palette_alpha || d[i] != 255;
        }
    } else if (h.color_type == ctGrey && size == 2) {
        a.has_key = true;
        a.key = {BigEndian16(d), BigEndian16(d), BigEndian16(d)};
    } else if (h.color_type == ctRGB && size == 6) {
        a.has_key = true;
        a.key = {BigEndian16(d), BigEndian16(d + 2), BigEndian16(d + 4)};
    }
}

void ReadBackground(const TChunk& chunk, const THeader& h, TAncillary& a) {
    const std::uint8_t* d = chunk.data.data();
    const std::size_t size = chunk.data.size();
    if (h.color_type == ctIndexed && size == 1) {
        if (d[0] < a.palette_size) {
            const auto& entry = a.palette[d[0]];
            a.has_background = true;
            a.background = {entry[2], entry[1], entry[0]};
        }
    } else if ((h.color_type == ctGrey || h.color_type == ctGreyAlpha) && size == 2) {
        const std::uint8_t grey =
            ScaleSample(BigEndian16(d) & ((1u << h.bit_depth) - 1), h.bit_depth);
        a.has_background = true;
        a.background = {grey, grey, grey};
    } else if ((h.color_type == ctRGB || h.color_type == ctRGBA) && size == 6) {
        a.has_background = true;
        a.background = {ScaleSample(BigEndian16(d), h.bit_depth),
                        ScaleSample(BigEndian16(d + 2), h.bit_depth),
                        ScaleSample(BigEndian16(d + 4), h.bit_depth)};
    }
}

// A stored sample of the transparent colour as it appears in the bitmap.
std::uint8_t KeyLevel(unsigned value, int bits, const TPNGInfo& info) {
    const std::uint8_t level = ScaleSample(value & ((1u << bits) - 1u), bits);
    return info.HasGamma ? GammaTable(info.FileGamma)[level] : level;
}

} // namespace

// Colour manager -------------------------------------------------------------------------

void TColorManager::Configure(TColorScheme source, int bits_per_sample, int samples_per_pixel,
                              TColorScheme target) {
    if (bits_per_sample != 1 && bits_per_sample != 2 && bits_per_sample != 4 &&
        bits_per_sample != 8 && bits_per_sample != 16)
        FailColor("Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.");
    static constexpr int Samples[] = {1, 2, 3, 4, 1, 3, 4};
    if (samples_per_pixel != Samples[source])
        FailColor("Sample count per pixel does not correspond to the given color scheme.");
    if (target == csIndexed && source != csIndexed)
        FailColor("Conversion between indexed and non-indexed pixel formats is not supported.");
    const bool target_ok = target == csBGR || target == csBGRA || target == csIndexed;
    const bool source_ok =
        (source == csG && bits_per_sample <= 16) || (source == csIndexed && bits_per_sample <= 8) ||
        ((source == csGA || source == csRGB || source == csRGBA) && bits_per_sample >= 8);
    if (!target_ok || !source_ok)
        FailColor("Color conversion failed. Could not find a proper method.");
    source_ = source;
    target_ = target;
    bits_ = bits_per_sample;
}

void TColorManager::SetPalette(const std::array<std::array<std::uint8_t, 3>, 256>* palette,
                               const std::array<std::uint8_t, 256>* alphas) {
    palette_ = palette;
    alphas_ = alphas;
}

int TColorManager::TargetBytesPerPixel() const {
    return target_ == csBGRA ? 4 : target_ == csBGR ? 3 : 1;
}

namespace {

std::array<std::uint8_t, 256> IdentityTable() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = std::uint8_t(i);
    return table;
}
const std::array<std::uint8_t, 256> Identity = IdentityTable();
const std::array<std::array<std::uint8_t, 3>, 256> NoPalette{};

// Samples of fewer than 8 bits, left to right from the high bits of each byte.
inline unsigned PackedSample(const std::uint8_t* row, int x, int bits) {
    const int per_byte = 8 / bits;
    const int shift = 8 - bits * (x % per_byte + 1);
    return (row[x / per_byte] >> shift) & ((1u << bits) - 1u);
}

} // namespace

void TColorManager::ConvertRow(const std::uint8_t* s, std::uint8_t* d, int count) const {
    const std::array<std::uint8_t, 256>& g = gamma_ ? *gamma_ : Identity;
    const bool alpha_out = target_ == csBGRA;
    const int step = alpha_out ? 4 : 3;
    switch (source_) {
    case csG:
        if (bits_ == 8) {
            for (int x = 0; x < count; ++x, d += step) {
                d[0] = d[1] = d[2] = g[s[x]];
                if (alpha_out)
                    d[3] = 255;
            }
        } else if (bits_ == 16) {
            for (int x = 0; x < count; ++x, d += step, s += 2) {
                d[0] = d[1] = d[2] = g[Reduce16(BigEndian16(s))];
                if (alpha_out)
                    d[3] = 255;
            }
        } else {
            for (int x = 0; x < count; ++x, d += step) {
                d[0] = d[1] = d[2] = g[ScaleSample(PackedSample(s, x, bits_), bits_)];
                if (alpha_out)
                    d[3] = 255;
            }
        }
        break;
    case csGA: {
        const int in = bits_ == 16 ? 4 : 2;
        for (int x = 0; x < count; ++x, d += step, s += in) {
            if (bits_ == 16) {
                d[0] = d[1] = d[2] = g[Reduce16(BigEndian16(s))];
                if (alpha_out)
                    d[3] = Reduce16(BigEndian16(s + 2));
            } else {
                d[0] = d[1] = d[2] = g[s[0]];
                if (alpha_out)
                    d[3] = s[1];
            }
        }
        break;
    }
    case csRGB:
    case csRGBA: {
        const bool alpha_in = source_ == csRGBA;
        if (bits_ == 8) {
            const int in = alpha_in ? 4 : 3;
            for (int x = 0; x < count; ++x, d += step, s += in) {
                d[0] = g[s[2]];
                d[1] = g[s[1]];
                d[2] = g[s[0]];
                if (alpha_out)
                    d[3] = alpha_in ? s[3] : 255;
            }
        } else {
            const int in = alpha_in ? 8 : 6;
            for (int x = 0; x < count; ++x, d += step, s += in) {
                d[0] = g[Reduce16(BigEndian16(s + 4))];
                d[1] = g[Reduce16(BigEndian16(s + 2))];
                d[2] = g[Reduce16(BigEndian16(s))];
                if (alpha_out)
                    d[3] = alpha_in ? Reduce16(BigEndian16(s + 6)) : 255;
            }
        }
        break;
    }
    case csIndexed:
        for (int x = 0; x < count; ++x) {
            const unsigned index = bits_ == 8 ? s[x] : PackedSample(s, x, bits_);
            if (target_ == csIndexed) {
                d[x] = std::uint8_t(index);
                continue;
            }
            const auto& entry = (palette_ ? *palette_ : NoPalette)[index];
            d[0] = g[entry[0]];
            d[1] = g[entry[1]];
            d[2] = g[entry[2]];
            if (alpha_out)
                d[3] = alphas_ ? (*alphas_)[index] : 255;
            d += step;
        }
        break;
    default:
        break;
    }
}

// Reading --------------------------------------------------------------------------------

bool IsPNG(std::span<const std::uint8_t> file) {
    return file.size() >= Signature.size() &&
           std::equal(Signature.begin(), Signature.end(), file.begin());
}

TPNGInfo ReadPNGInfo(std::span<const std::uint8_t> file) {
    THeader h;
    TChunkReader reader(file, ReadHeader(file, h));
    TPNGInfo info = InfoOf(h);
    TChunkType type;
    while (reader.PeekType(type) && !IsType(type, "IDAT") && !IsType(type, "IEND")) {
        const TChunk chunk = reader.Next();
        if (IsType(chunk.type, "gAMA") && ReadGamma(chunk, info))
            break;
    }
    return info;
}

void TPNGGraphic::LoadFromBytes(std::span<const std::uint8_t> file) {
    try {
        THeader h;
        TChunkReader reader(file, ReadHeader(file, h));
        TPNGInfo info = InfoOf(h);
        TAncillary a;
        a.alphas.fill(255);
        TBitmap decoded;
        bool have_image = false;

        for (;;) {
            const TChunk chunk = reader.Next();
            if (IsType(chunk.type, "IEND"))
                break;
            if (IsType(chunk.type, "IDAT")) {
                if (have_image) {
                    // Image data after other chunks that followed the first run.
                    if (!chunk.data.empty())
                        FailExtraData();
                    continue;
                }
                if (h.color_type == ctIndexed && a.palette_size < 0)
                    FailPalette();
                const bool alpha = info.HasAlpha || (h.color_type == ctIndexed && a.palette_alpha);
                const TPixelFormat format = alpha ? pf32bit : pf24bit;
                const int width = int(h.width), height = int(h.height);
                decoded =
                    TBitmap(width, height, format,
                            Storage() ? Storage()->MakeSibling(width, height, format, RowOrder())
                                      : MakeHeapStorage(width, height, format, roTopDown));
                TImageDecoder(h, a, info, reader, decoded, OnProgress).Run(chunk);
                have_image = true;
            } else if (IsType(chunk.type, "PLTE")) {
                ReadPalette(chunk, a);
            } else if (IsType(chunk.type, "gAMA")) {
                ReadGamma(chunk, info);
            } else if (IsType(chunk.type, "bKGD")) {
                ReadBackground(chunk, h, a);
            } else if (IsType(chunk.type, "tRNS")) {
                ReadTransparency(chunk, h, a);
            } else if (IsCritical(chunk.type)) {
                Fail("Cannot load PNG image. Unexpected but critical chunk detected.");
            }
        }
        if (!have_image)
            Fail("Cannot load image. The PNG file holds no image data.");

        if (a.has_key) {
            decoded.SetTransparent(true);
            decoded.SetTransparentColor(RGBColor(KeyLevel(a.key[0], h.bit_depth, info),
                                                 KeyLevel(a.key[1], h.bit_depth, info),
                                                 KeyLevel(a.key[2], h.bit_depth, info)));
        }
        info.HasAlpha = decoded.PixelFormat() == pf32bit;

        static_cast<TBitmap&>(*this) = std::move(decoded);
        info_ = info;
        palette_.clear();
        for (int i = 0; i < std::max(a.palette_size, 0); ++i)
            palette_.push_back(RGBColor(a.palette[std::size_t(i)][2], a.palette[std::size_t(i)][1],
                                        a.palette[std::size_t(i)][0]));
        transparency_ = a.alphas;
        background_ = a.has_background
                          ? RGBColor(std::uint8_t(a.background[0]), std::uint8_t(a.background[1]),
                                     std::uint8_t(a.background[2]))
                          : RGBColor(255, 255, 255);
    } catch (...) {
        // Nothing of a picture that failed is kept.
        static_cast<TBitmap&>(*this) = TBitmap();
        info_ = TPNGInfo();
        palette_.clear();
        transparency_.fill(255);
        background_ = RGBColor(255, 255, 255);
        throw;
    }
}

TBitmap CopyWithWhiteTransparent(const TBitmap& picture) {
    TBitmap copy = picture.Clone();
    copy.SetPixelFormat(pf32bit);
    for (int y = 0; y < copy.Height(); ++y) {
        std::uint8_t* p = copy.ScanLine(y);
        for (int x = 0; x < copy.Width(); ++x, p += 4)
            if (p[0] == 255 && p[1] == 255 && p[2] == 255)
                p[0] = p[1] = p[2] = p[3] = 0;
    }
    return copy;
}

} // namespace kalvo
