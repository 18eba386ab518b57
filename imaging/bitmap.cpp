#include "imaging/bitmap.h"

#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace kalvo {

namespace {

class THeapStorage final : public TPixelStorage {
public:
    THeapStorage(int height, std::size_t row_bytes, TRowOrder order)
        : bytes_(row_bytes * std::size_t(height)) {
        SetRows(bytes_.empty() ? nullptr : bytes_.data(), row_bytes, height, order);
    }

    std::unique_ptr<TPixelStorage> MakeSibling(int width, int height, TPixelFormat format,
                                               TRowOrder order) const override {
        return MakeHeapStorage(width, height, format, order);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// Converts one row of `width` pixels between the two formats: 24 -> 32 makes the pixels
// opaque, 32 -> 24 drops the alpha byte.
void ConvertRow(const std::uint8_t* src, TPixelFormat from, std::uint8_t* dst, TPixelFormat to,
                int width) {
    const int src_step = BytesPerPixel(from);
    const int dst_step = BytesPerPixel(to);
    for (int x = 0; x < width; ++x, src += src_step, dst += dst_step) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        if (to == pf32bit)
            dst[3] = from == pf32bit ? src[3] : 255;
    }
}

} // namespace

void TPixelStorage::SetRows(std::uint8_t* first, std::size_t row_bytes, int height,
                            TRowOrder order) {
    order_ = order;
    if (!first || height <= 0) {
        row0_ = nullptr;
        stride_ = 0;
    } else if (order == roTopDown) {
        row0_ = first;
        stride_ = std::ptrdiff_t(row_bytes);
    } else {
        row0_ = first + row_bytes * std::size_t(height - 1);
        stride_ = -std::ptrdiff_t(row_bytes);
    }
}

void CheckBitmapSize(int width, int height) {
    if (width < 0 || height < 0)
        throw std::invalid_argument("bitmap size cannot be negative");
    if (std::int64_t(width) * height > MaxBitmapPixels)
        throw std::length_error("bitmap too large");
}

std::size_t RowBytes(int width, TPixelFormat format) {
    return (std::size_t(width) * std::size_t(BytesPerPixel(format)) + 3) & ~std::size_t(3);
}

std::unique_ptr<TPixelStorage> MakeHeapStorage(int width, int height, TPixelFormat format,
                                               TRowOrder order) {
    CheckBitmapSize(width, height);
    return std::make_unique<THeapStorage>(height, RowBytes(width, format), order);
}

TBitmap::TBitmap(int width, int height, TPixelFormat format, TRowOrder order)
    : TBitmap(width, height, format, MakeHeapStorage(width, height, format, order)) {}

TBitmap::TBitmap(int width, int height, TPixelFormat format, std::unique_ptr<TPixelStorage> storage)
    : width_(width), height_(height), format_(format), storage_(std::move(storage)) {
    CheckBitmapSize(width, height);
    if (!storage_)
        throw std::invalid_argument("bitmap without storage");
}

TBitmap::TBitmap(TBitmap&& other) noexcept {
    *this = std::move(other);
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        format_ = other.format_;
        storage_ = std::move(other.storage_);
        transparent_ = other.transparent_;
        transparent_color_ = other.transparent_color_;
    }
    return *this;
}

TBitmap TBitmap::Clone() const {
    TBitmap copy(width_, height_, format_, RowOrder());
    copy.CopyFrom(*this);
    return copy;
}

void TBitmap::CopyFrom(const TBitmap& source) {
    if (source.width_ != width_ || source.height_ != height_ || source.format_ != format_)
        throw std::invalid_argument("bitmaps differ in size or format");
    const std::size_t row_bytes = std::size_t(width_) * std::size_t(BytesPerPixel());
    if (row_bytes > 0)
        for (int y = 0; y < height_; ++y)
            std::memcpy(ScanLine(y), source.ScanLine(y), row_bytes);
    transparent_ = source.transparent_;
    transparent_color_ = source.transparent_color_;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && storage_)
        return;
    CheckBitmapSize(width, height);
    storage_ = storage_ ? storage_->MakeSibling(width, height, format_, RowOrder())
                        : MakeHeapStorage(width, height, format_, roTopDown);
    width_ = width;
    height_ = height;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_)
        return;
    if (storage_) {
        // The new pixels are complete before the old ones go, so a failure loses nothing.
        std::unique_ptr<TPixelStorage> converted =
            storage_->MakeSibling(width_, height_, format, RowOrder());
        for (int y = 0; y < height_; ++y)
            ConvertRow(ScanLine(y), format_,
                       converted->Row0() + std::ptrdiff_t(y) * converted->Stride(), format, width_);
        storage_ = std::move(converted);
    }
    format_ = format;
}

TColor TBitmap::Pixel(int x, int y) const {
    const std::uint8_t* p = ScanLine(y) + x * BytesPerPixel();
    return RGBColor(p[2], p[1], p[0]);
}

std::uint8_t TBitmap::Alpha(int x, int y) const {
    return format_ == pf32bit ? ScanLine(y)[x * 4 + 3] : 255;
}

void TBitmap::SetPixel(int x, int y, TColor color, std::uint8_t alpha) {
    std::uint8_t* p = ScanLine(y) + x * BytesPerPixel();
    p[0] = BlueOf(color);
    p[1] = GreenOf(color);
    p[2] = RedOf(color);
    if (format_ == pf32bit)
        p[3] = alpha;
}

void TBitmap::Fill(TColor color, std::uint8_t alpha) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            SetPixel(x, y, color, alpha);
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
        return false;
    const std::size_t row_bytes = std::size_t(a.Width()) * std::size_t(a.BytesPerPixel());
    for (int y = 0; y < a.Height(); ++y)
        if (row_bytes > 0 && std::memcmp(a.ScanLine(y), b.ScanLine(y), row_bytes) != 0)
            return false;
    return true;
}

} // namespace kalvo
