// TControl: a visual component with a parent, bounds, text, font and colour, and a message
// procedure that can be hooked. TGraphicControl: a control without a window of its own,
// painted by its parent inside its bounds and given the mouse messages that fall there.
#pragma once

#include "app/framework/component.h"
#include "app/framework/font.h"
#include "app/framework/messages.h"

#include <memory>
#include <string>
#include <vector>

namespace kalvo {

class TWinControl;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : std::uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = std::uint8_t;

// One hook of a control's message chain: it sees the message first and calls `next` to pass
// it on (or not, to swallow it).
using TWndHook = std::function<void(TMessage& message, const TWndMethod& next)>;
using THookId = int;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual RECT ClientRect() const { return {0, 0, width_, height_}; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Visible and every parent visible.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The caption or text, depending on the control.
    virtual std::wstring Text() const { return text_; }
    void SetText(const std::wstring& text);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool ParentFont() const { return parent_font_; }
    void SetParentFont(bool parent_font);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parent_color_; }
    void SetParentColor(bool parent_color);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors anchors) { anchors_ = anchors; }
    std::intptr_t Tag = 0;

    // The message chain. Perform sends a message through every hook, newest first, and then
    // to WndProc; it works whether or not the control has a window.
    LRESULT Perform(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
    void Dispatch(TMessage& message);
    // Hooks may be removed in any order; a removed hook sees no further message, and the
    // others keep seeing every one.
    THookId HookWindowProc(TWndHook hook);
    void UnhookWindowProc(THookId id);

    // Puts the control in front of its siblings: last in its parent's Controls and, for a
    // window, at the top of the window manager's order.
    void BringToFront();

    // Paints again: Invalidate marks for the next paint, Repaint paints at once.
    virtual void Invalidate();
    virtual void Repaint();

    virtual void Click();
    TNotifyEvent OnClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    bool MouseInControl() const { return mouse_in_control_; }

protected:
    // The control's own handling of a message; ends in DefaultHandler for what it leaves.
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message) { (void)message; }
    // Raises OnChange.
    virtual void Changed();
    // Called when the inherited font or colour changes.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void TextChanged() {}

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::wstring text_;
    TFont font_;
    bool parent_font_ = true;
    TColor color_ = clBtnFace;
    bool parent_color_ = false;
    TAlign align_ = alNone;
    TAnchors anchors_ = akLeft | akTop;
    bool mouse_in_control_ = false;

private:
    struct THook {
        THookId Id;
        TWndHook Function;
        bool Removed = false;
    };
    void DispatchFrom(TMessage& message, const std::vector<std::shared_ptr<THook>>& chain,
                      std::size_t index);

    std::vector<std::shared_ptr<THook>> hooks_;
    THookId next_hook_id_ = 1;
    bool applying_parent_font_ = false;
};

class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    void Invalidate() override;
    void Repaint() override;
    // Paints the control with the parent's DC, the origin moved to the control's top-left
    // and the clip limited to its bounds.
    void PaintTo(HDC dc);

protected:
    void WndProc(TMessage& message) override;
    virtual void Paint(HDC dc) { (void)dc; }

private:
    bool pressed_ = false; // the left button went down on the control
};

} // namespace kalvo
