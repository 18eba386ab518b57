#include "imaging/bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace kalvo {

namespace {

class THeapStorage final : public TPixelStorage {
public:
    THeapStorage(int height, std::size_t row_bytes, TRowOrder order)
        : bytes_(row_bytes * std::size_t(height)) {
        if (bytes_.empty())
            return;
        if (order == roTopDown) {
            row0_ = bytes_.data();
            stride_ = std::ptrdiff_t(row_bytes);
        } else {
            row0_ = bytes_.data() + row_bytes * std::size_t(height - 1);
            stride_ = -std::ptrdiff_t(row_bytes);
        }
    }

    std::unique_ptr<TPixelStorage> MakeSibling(int width, int height, TPixelFormat format,
                                               TRowOrder order) const override {
        return MakeHeapStorage(width, height, format, order);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

void CheckSize(int width, int height) {
    if (width < 0 || height < 0)
        throw std::invalid_argument("bitmap size cannot be negative");
    if (std::int64_t(width) * height > MaxBitmapPixels)
        throw std::length_error("bitmap too large");
}

} // namespace

std::size_t RowBytes(int width, TPixelFormat format) {
    return (std::size_t(width) * std::size_t(BytesPerPixel(format)) + 3) & ~std::size_t(3);
}

std::unique_ptr<TPixelStorage> MakeHeapStorage(int width, int height, TPixelFormat format,
                                               TRowOrder order) {
    CheckSize(width, height);
    return std::make_unique<THeapStorage>(height, RowBytes(width, format), order);
}

TBitmap::TBitmap(int width, int height, TPixelFormat format, TRowOrder order)
    : TBitmap(width, height, format, MakeHeapStorage(width, height, format, order)) {}

TBitmap::TBitmap(int width, int height, TPixelFormat format, std::unique_ptr<TPixelStorage> storage)
    : width_(width), height_(height), format_(format), storage_(std::move(storage)) {
    CheckSize(width, height);
    if (!storage_)
        throw std::invalid_argument("bitmap without storage");
}

TBitmap TBitmap::Clone() const {
    TBitmap copy(width_, height_, format_, RowOrder());
    const std::size_t row_bytes = std::size_t(width_) * std::size_t(BytesPerPixel());
    for (int y = 0; y < height_ && row_bytes > 0; ++y)
        std::memcpy(copy.ScanLine(y), ScanLine(y), row_bytes);
    copy.transparent_ = transparent_;
    copy.transparent_color_ = transparent_color_;
    return copy;
}

void TBitmap::Replace(int width, int height, TPixelFormat format) {
    const TRowOrder order = RowOrder();
    storage_ = storage_ ? storage_->MakeSibling(width, height, format, order)
                        : MakeHeapStorage(width, height, format, order);
    width_ = width;
    height_ = height;
    format_ = format;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && storage_)
        return;
    CheckSize(width, height);
    Replace(width, height, format_);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_)
        return;
    if (!storage_) {
        format_ = format;
        return;
    }
    TBitmap old = std::move(*this);
    *this = TBitmap();
    storage_ = old.storage_->MakeSibling(old.width_, old.height_, format, old.RowOrder());
    width_ = old.width_;
    height_ = old.height_;
    format_ = format;
    transparent_ = old.transparent_;
    transparent_color_ = old.transparent_color_;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* src = old.ScanLine(y);
        std::uint8_t* dst = ScanLine(y);
        if (format == pf32bit) {
            for (int x = 0; x < width_; ++x, src += 3, dst += 4) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = 255;
            }
        } else {
            for (int x = 0; x < width_; ++x, src += 4, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        }
    }
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
