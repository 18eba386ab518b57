#include "app/framework/controls/bit_btn.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_paint.h"
#include "app/framework/controls/control_properties.h"
#include "imaging/bmp_codec.h"

#include <algorithm>

namespace kalvo {

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style = (params.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(TBitmap glyph) {
    glyph_ = std::move(glyph);
    Invalidate();
}

void TBitBtn::LoadGlyph(std::span<const std::uint8_t> bmp) {
    SetGlyph(ReadBMP(bmp));
}

void TBitBtn::SetNumGlyphs(int count) {
    num_glyphs_ = std::clamp(count, 1, 4);
    Invalidate();
}

void TBitBtn::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;

    // The default button, and the one with the keyboard, wear a dark outer line.
    if (Default() || focused) {
        HBRUSH frame = CreateSolidBrush(ColorToRGB(SystemColor(scWindowFrame)));
        FrameRect(dc, &rect, frame);
        DeleteObject(frame);
        InflateRect(&rect, -1, -1);
    }
    if (pressed && (Default() || focused)) {
        // A pressed default button is flat, with a shadow line inside the dark one.
        HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
        FrameRect(dc, &rect, shadow);
        DeleteObject(shadow);
        RECT face = rect;
        InflateRect(&face, -1, -1);
        HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
        FillRect(dc, &face, brush);
        DeleteObject(brush);
    } else {
        DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }

    const TGlyphState state = !enabled ? gsDisabled : pressed ? gsPressed : gsUp;
    const POINT offset = pressed ? POINT{1, 1} : POINT{0, 0};
    DrawButtonFace(dc, rect, {&glyph_, num_glyphs_}, state, Text(), font_.Handle(), font_.Color(),
                   spacing_, offset);

    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void TBitBtn::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        message.Result = TRUE;
        return;
    case BM_SETSTYLE:
        // Whoever asks for a push button's style (Default, the dialog manager) keeps the
        // owner-drawn type; the default look is drawn from Default().
        message.WParam = (message.WParam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW;
        break;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button reports a double click instead of a second click; the second
        // press of a quick pair is a press like the first.
        message.Msg = WM_LBUTTONDOWN;
        break;
    default:
        break;
    }
    TButton::WndProc(message);
}

const TClassInfo& TBitBtn::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TBitBtn>("TBitBtn", &TButton::StaticClassInfo())
            .Creatable()
            .Property(BinaryProperty<TBitBtn>("Glyph", &TBitBtn::LoadGlyph))
            .Integer("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
            .Integer("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing)
            .Build();
    return info;
}

} // namespace kalvo
