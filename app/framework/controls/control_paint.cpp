#include "app/framework/controls/control_paint.h"

#include <algorithm>

namespace kalvo {

void DrawControlText(HDC dc, const std::wstring& text, RECT rect, UINT format, TColor color,
                     bool enabled) {
    const int old_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color = GetTextColor(dc);
    if (enabled) {
        SetTextColor(dc, ColorToRGB(color));
        DrawTextW(dc, text.c_str(), int(text.size()), &rect, format);
    } else {
        RECT light = rect;
        OffsetRect(&light, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawTextW(dc, text.c_str(), int(text.size()), &light, format);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
        DrawTextW(dc, text.c_str(), int(text.size()), &rect, format);
    }
    SetTextColor(dc, old_color);
    SetBkMode(dc, old_mode);
}

SIZE MeasureText(HFONT font, const std::wstring& text, UINT format, int width) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old_font = SelectObject(dc, font);
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &rect, format | DT_CALCRECT);
    SelectObject(dc, old_font);
    ReleaseDC(nullptr, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TBitmapMask GlyphMask(const TBitmap& bitmap) {
    TBitmapMask mask;
    if (bitmap.Transparent())
        mask.Key = bitmap.TransparentColor();
    else if (!bitmap.Empty())
        mask.Key = bitmap.Pixel(0, bitmap.Height() - 1);
    return mask;
}

void DrawButtonFace(HDC dc, const RECT& area, const TButtonGlyph& glyph, TGlyphState state,
                    const std::wstring& caption, HFONT font, TColor font_color, int spacing,
                    POINT offset) {
    const TBitmap* bitmap = glyph.Bitmap && !glyph.Bitmap->Empty() ? glyph.Bitmap : nullptr;
    const int count = std::clamp(glyph.NumGlyphs, 1, 4);
    const int glyph_width = bitmap ? bitmap->Width() / count : 0;
    const int glyph_height = bitmap ? bitmap->Height() : 0;

    HGDIOBJ old_font = SelectObject(dc, font);
    constexpr UINT Format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    SIZE text{0, 0};
    if (!caption.empty()) {
        RECT measure{0, 0, 0, 0};
        DrawTextW(dc, caption.c_str(), int(caption.size()), &measure, Format | DT_CALCRECT);
        text = {measure.right - measure.left, measure.bottom - measure.top};
    }
    const int gap = glyph_width > 0 && text.cx > 0 ? spacing : 0;
    const int total = glyph_width + gap + text.cx;
    const int x = area.left + (area.right - area.left - total) / 2 + offset.x;
    const bool enabled = state != gsDisabled;

    if (bitmap && glyph_width > 0) {
        const int y = area.top + (area.bottom - area.top - glyph_height) / 2 + offset.y;
        const TBitmapMask mask = GlyphMask(*bitmap);
        // Images beyond the ones the bitmap holds fall back to the first.
        const int index = int(state) < count ? int(state) : 0;
        const RECT source{index * glyph_width, 0, (index + 1) * glyph_width, glyph_height};
        if (!enabled && index == 0) {
            DrawBitmapShape(dc, {x + 1, y + 1}, *bitmap, source, mask, clBtnHighlight);
            DrawBitmapShape(dc, {x, y}, *bitmap, source, mask, clBtnShadow);
        } else {
            DrawBitmap(dc, {x, y, x + glyph_width, y + glyph_height}, *bitmap, source, mask);
        }
    }
    if (text.cx > 0) {
        RECT rect{x + glyph_width + gap, area.top + offset.y, x + total + 1,
                  area.bottom + offset.y};
        DrawControlText(dc, caption, rect, Format, font_color, enabled);
    }
    SelectObject(dc, old_font);
}

} // namespace kalvo
