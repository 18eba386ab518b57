// Painting shared by the controls the framework draws itself: text that can be shown
// disabled, and the inside of buttons with a glyph beside the caption.
#pragma once

#include "app/framework/controls/bitmap_paint.h"

#include <cstdint>
#include <string>
#include <windows.h>

namespace kalvo {

// Draws text with DrawTextW in the DC's font, with a transparent background. Disabled text is
// drawn embossed: once in the highlight colour one pixel down and right, then in the shadow
// colour, as the system shows disabled captions.
void DrawControlText(HDC dc, const std::wstring& text, RECT rect, UINT format, TColor color,
                     bool enabled);

// The size DrawTextW gives the text in a font (DT_CALCRECT); for word wrapping, `width` is the
// width to wrap in.
SIZE MeasureText(HFONT font, const std::wstring& text, UINT format, int width = 0);

// Images in a button glyph, side by side in one bitmap, in this order.
enum TGlyphState : std::uint8_t { gsUp, gsDisabled, gsPressed, gsDown };

struct TButtonGlyph {
    const TBitmap* Bitmap = nullptr; // null or empty: no glyph
    int NumGlyphs = 1;               // 1 to 4 images side by side
};

// A glyph's transparent colour: its own when the bitmap is marked transparent, otherwise the
// colour of its bottom-left pixel.
TBitmapMask GlyphMask(const TBitmap& bitmap);

// The inside of a button: the glyph left of the caption, the pair centred in `area` and moved
// by `offset` (a pressed button moves its face one pixel down and right). A disabled button
// without an image of its own for that state shows its glyph's shape embossed.
void DrawButtonFace(HDC dc, const RECT& area, const TButtonGlyph& glyph, TGlyphState state,
                    const std::wstring& caption, HFONT font, TColor font_color, int spacing,
                    POINT offset);

} // namespace kalvo
