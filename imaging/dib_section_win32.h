// Bitmaps whose pixels live in a GDI DIB section: GDI can draw into them (select the handle
// into a memory DC) and blit from them, while painters keep using ScanLine on the same memory.
// Call GdiFlush before reading pixels that GDI has just drawn.
#pragma once

#include "imaging/bitmap.h"

#include <windows.h>

namespace kalvo {

// A zeroed bitmap in a new DIB section. Bottom-up is GDI's usual layout.
TBitmap CreateDIBBitmap(int width, int height, TPixelFormat format, TRowOrder order = roBottomUp);

// The DIB section of a bitmap made by CreateDIBBitmap (or grown from one), else nullptr.
HBITMAP DIBHandle(const TBitmap& bitmap);

// A DIB-backed copy of any bitmap, with its flags.
TBitmap ToDIBBitmap(const TBitmap& bitmap, TRowOrder order = roBottomUp);

} // namespace kalvo
