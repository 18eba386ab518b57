// TBitmap: a picture of 24 bits per pixel (B, G, R) or 32 bits per pixel (B, G, R, A with
// straight alpha), addressed as the address of row 0 and a signed row stride, so that
// top-down and bottom-up layouts read the same through ScanLine. Rows are padded to a
// multiple of four bytes, as device-independent bitmaps are.
//
// Where the pixels live is up to a TPixelStorage: plain memory here, a DIB section on Windows
// (imaging/dib_section_win32.h) so that GDI can draw into the same pixels.
#pragma once

#include "imaging/color.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kalvo {

enum TPixelFormat { pf24bit, pf32bit };
enum TRowOrder { roTopDown, roBottomUp };

constexpr int BytesPerPixel(TPixelFormat format) {
    return format == pf32bit ? 4 : 3;
}
// Bytes of one row: padded to a multiple of four.
std::size_t RowBytes(int width, TPixelFormat format);

// Largest picture the imaging code makes, in pixels; decoders refuse larger ones.
constexpr std::int64_t MaxBitmapPixels = std::int64_t(1) << 26;

// Throws std::invalid_argument for a negative size and std::length_error for a picture
// above MaxBitmapPixels.
void CheckBitmapSize(int width, int height);

// Memory of one bitmap. Kinds of storage make siblings of their own kind, so that a bitmap
// that changes size or format stays, for example, a DIB section. The row order is kept even
// for an empty storage, so that a bitmap keeps it while it has no pixels.
class TPixelStorage {
public:
    virtual ~TPixelStorage() = default;
    virtual std::unique_ptr<TPixelStorage> MakeSibling(int width, int height, TPixelFormat format,
                                                       TRowOrder order) const = 0;

    std::uint8_t* Row0() const { return row0_; }
    std::ptrdiff_t Stride() const { return stride_; }
    TRowOrder Order() const { return order_; }

protected:
    // Rows of row_bytes each, one after another from `first` in memory; with roBottomUp the
    // first row in memory is the bottom one.
    void SetRows(std::uint8_t* first, std::size_t row_bytes, int height, TRowOrder order);

private:
    std::uint8_t* row0_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    TRowOrder order_ = roTopDown;
};

// Storage in ordinary zeroed memory.
std::unique_ptr<TPixelStorage> MakeHeapStorage(int width, int height, TPixelFormat format,
                                               TRowOrder order);

class TBitmap {
public:
    TBitmap() = default;
    // A new bitmap in ordinary memory, every byte zero.
    TBitmap(int width, int height, TPixelFormat format, TRowOrder order = roTopDown);
    // A bitmap over the given storage, which was made for this size and format.
    TBitmap(int width, int height, TPixelFormat format, std::unique_ptr<TPixelStorage> storage);

    // A bitmap moved from is empty.
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(TBitmap&& other) noexcept;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // A copy of the pixels and flags in ordinary memory, with the same row order.
    TBitmap Clone() const;
    // Copies the pixels and flags of a bitmap of the same size and format into this one,
    // whatever the storage and row order of either (std::invalid_argument otherwise).
    void CopyFrom(const TBitmap& source);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    TPixelFormat PixelFormat() const { return format_; }
    int BytesPerPixel() const { return kalvo::BytesPerPixel(format_); }
    TRowOrder RowOrder() const { return storage_ ? storage_->Order() : roTopDown; }

    // Address of row 0 (the top row) and the signed distance from one row to the next.
    std::uint8_t* Row0() const { return storage_ ? storage_->Row0() : nullptr; }
    std::ptrdiff_t Stride() const { return storage_ ? storage_->Stride() : 0; }
    std::uint8_t* ScanLine(int y) const { return Row0() + std::ptrdiff_t(y) * Stride(); }

    TPixelStorage* Storage() const { return storage_.get(); }

    // Changes the size; when it changes, the pixels are new and zero. Keeps the kind of
    // storage and the row order.
    void SetSize(int width, int height);
    // Converts the pixels: 24 -> 32 makes every pixel opaque (alpha 255); 32 -> 24 drops the
    // alpha byte. Keeps the kind of storage and the row order.
    void SetPixelFormat(TPixelFormat format);

    // Slow single-pixel access for tests and tools; painters use ScanLine.
    // Pixel gives 0x00BBGGRR; Alpha gives the fourth byte (255 for a 24-bit bitmap).
    TColor Pixel(int x, int y) const;
    std::uint8_t Alpha(int x, int y) const;
    void SetPixel(int x, int y, TColor color, std::uint8_t alpha = 255);
    void Fill(TColor color, std::uint8_t alpha = 255);

    // Whether pixels of the transparent colour are to be left out when the bitmap is drawn.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    TColor TransparentColor() const { return transparent_color_; }
    void SetTransparentColor(TColor color) { transparent_color_ = color; }

private:
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::unique_ptr<TPixelStorage> storage_;
    bool transparent_ = false;
    TColor transparent_color_ = kalvo::TransparentColor;
};

// Whether two bitmaps have the same size, format and pixels (row padding is not compared).
bool SamePixels(const TBitmap& a, const TBitmap& b);

} // namespace kalvo
