#include "app/framework/controls/panel.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_paint.h"

#include <algorithm>

namespace kalvo {

namespace {

void DrawBevel(HDC dc, RECT& rect, TPanelBevel bevel, int width) {
    if (bevel == bvNone)
        return;
    // One line of highlight and shadow per step, inwards.
    const UINT edge = bevel == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER;
    for (int i = 0; i < width; ++i)
        DrawEdge(dc, &rect, edge, BF_RECT | BF_ADJUST);
}

} // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

int TPanel::BevelSize() const {
    return ((bevel_outer_ != bvNone) + (bevel_inner_ != bvNone)) * bevel_width_;
}

RECT TPanel::ClientRect() const {
    RECT client = TCustomControl::ClientRect();
    const int size = std::min(
        {BevelSize(), int(client.right - client.left) / 2, int(client.bottom - client.top) / 2});
    InflateRect(&client, -size, -size);
    return client;
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevel_outer_ = bevel;
    Invalidate();
    Realign();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    bevel_inner_ = bevel;
    Invalidate();
    Realign();
}

void TPanel::SetBevelWidth(int width) {
    bevel_width_ = std::max(width, 1);
    Invalidate();
    Realign();
}

void TPanel::Paint(HDC dc) {
    RECT rect = TCustomControl::ClientRect();
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    DrawBevel(dc, rect, bevel_outer_, bevel_width_);
    DrawBevel(dc, rect, bevel_inner_, bevel_width_);
    const std::wstring caption = Text();
    if (!caption.empty()) {
        HGDIOBJ old_font = SelectObject(dc, font_.Handle());
        DrawControlText(dc, caption, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, font_.Color(),
                        enabled_);
        SelectObject(dc, old_font);
    }
}

void TPanel::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE:
        // The bevels and the centred caption move with the size.
        Invalidate();
        break;
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

const TClassInfo& TPanel::StaticClassInfo() {
    static const TEnumInfo BevelNames{
        {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}}};
    static const TClassInfo info =
        TClassBuilder<TPanel>("TPanel", &TCustomControl::StaticClassInfo())
            .Creatable()
            .Enum("BevelOuter", BevelNames, &TPanel::BevelOuter, &TPanel::SetBevelOuter)
            .Enum("BevelInner", BevelNames, &TPanel::BevelInner, &TPanel::SetBevelInner)
            .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
            .Build();
    return info;
}

} // namespace kalvo
