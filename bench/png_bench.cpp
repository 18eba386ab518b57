// Our PNG decoder (TPNGGraphic::LoadFromBytes) against libpng decoding the same files into the
// same layout: rows of B, G, R (, A) bytes padded to four, palettes, small greys and 16-bit
// samples expanded to 8-bit colour, as our decoder hands them to the skin. Both allocate the
// picture's memory anew for every decode and both read through the end of the file (chunk
// CRCs included).
//
// The pictures are made here, in memory, and written by libpng: a large photo-like picture
// with alpha and one without (smooth gradients, soft discs, noise), the first also written
// interlaced (Adam7), and 200 small glyph-like pictures (palettes of 8 and 4 bits, RGBA).
// The RGB picture and the glyphs get libpng's own choice of row filter, as files from most
// tools have; the RGBA pictures get a filter drawn at random for each row, so that all five
// filters do a share of the work. The notes say how many rows each filter has. Before the
// first timing, every picture is decoded once by each decoder and both results are compared
// with the pixels that were written; a difference fails the benchmark.
#include "bench/bench.h"
#include "imaging/bitmap.h"
#include "imaging/png_graphic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <png.h>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>
#include <zlib.h>

namespace kalvo::bench {
namespace {

std::uint64_t XorShift(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// libpng ---------------------------------------------------------------------------------

// What a libpng call reports when it fails: libpng jumps back with the message kept here.
void KeepError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    *error = message ? message : "unknown error";
    png_longjmp(png, 1);
}
void IgnoreWarning(png_structp, png_const_charp) {}

// A picture for libpng to write: rows as the file holds them, one byte per sample (indexes
// of fewer than 8 bits one per byte too; libpng packs them).
struct TSource {
    int width = 0;
    int height = 0;
    int color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    int bit_depth = 8;
    bool interlaced = false;
    // Each row's filter drawn at random from all five; otherwise libpng's own choice.
    bool mixed_filters = false;
    std::vector<std::uint8_t> samples;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> palette_alpha; // tRNS, when not empty
};

// Samples of one pixel in the source (and in the file).
std::size_t SamplesPerPixel(const TSource& source) {
    return source.color_type == PNG_COLOR_TYPE_RGB_ALPHA ? 4
           : source.color_type == PNG_COLOR_TYPE_RGB     ? 3
                                                         : 1;
}

struct TWriteJob {
    const TSource* source = nullptr;
    std::vector<png_bytep> rows;
    std::vector<std::uint8_t> file;
    std::uint64_t filter_state = 0x2545F4914F6CDD1D;
    std::string error;
};

void AppendToFile(png_structp png, png_bytep data, png_size_t size) {
    auto* file = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    file->insert(file->end(), data, data + size);
}
void FlushNothing(png_structp) {}

// The libpng calls; false with job.error set when libpng failed. Whatever this function
// keeps across the jump lives in `job`.
bool WriteWithLibpng(TWriteJob& job) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &job.error, KeepError, IgnoreWarning);
    if (!png) {
        job.error = "png_create_write_struct failed";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        job.error = "png_create_info_struct failed";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const TSource& s = *job.source;
    png_set_write_fn(png, &job.file, AppendToFile, FlushNothing);
    png_set_IHDR(png, info, png_uint_32(s.width), png_uint_32(s.height), s.bit_depth, s.color_type,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
    if (!s.palette_alpha.empty())
        png_set_tRNS(png, info, s.palette_alpha.data(), int(s.palette_alpha.size()), nullptr);
    // libpng keeps the row before only when it starts its first row allowed every filter;
    // that row gets libpng's own choice, every later one the filter drawn for it.
    if (s.mixed_filters)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_write_info(png, info);
    if (s.bit_depth < 8)
        png_set_packing(png);
    static constexpr int Filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP,
                                      PNG_FILTER_AVG, PNG_FILTER_PAETH};
    const int passes = png_set_interlace_handling(png);
    bool first = true;
    for (int pass = 0; pass < passes; ++pass)
        for (png_bytep row : job.rows) {
            if (s.mixed_filters && !std::exchange(first, false))
                png_set_filter(png, PNG_FILTER_TYPE_BASE, Filters[XorShift(job.filter_state) % 5]);
            png_write_row(png, row);
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::vector<std::uint8_t> EncodeWithLibpng(const TSource& source) {
    TWriteJob job;
    job.source = &source;
    const std::size_t row = std::size_t(source.width) * SamplesPerPixel(source);
    if (source.samples.size() != row * std::size_t(source.height))
        throw std::logic_error("a source picture of the wrong size");
    for (int y = 0; y < source.height; ++y)
        job.rows.push_back(const_cast<png_bytep>(source.samples.data() + row * std::size_t(y)));
    if (!WriteWithLibpng(job))
        throw std::runtime_error("libpng could not write a picture: " + job.error);
    return std::move(job.file);
}

struct TMemoryReader {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t size) {
    auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
    if (size > reader->size - reader->at)
        png_error(png, "the file ends early");
    std::memcpy(out, reader->data + reader->at, size);
    reader->at += size;
}

// A picture libpng decoded: rows of RowBytes(width, format) bytes, top down.
struct TLibpngPicture {
    int width = 0;
    int height = 0;
    TPixelFormat format = pf24bit;
    std::vector<std::uint8_t> pixels;
    std::size_t stride = 0;
};

struct TReadJob {
    TMemoryReader reader;
    std::vector<png_bytep> rows;
    TLibpngPicture picture;
    std::string error;
};

bool ReadWithLibpng(TReadJob& job) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &job.error, KeepError, IgnoreWarning);
    if (!png) {
        job.error = "png_create_read_struct failed";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        job.error = "png_create_info_struct failed";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &job.reader, ReadFromMemory);
    png_read_info(png, info);
    // 8-bit B, G, R (, A) whatever the file holds, as our decoder gives.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    TLibpngPicture& p = job.picture;
    p.width = int(png_get_image_width(png, info));
    p.height = int(png_get_image_height(png, info));
    const int channels = png_get_channels(png, info);
    if (channels != 3 && channels != 4)
        png_error(png, "not 3 or 4 channels after the transformations");
    p.format = channels == 4 ? pf32bit : pf24bit;
    p.stride = RowBytes(p.width, p.format);
    if (png_get_rowbytes(png, info) > p.stride)
        png_error(png, "rows longer than expected");
    // Zeroed, as a new bitmap of ours is.
    p.pixels.assign(p.stride * std::size_t(p.height), 0);
    job.rows.resize(std::size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        job.rows[std::size_t(y)] = p.pixels.data() + p.stride * std::size_t(y);
    png_read_image(png, job.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

TLibpngPicture DecodeWithLibpng(std::span<const std::uint8_t> file) {
    TReadJob job;
    job.reader = {file.data(), file.size(), 0};
    if (!ReadWithLibpng(job))
        throw std::runtime_error("libpng could not read a picture: " + job.error);
    return std::move(job.picture);
}

// The pictures ------------------------------------------------------------------------------

struct TPicture {
    TSource source;
    std::vector<std::uint8_t> file;
    // What both decoders must give: B, G, R (, A) rows of RowBytes(width, format) bytes.
    TPixelFormat format = pf24bit;
    std::vector<std::uint8_t> expected;
};

// The pixels the source stands for, as a decoder hands them out.
void MakeExpected(TPicture& picture) {
    const TSource& s = picture.source;
    const bool indexed = s.color_type == PNG_COLOR_TYPE_PALETTE;
    bool alpha = s.color_type == PNG_COLOR_TYPE_RGB_ALPHA;
    if (indexed)
        for (const std::uint8_t a : s.palette_alpha)
            alpha = alpha || a != 255;
    picture.format = alpha ? pf32bit : pf24bit;
    const std::size_t stride = RowBytes(s.width, picture.format);
    const std::size_t in = SamplesPerPixel(s);
    const int out = BytesPerPixel(picture.format);
    picture.expected.assign(stride * std::size_t(s.height), 0);
    for (int y = 0; y < s.height; ++y) {
        const std::uint8_t* src = s.samples.data() + std::size_t(y) * std::size_t(s.width) * in;
        std::uint8_t* dst = picture.expected.data() + std::size_t(y) * stride;
        for (int x = 0; x < s.width; ++x, src += in, dst += out) {
            if (indexed) {
                const png_color& c = s.palette.at(src[0]);
                dst[0] = c.blue;
                dst[1] = c.green;
                dst[2] = c.red;
                if (alpha)
                    dst[3] = src[0] < s.palette_alpha.size() ? s.palette_alpha[src[0]] : 255;
            } else {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
                if (alpha)
                    dst[3] = src[3];
            }
        }
    }
}

std::uint8_t Clamp(double value) {
    return std::uint8_t(std::clamp(std::lround(value), 0L, 255L));
}

// Something like a photograph: slow gradients, two soft discs, a little noise in every
// sample; with alpha, a soft edge (as of a shadow) around an opaque middle.
TSource PhotoLike(int width, int height, bool alpha, std::uint64_t seed) {
    TSource s;
    s.width = width;
    s.height = height;
    s.color_type = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    const int in = alpha ? 4 : 3;
    s.samples.resize(std::size_t(width) * std::size_t(height) * std::size_t(in));
    std::uint64_t state = seed * 0x9E3779B97F4A7C15u + 1;
    const double edge = 0.08 * std::min(width, height);
    std::uint8_t* p = s.samples.data();
    for (int y = 0; y < height; ++y) {
        const double fy = double(y) / height;
        for (int x = 0; x < width; ++x, p += in) {
            const double fx = double(x) / width;
            double r = 150 + 70 * std::sin(5.0 * fx + 2.0 * fy);
            double g = 120 + 60 * std::cos(3.0 * fy - 1.5 * fx);
            double b = 100 + 80 * fx * fy;
            const double d1 = std::hypot(fx - 0.3, fy - 0.4), d2 = std::hypot(fx - 0.7, fy - 0.6);
            const double w1 = 1 / (1 + std::exp((d1 - 0.18) * 60));
            const double w2 = 1 / (1 + std::exp((d2 - 0.12) * 40));
            r = r * (1 - w1) + 230 * w1;
            g = g * (1 - w1) + 200 * w1;
            b = b * (1 - w2) + 40 * w2;
            const std::uint64_t n = XorShift(state);
            p[0] = Clamp(r + double(n % 9) - 4);
            p[1] = Clamp(g + double((n >> 8) % 9) - 4);
            p[2] = Clamp(b + double((n >> 16) % 9) - 4);
            if (alpha) {
                const double border =
                    std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y));
                p[3] =
                    border >= edge ? 255 : Clamp(255 * border / edge + double((n >> 24) % 5) - 2);
            }
        }
    }
    return s;
}

// How much of the pixel at (x, y) a glyph-like shape covers (0 to 1): a ring and a bar,
// anti-aliased.
double Coverage(int x, int y, int size, int kind) {
    const double cx = x + 0.5 - size / 2.0, cy = y + 0.5 - size / 2.0;
    const double outer = size * 0.42, inner = size * (0.18 + 0.04 * (kind % 3));
    const double d = std::hypot(cx, cy);
    double ring = std::clamp(std::min(outer - d, d - inner) + 0.5, 0.0, 1.0);
    const double bar =
        std::clamp(size * 0.08 - std::abs(cx - cy * (kind % 2 ? 1 : -1)) + 0.5, 0.0, 1.0) *
        (d < outer ? 1.0 : 0.0);
    return std::max(ring, bar);
}

// Small pictures as a skin has them by the hundred: glyphs of 16 to 32 pixels, half of them
// with a palette of 8 bits whose alpha shades the edges, a quarter with a palette of 4 bits
// of greys on white, a quarter truecolour with alpha.
std::vector<TSource> Glyphs(int count) {
    std::vector<TSource> glyphs;
    std::uint64_t state = 0x5EED;
    for (int i = 0; i < count; ++i) {
        TSource s;
        const int size = 16 + int(XorShift(state) % 17);
        s.width = s.height = size;
        const int kind = i % 4;
        if (kind < 2) {
            // Index = coverage in 64 levels, one colour.
            s.color_type = PNG_COLOR_TYPE_PALETTE;
            const png_byte red = png_byte(XorShift(state)), green = png_byte(XorShift(state)),
                           blue = png_byte(XorShift(state));
            for (int level = 0; level < 64; ++level) {
                s.palette.push_back({red, green, blue});
                s.palette_alpha.push_back(std::uint8_t(level * 255 / 63));
            }
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    s.samples.push_back(std::uint8_t(std::lround(Coverage(x, y, size, i) * 63)));
        } else if (kind == 2) {
            s.color_type = PNG_COLOR_TYPE_PALETTE;
            s.bit_depth = 4;
            for (int level = 0; level < 16; ++level) {
                const png_byte grey = png_byte(255 - level * 17);
                s.palette.push_back({grey, grey, grey});
            }
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    s.samples.push_back(std::uint8_t(std::lround(Coverage(x, y, size, i) * 15)));
        } else {
            s.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    s.samples.push_back(std::uint8_t(40 + x * 180 / size));
                    s.samples.push_back(std::uint8_t(200 - y * 150 / size));
                    s.samples.push_back(std::uint8_t(90 + (x + y) * 60 / size));
                    s.samples.push_back(Clamp(Coverage(x, y, size, i) * 255));
                }
        }
        glyphs.push_back(std::move(s));
    }
    return glyphs;
}

// Compares a decoded picture with what was written; throws at the first difference.
void Compare(const char* decoder, std::size_t index, const TPicture& picture, int width, int height,
             TPixelFormat format, const std::uint8_t* row0, std::ptrdiff_t stride) {
    const std::string which = std::string(decoder) + ", picture " + std::to_string(index + 1);
    if (width != picture.source.width || height != picture.source.height)
        throw std::runtime_error(which + ": decoded with the wrong size");
    if (format != picture.format)
        throw std::runtime_error(which + ": decoded with" + (format == pf32bit ? "" : "out") +
                                 " alpha");
    const std::size_t row_bytes = std::size_t(width) * std::size_t(BytesPerPixel(format));
    const std::size_t expected_stride = RowBytes(width, format);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* got = row0 + std::ptrdiff_t(y) * stride;
        const std::uint8_t* want = picture.expected.data() + std::size_t(y) * expected_stride;
        if (std::memcmp(got, want, row_bytes) != 0) {
            std::size_t at = 0;
            while (got[at] == want[at])
                ++at;
            throw std::runtime_error(which + ": pixel (" +
                                     std::to_string(at / std::size_t(BytesPerPixel(format))) +
                                     ", " + std::to_string(y) + ") differs from what was written");
        }
    }
}

