#include "imaging/dib_section_win32.h"

#include <stdexcept>

namespace kalvo {

namespace {

class TDIBStorage final : public TPixelStorage {
public:
    TDIBStorage(int width, int height, TPixelFormat format, TRowOrder order) {
        SetRows(nullptr, 0, 0, order);
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
        if (!handle_ || !bits) {
            if (handle_)
                DeleteObject(handle_);
            throw std::runtime_error("cannot create a DIB section");
        }
        // A DIB section's rows are padded to four bytes, as RowBytes says.
        SetRows(static_cast<std::uint8_t*>(bits), RowBytes(width, format), height, order);
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
    CheckBitmapSize(width, height);
    return TBitmap(width, height, format,
                   std::make_unique<TDIBStorage>(width, height, format, order));
}

HBITMAP DIBHandle(const TBitmap& bitmap) {
    auto* dib = dynamic_cast<TDIBStorage*>(bitmap.Storage());
    return dib ? dib->Handle() : nullptr;
}

TBitmap ToDIBBitmap(const TBitmap& bitmap, TRowOrder order) {
    TBitmap copy = CreateDIBBitmap(bitmap.Width(), bitmap.Height(), bitmap.PixelFormat(), order);
    copy.CopyFrom(bitmap);
    return copy;
}

} // namespace kalvo
