// Drawing TBitmaps into device contexts, for the controls that show pictures and glyphs.
#pragma once

#include "imaging/bitmap.h"

#include <optional>
#include <windows.h>

namespace kalvo {

// Which pixels of a picture are left out when it is drawn: those of one colour (a glyph's
// or a transparent bitmap's key colour), and in 32-bit pictures those less than half opaque.
struct TBitmapMask {
    std::optional<TColor> Key;
};

// The mask a bitmap asks for with its own Transparent flag and colour.
TBitmapMask OwnMask(const TBitmap& bitmap);

// Draws the `source` part of a bitmap into `target`, stretched when the sizes differ (nearest
// pixel, so that enlarged pictures keep sharp edges). Pixels the mask leaves out keep what
// the DC shows. Only GDI raster operations are used, so any DC works.
void DrawBitmap(HDC dc, const RECT& target, const TBitmap& bitmap, const RECT& source,
                const TBitmapMask& mask);

// Draws the shape of a bitmap (every pixel the mask keeps) in one colour at `at`, unscaled:
// the parts of a disabled glyph.
void DrawBitmapShape(HDC dc, POINT at, const TBitmap& bitmap, const RECT& source,
                     const TBitmapMask& mask, TColor color);

} // namespace kalvo