// The row filters the writer chose, counted over the inflated image data.
std::array<long, 5> FilterCounts(const TPicture& picture) {
    const std::vector<std::uint8_t>& f = picture.file;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= f.size();) {
        const std::size_t length = std::size_t(f[at]) << 24 | std::size_t(f[at + 1]) << 16 |
                                   std::size_t(f[at + 2]) << 8 | f[at + 3];
        if (std::memcmp(f.data() + at + 4, "IDAT", 4) == 0)
            packed.insert(packed.end(), f.data() + at + 8, f.data() + at + 8 + length);
        at += length + 12;
    }
    const TSource& s = picture.source;
    const std::size_t bits = std::size_t(s.bit_depth) * SamplesPerPixel(s);
    struct TPassShape {
        int x0, y0, dx, dy;
    };
    static constexpr TPassShape Whole[] = {{0, 0, 1, 1}};
    static constexpr TPassShape Adam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                           {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const std::span<const TPassShape> passes =
        s.interlaced ? std::span<const TPassShape>(Adam7) : std::span<const TPassShape>(Whole);
    std::vector<std::size_t> row_sizes;
    for (const TPassShape& pass : passes) {
        if (s.width <= pass.x0 || s.height <= pass.y0)
            continue;
        const std::size_t w = std::size_t((s.width - pass.x0 + pass.dx - 1) / pass.dx);
        const int h = (s.height - pass.y0 + pass.dy - 1) / pass.dy;
        for (int r = 0; r < h; ++r)
            row_sizes.push_back(1 + (w * bits + 7) / 8);
    }
    std::size_t raw_size = 0;
    for (const std::size_t size : row_sizes)
        raw_size += size;
    std::vector<std::uint8_t> raw(raw_size);
    uLongf got = uLongf(raw_size);
    if (uncompress(raw.data(), &got, packed.data(), uLong(packed.size())) != Z_OK ||
        got != raw_size)
        throw std::runtime_error("the image data written does not inflate to its rows");
    std::array<long, 5> counts{};
    std::size_t at = 0;
    for (const std::size_t size : row_sizes) {
        if (raw[at] > 4)
            throw std::runtime_error("a row with an unknown filter was written");
        ++counts[raw[at]];
        at += size;
    }
    return counts;
}

