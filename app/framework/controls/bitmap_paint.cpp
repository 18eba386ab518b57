#include "app/framework/controls/bitmap_paint.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kalvo {

namespace {

// A part of a bitmap as two top-down 24-bit DIBs: the pixels (black where left out, or the
// shape colour where kept) and the mask (white where left out, black where kept). Drawn with
// SRCAND then SRCPAINT, the left-out pixels keep what the DC had.
struct TMaskedRows {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Image;
    std::vector<std::uint8_t> Mask;
    bool AnyLeftOut = false;
};

RECT ClipToBitmap(const TBitmap& bitmap, const RECT& source) {
    RECT part{std::max<LONG>(source.left, 0), std::max<LONG>(source.top, 0),
              std::min<LONG>(source.right, bitmap.Width()),
              std::min<LONG>(source.bottom, bitmap.Height())};
    if (part.right < part.left)
        part.right = part.left;
    if (part.bottom < part.top)
        part.bottom = part.top;
    return part;
}

TMaskedRows Split(const TBitmap& bitmap, const RECT& part, const TBitmapMask& mask,
                  std::optional<TColor> shape_color) {
    TMaskedRows rows;
    rows.Width = part.right - part.left;
    rows.Height = part.bottom - part.top;
    const std::size_t row_bytes = RowBytes(rows.Width, pf24bit);
    rows.Image.assign(row_bytes * std::size_t(rows.Height), 0);
    rows.Mask.assign(row_bytes * std::size_t(rows.Height), 0);
    const int bpp = bitmap.BytesPerPixel();
    const std::optional<TColor> key =
        mask.Key ? std::optional<TColor>(ColorToRGB(*mask.Key)) : std::nullopt;
    const TColor shape = shape_color ? ColorToRGB(*shape_color) : 0;
    for (int y = 0; y < rows.Height; ++y) {
        const std::uint8_t* from = bitmap.ScanLine(part.top + y) + part.left * bpp;
        std::uint8_t* image = rows.Image.data() + row_bytes * std::size_t(y);
        std::uint8_t* out_mask = rows.Mask.data() + row_bytes * std::size_t(y);
        for (int x = 0; x < rows.Width; ++x, from += bpp, image += 3, out_mask += 3) {
            const bool left_out =
                (bpp == 4 && from[3] < 128) || (key && RGBColor(from[2], from[1], from[0]) == *key);
            if (left_out) {
                out_mask[0] = out_mask[1] = out_mask[2] = 0xFF;
                rows.AnyLeftOut = true;
            } else if (shape_color) {
                image[0] = BlueOf(shape);
                image[1] = GreenOf(shape);
                image[2] = RedOf(shape);
            } else {
                image[0] = from[0];
                image[1] = from[1];
                image[2] = from[2];
            }
        }
    }
    return rows;
}

void Blit(HDC dc, const RECT& target, const TMaskedRows& rows,
          const std::vector<std::uint8_t>& bits, DWORD rop) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = rows.Width;
    info.bmiHeader.biHeight = -rows.Height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, target.left, target.top, target.right - target.left,
                  target.bottom - target.top, 0, 0, rows.Width, rows.Height, bits.data(), &info,
                  DIB_RGB_COLORS, rop);
}

void Draw(HDC dc, const RECT& target, const TMaskedRows& rows) {
    if (rows.Width == 0 || rows.Height == 0 || target.right <= target.left ||
        target.bottom <= target.top)
        return;
    const int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
    if (rows.AnyLeftOut) {
        Blit(dc, target, rows, rows.Mask, SRCAND);
        Blit(dc, target, rows, rows.Image, SRCPAINT);
    } else {
        Blit(dc, target, rows, rows.Image, SRCCOPY);
    }
    SetStretchBltMode(dc, old_mode);
}

} // namespace

TBitmapMask OwnMask(const TBitmap& bitmap) {
    TBitmapMask mask;
    if (bitmap.Transparent())
        mask.Key = bitmap.TransparentColor();
    return mask;
}

void DrawBitmap(HDC dc, const RECT& target, const TBitmap& bitmap, const RECT& source,
                const TBitmapMask& mask) {
    if (bitmap.Empty())
        return;
    Draw(dc, target, Split(bitmap, ClipToBitmap(bitmap, source), mask, std::nullopt));
}

void DrawBitmapShape(HDC dc, POINT at, const TBitmap& bitmap, const RECT& source,
                     const TBitmapMask& mask, TColor color) {
    if (bitmap.Empty())
        return;
    const TMaskedRows rows = Split(bitmap, ClipToBitmap(bitmap, source), mask, color);
    Draw(dc, {at.x, at.y, at.x + rows.Width, at.y + rows.Height}, rows);
}

} // namespace kalvo
