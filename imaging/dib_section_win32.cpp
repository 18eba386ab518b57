#include "imaging/dib_section_win32.h"

#include <cstring>
#include <stdexcept>

namespace kalvo {

namespace {

class TDIBStorage final : public TPixelStorage {
public:
    TDIBStorage(int width, int height, TPixelFormat format, TRowOrder order) {
        if (width == 0 || height == 0)
            return; // GDI has no empty DIB sections; an empty bitmap needs no memory.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = order == roBottomUp ? height : -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = WORD(BytesPerPixel(format) * 8);
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        handle_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!handle_ || !bits)
            throw std::runtime_error("cannot create a DIB section");
        const std::size_t row_bytes = RowBytes(width, format);
        auto* first = static_cast<std::uint8_t*>(bits);
        if (order == roTopDown) {
            row0_ = first;
            stride_ = std::ptrdiff_t(row_bytes);
        } else {
            row0_ = first + row_bytes * std::size_t(height - 1);
            stride_ = -std::ptrdiff_t(row_bytes);
        }
    }
    ~TDIBStorage() override {
        if (handle_)
            DeleteObject(handle_);
    }
    TDIBStorage(const TDIBStorage&) = delete;
    TDIBStorage& operator=(const TDIBStorage&) = delete;

    std::unique_ptr<TPixelStorage> MakeSibling(int width, int height, TPixelFormat format,
                                               TRowOrder order) const override {
        return std::make_unique<TDIBStorage>(width, height, format, order);
    }

    HBITMAP Handle() const { return handle_; }

private:
    HBITMAP handle_ = nullptr;
};

} // namespace

TBitmap CreateDIBBitmap(int width, int height, TPixelFormat format, TRowOrder order) {
    if (width < 0 || height < 0 || std::int64_t(width) * height > MaxBitmapPixels)
        throw std::length_error("bad DIB size");
    return TBitmap(width, height, format,
                   std::make_unique<TDIBStorage>(width, height, format, order));
}

HBITMAP DIBHandle(const TBitmap& bitmap) {
    auto* dib = dynamic_cast<TDIBStorage*>(bitmap.Storage());
    return dib ? dib->Handle() : nullptr;
}

TBitmap ToDIBBitmap(const TBitmap& bitmap, TRowOrder order) {
    TBitmap copy = CreateDIBBitmap(bitmap.Width(), bitmap.Height(), bitmap.PixelFormat(), order);
    const std::size_t row_bytes = std::size_t(bitmap.Width()) * std::size_t(bitmap.BytesPerPixel());
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(copy.ScanLine(y), bitmap.ScanLine(y), row_bytes);
    copy.SetTransparent(bitmap.Transparent());
    copy.SetTransparentColor(bitmap.TransparentColor());
    return copy;
}

} // namespace kalvo