class TPictureSet {
public:
    using TMake = std::vector<TSource> (*)();

    TPictureSet(TMake make, std::string description)
        : make_(make), description_(std::move(description)) {}

    void DecodeOurs() {
        Prepare();
        for (const TPicture& picture : pictures_) {
            TPNGGraphic graphic;
            graphic.LoadFromBytes(picture.file);
            Consume(graphic.Row0());
        }
    }

    void DecodeLibpng() {
        Prepare();
        for (const TPicture& picture : pictures_) {
            const TLibpngPicture decoded = DecodeWithLibpng(picture.file);
            Consume(decoded.pixels.data());
        }
    }

    std::string Note(double reference, double body) const {
        std::size_t bytes = 0, raw = 0;
        std::array<long, 5> filters{};
        for (const TPicture& picture : pictures_) {
            bytes += picture.file.size();
            raw += std::size_t(picture.source.width) * std::size_t(picture.source.height) *
                   std::size_t(BytesPerPixel(picture.format));
            const std::array<long, 5> counts = FilterCounts(picture);
            for (std::size_t i = 0; i < counts.size(); ++i)
                filters[i] += counts[i];
        }
        const double n = double(pictures_.size());
        char note[400];
        if (pictures_.size() == 1)
            std::snprintf(note, sizeof note,
                          "ours %.1f ms, libpng %.1f ms; %s, file %.2f MB (%.2f : 1); rows "
                          "filtered none %ld, sub %ld, up %ld, average %ld, paeth %ld",
                          body * 1e3, reference * 1e3, description_.c_str(), double(bytes) / 1e6,
                          double(raw) / double(bytes), filters[0], filters[1], filters[2],
                          filters[3], filters[4]);
        else
            std::snprintf(note, sizeof note,
                          "per picture: ours %.1f us, libpng %.1f us; %zu pictures, %s, "
                          "%.1f KB in all; rows filtered none %ld, sub %ld, up %ld, average "
                          "%ld, paeth %ld",
                          body * 1e6 / n, reference * 1e6 / n, pictures_.size(),
                          description_.c_str(), double(bytes) / 1e3, filters[0], filters[1],
                          filters[2], filters[3], filters[4]);
        return note;
    }

private:
    // Makes and writes the pictures, and checks both decoders on each, once.
    void Prepare() {
        if (prepared_)
            return;
        if (tried_)
            throw std::runtime_error("the pictures could not be made or decoded before");
        tried_ = true;
        for (TSource& source : make_()) {
            TPicture picture;
            picture.file = EncodeWithLibpng(source);
            picture.source = std::move(source);
            MakeExpected(picture);
            pictures_.push_back(std::move(picture));
        }
        for (std::size_t i = 0; i < pictures_.size(); ++i) {
            const TPicture& picture = pictures_[i];
            TPNGGraphic ours;
            ours.LoadFromBytes(picture.file);
            Compare("our decoder", i, picture, ours.Width(), ours.Height(), ours.PixelFormat(),
                    ours.ScanLine(0), ours.Height() > 1 ? ours.ScanLine(1) - ours.ScanLine(0) : 0);
            const TLibpngPicture theirs = DecodeWithLibpng(picture.file);
            Compare("libpng", i, picture, theirs.width, theirs.height, theirs.format,
                    theirs.pixels.data(), std::ptrdiff_t(theirs.stride));
        }
        prepared_ = true;
    }

