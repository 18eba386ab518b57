#include "app/framework/control.h"

#include "app/framework/win_control.h"

#include <algorithm>
#include <utility>
#include <windowsx.h>

namespace kalvo {

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this] {
        if (!applying_parent_font_)
            parent_font_ = false;
        Perform(CM_FONTCHANGED);
    };
}

TControl::~TControl() {
    SetState(csDestroying, true);
    if (parent_)
        parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_)
        return;
    if (parent_)
        parent_->RemoveControl(this);
    parent_ = nullptr;
    if (parent) {
        // Linked both ways first: inserting may make this control's window.
        parent_ = parent;
        parent->InsertControl(this);
        if (parent_font_)
            ParentFontChanged();
        if (parent_color_)
            ParentColorChanged();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    Invalidate();
    if (parent_ && align_ != alNone)
        parent_->Realign();
}

bool TControl::Showing() const {
    for (const TControl* control = this; control; control = control->parent_)
        if (!control->visible_)
            return false;
    return true;
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    if (!visible)
        Invalidate();
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible);
    if (visible)
        Invalidate();
    if (parent_ && align_ != alNone)
        parent_->Realign();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED, enabled);
    Invalidate();
}

void TControl::SetText(const std::wstring& text) {
    if (text == Text())
        return;
    text_ = text;
    TextChanged();
    Perform(CM_TEXTCHANGED);
    Invalidate();
}

void TControl::SetParentFont(bool parent_font) {
    parent_font_ = parent_font;
    if (parent_font)
        ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parent_ || !parent_font_)
        return;
    applying_parent_font_ = true;
    font_.Assign(parent_->Font());
    applying_parent_font_ = false;
}

void TControl::SetColor(TColor color) {
    parent_color_ = false;
    if (color == color_)
        return;
    color_ = color;
    Perform(CM_COLORCHANGED);
    Invalidate();
}

void TControl::SetParentColor(bool parent_color) {
    parent_color_ = parent_color;
    if (parent_color)
        ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parent_ || !parent_color_ || parent_->Color() == color_)
        return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
    Invalidate();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_)
        return;
    align_ = align;
    if (parent_)
        parent_->Realign();
}

LRESULT TControl::Perform(UINT msg, WPARAM wparam, LPARAM lparam) {
    TMessage message{msg, wparam, lparam, 0};
    Dispatch(message);
    return message.Result;
}

void TControl::Dispatch(TMessage& message) {
    // While the control is destroyed, what the hooks captured may be gone already.
    if (hooks_.empty() || HasState(csDestroying)) {
        WndProc(message);
        return;
    }
    // A snapshot: hooks added or removed while a message travels do not disturb it.
    const std::vector<std::shared_ptr<THook>> chain = hooks_;
    DispatchFrom(message, chain, chain.size());
}

void TControl::DispatchFrom(TMessage& message, const std::vector<std::shared_ptr<THook>>& chain,
                            std::size_t index) {
    while (index > 0 && chain[index - 1]->Removed)
        --index;
    if (index == 0) {
        WndProc(message);
        return;
    }
    const TWndMethod next = [this, &chain, index](TMessage& m) {
        DispatchFrom(m, chain, index - 1);
    };
    chain[index - 1]->Function(message, next);
}

THookId TControl::HookWindowProc(TWndHook hook) {
    const THookId id = next_hook_id_++;
    hooks_.push_back(std::make_shared<THook>(THook{id, std::move(hook)}));
    return id;
}

void TControl::UnhookWindowProc(THookId id) {
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it)
        if ((*it)->Id == id) {
            (*it)->Removed = true;
            hooks_.erase(it);
            return;
        }
}

void TControl::BringToFront() {
    if (parent_)
        parent_->MoveControlToFront(this);
}

void TControl::Invalidate() {}

void TControl::Repaint() {}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::Changed() {
    if (OnChange)
        OnChange(this);
}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_MOUSEENTER:
        mouse_in_control_ = true;
        if (OnMouseEnter)
            OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        mouse_in_control_ = false;
        if (OnMouseLeave)
            OnMouseLeave(this);
        break;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        break;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        break;
    default:
        break;
    }
    DefaultHandler(message);
}

void TGraphicControl::Invalidate() {
    if (parent_ && parent_->HandleAllocated()) {
        const RECT bounds = BoundsRect();
        InvalidateRect(parent_->Handle(), &bounds, TRUE);
    }
}

void TGraphicControl::Repaint() {
    Invalidate();
    if (parent_ && parent_->HandleAllocated())
        UpdateWindow(parent_->Handle());
}

void TGraphicControl::PaintTo(HDC dc) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    POINT origin;
    OffsetViewportOrgEx(dc, left_, top_, &origin);
    try {
        Perform(WM_PAINT, WPARAM(dc));
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT && message.WParam) {
        Paint(HDC(message.WParam));
        return;
    }
    // A click is a press and a release on the control.
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK)
        pressed_ = true;
    if (message.Msg == WM_CAPTURECHANGED)
        pressed_ = false;
    if (message.Msg == WM_LBUTTONUP) {
        const bool was_pressed = std::exchange(pressed_, false);
        const POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        const RECT client = ClientRect();
        TControl::WndProc(message);
        if (was_pressed && enabled_ && PtInRect(&client, at))
            Click();
        return;
    }
    TControl::WndProc(message);
}

} // namespace kalvo
