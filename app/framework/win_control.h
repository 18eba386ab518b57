// TWinControl: a control with a window of its own. Its window procedure hands every message
// to the object's message chain (Perform); what the object leaves goes on to the window
// class's own procedure, so controls over the system classes keep all their behaviour.
// It also parents other controls: it creates their windows, paints its windowless children,
// routes mouse messages to them, aligns and anchors children and hands notifications that
// child windows send back to the child they concern.
// TCustomControl: a windowed control of the framework's own class that paints itself.
#pragma once

#include "app/framework/control.h"

#include <windows.h>

namespace kalvo {

struct TCreateParams {
    std::wstring ClassName; // a system class, or empty for the framework's own
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    int ControlId = 0; // child windows: the identifier notifications carry
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // The window, made (with its parent's and its children's) when first asked for.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void DestroyHandle();
    // The control a window of this process belongs to, or nullptr.
    static TWinControl* FromHandle(HWND window);

    // Children, windowed and windowless, from the back of the z-order to the front.
    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // Moves a child to the end of Controls (see TControl::BringToFront).
    void MoveControlToFront(TControl* control);
    // Lays out the children that have an Align.
    void Realign();

    bool TabStop = false;
    // The place in its parent's Tab sequence: sibling windows stack in this order (equal
    // numbers keep the order the controls were added in), which is the order the dialog
    // keyboard follows.
    int TabOrder() const { return tab_order_; }
    void SetTabOrder(int order);
    bool Focused() const;
    void SetFocus();

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    std::wstring Text() const override;
    void Invalidate() override;
    void Repaint() override;

    // Called on this control and each of its ancestors when `control` (with everything in
    // it) leaves this control, so that nothing keeps pointing at it.
    virtual void ControlRemoved(TControl* control) { (void)control; }

    // The windowless child at a point of the client area, or nullptr.
    TControl* GraphicControlAt(POINT point) const;

protected:
    virtual void CreateParams(TCreateParams& params);
    // After the window exists: font, text and state are given to it.
    virtual void CreateWnd();
    // Makes the window again, for styles a live window cannot take; the text and what the
    // control keeps in the object carry over. Does nothing while there is no window.
    void RecreateWnd();
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    // Own-class windows: the background (erased in Color) and the windowless children.
    virtual void PaintWindow(HDC dc) { (void)dc; }
    void PaintControls(HDC dc);
    bool OwnClass() const { return own_class_; }
    // The window if it exists, else nullptr, without making it: for queries of const members.
    HWND WindowHandle() const { return handle_; }

private:
    static LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
    void Attach(HWND window);
    void RouteMouse(TMessage& message);
    void ArrangeTabOrder();
    void AnchorChildren(int old_width, int old_height);

    HWND handle_ = nullptr;
    WNDPROC default_proc_ = nullptr;
    bool own_class_ = false;
    std::vector<TControl*> controls_;
    TControl* mouse_control_ = nullptr;   // windowless child under the mouse
    TControl* capture_control_ = nullptr; // windowless child that got a button down
    bool tracking_mouse_ = false;
    int tab_order_ = 0;
    HBRUSH brush_ = nullptr;
};

class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

protected:
    void PaintWindow(HDC dc) override { Paint(dc); }
    virtual void Paint(HDC dc) { (void)dc; }
};

} // namespace kalvo