    TMake make_;
    std::string description_;
    std::vector<TPicture> pictures_;
    bool prepared_ = false;
    bool tried_ = false;
};

bool RegisterSet(const std::string& name, TPictureSet::TMake make, const std::string& description) {
    const auto set = std::make_shared<TPictureSet>(make, description);
    Registry().push_back({"png decode " + name, "libpng decoding the same",
                          [set] { set->DecodeLibpng(); }, [set] { set->DecodeOurs(); },
                          [set](double r, double b) {
                              return set->Note(r, b);
                          }});
    return true;
}

constexpr int Width = 1600;
constexpr int Height = 1200;

[[maybe_unused]] const bool registered =
    RegisterSet(
        "RGBA 1600x1200",
        [] {
            TSource s = PhotoLike(Width, Height, true, 1);
            s.mixed_filters = true;
            return std::vector<TSource>{std::move(s)};
        },
        "photo-like, 8-bit RGBA") &&
    RegisterSet(
        "RGB 1600x1200", [] { return std::vector<TSource>{PhotoLike(Width, Height, false, 2)}; },
        "photo-like, 8-bit RGB") &&
    RegisterSet(
        "Adam7 1600x1200",
        [] {
            TSource s = PhotoLike(Width, Height, true, 3);
            s.interlaced = true;
            s.mixed_filters = true;
            return std::vector<TSource>{std::move(s)};
        },
        "photo-like, 8-bit RGBA, interlaced (Adam7)") &&
    RegisterSet(
        "200 glyphs 16-32 px", [] { return Glyphs(200); },
        "16 to 32 px square: 100 palette 8-bit with alpha, 50 palette 4-bit, 50 RGBA");

} // namespace
} // namespace kalvo::bench
