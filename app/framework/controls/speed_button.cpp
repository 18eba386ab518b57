#include "app/framework/controls/speed_button.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_paint.h"
#include "app/framework/controls/control_properties.h"
#include "imaging/bmp_codec.h"

#include <algorithm>
#include <windowsx.h>

namespace kalvo {

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    width_ = 23;
    height_ = 22;
}

void TSpeedButton::SetGlyph(TBitmap glyph) {
    glyph_ = std::move(glyph);
    Invalidate();
}

void TSpeedButton::LoadGlyph(std::span<const std::uint8_t> bmp) {
    SetGlyph(ReadBMP(bmp));
}

void TSpeedButton::SetNumGlyphs(int count) {
    num_glyphs_ = std::clamp(count, 1, 4);
    Invalidate();
}

void TSpeedButton::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

void TSpeedButton::SetFlat(bool flat) {
    flat_ = flat;
    Invalidate();
}

void TSpeedButton::SetPressed(bool pressed) {
    if (pressed == pressed_)
        return;
    pressed_ = pressed;
    Repaint();
}

void TSpeedButton::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (enabled_) {
            tracking_ = true;
            SetPressed(true);
        }
        break;
    case WM_MOUSEMOVE:
        if (tracking_) {
            const POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            const RECT client = ClientRect();
            SetPressed(PtInRect(&client, at) != FALSE);
        }
        break;
    case WM_LBUTTONUP: {
        // Up first: the click may open a window or a modal loop.
        const bool was_tracking = tracking_;
        tracking_ = false;
        SetPressed(false);
        // A release that follows no press on this button is no click.
        if (!was_tracking) {
            TControl::WndProc(message);
            return;
        }
        break;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(message);
        if (flat_)
            Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        tracking_ = false;
        pressed_ = false;
        break;
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(message);
}

void TSpeedButton::Paint(HDC dc) {
    RECT rect = ClientRect();
    HBRUSH face = CreateSolidBrush(ColorToRGB(color_));
    FillRect(dc, &rect, face);
    DeleteObject(face);
    if (pressed_) {
        DrawEdge(dc, &rect, flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    } else if (!flat_) {
        DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    } else if (mouse_in_control_ && enabled_) {
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    }
    InflateRect(&rect, -2, -2);
    const TGlyphState state = !enabled_ ? gsDisabled : pressed_ ? gsPressed : gsUp;
    DrawButtonFace(dc, rect, {&glyph_, num_glyphs_}, state, text_, font_.Handle(), font_.Color(),
                   spacing_, pressed_ ? POINT{1, 1} : POINT{0, 0});
}

const TClassInfo& TSpeedButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TSpeedButton>("TSpeedButton", &TGraphicControl::StaticClassInfo())
            .Creatable()
            .Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
            .Property(BinaryProperty<TSpeedButton>("Glyph", &TSpeedButton::LoadGlyph))
            .Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
            .Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing)
            .Build();
    return info;
}

} // namespace kalvo
