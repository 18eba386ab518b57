#include "app/framework/win_control.h"

#include "app/framework/application.h"

#include <algorithm>
#include <stdexcept>
#include <windowsx.h>

namespace kalvo {

namespace {

constexpr wchar_t OwnClassName[] = L"KalvoWindow";
constexpr wchar_t ObjectProperty[] = L"KalvoControl";

void RegisterOwnClass() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW; // replaced per window in Attach
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = OwnClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("cannot register the framework's window class");
    registered = true;
}

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
           msg != WM_MOUSEHWHEEL;
}

} // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    SetState(csDestroying, true);
    // Children that belong to other owners lose their parent, not their life.
    while (!controls_.empty())
        controls_.back()->SetParent(nullptr);
    DestroyHandle();
    if (brush_)
        DeleteObject(brush_);
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropW(window, ObjectProperty)) : nullptr;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_)
        params.Style |= WS_VISIBLE;
    if (!enabled_)
        params.Style |= WS_DISABLED;
    if (TabStop)
        params.Style |= WS_TABSTOP;
    params.X = left_;
    params.Y = top_;
    params.Width = width_;
    params.Height = height_;
    static int next_id = 1000;
    params.ControlId = next_id++;
}

HWND TWinControl::Handle() {
    if (handle_)
        return handle_;
    TCreateParams params;
    CreateParams(params);
    if (params.Style & WS_CHILD) {
        if (!parent_)
            throw std::logic_error(std::string("control ") + Name() + " has no parent window");
        params.WndParent = parent_->Handle();
        // Making the parent's window makes its children's, this one's among them.
        if (handle_)
            return handle_;
    }
    own_class_ = params.ClassName.empty();
    if (own_class_) {
        RegisterOwnClass();
        params.ClassName = OwnClassName;
    }
    HWND window = CreateWindowExW(
        params.ExStyle, params.ClassName.c_str(), text_.c_str(), params.Style, params.X, params.Y,
        params.Width, params.Height, params.WndParent,
        (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(INT_PTR(params.ControlId)) : nullptr,
        GetModuleHandleW(nullptr), nullptr);
    if (!window)
        throw std::runtime_error(std::string("cannot create the window of ") + Name());
    Attach(window);
    CreateWnd();
    return handle_;
}

void TWinControl::Attach(HWND window) {
    handle_ = window;
    SetPropW(window, ObjectProperty, this);
    default_proc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
}

void TWinControl::CreateWnd() {
    SendMessageW(handle_, WM_SETFONT, WPARAM(font_.Handle()), FALSE);
    // The window may have changed the size it was asked for (a combo box does).
    RECT bounds;
    GetWindowRect(handle_, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&bounds), 2);
    if (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) {
        left_ = bounds.left;
        top_ = bounds.top;
        width_ = bounds.right - bounds.left;
        height_ = bounds.bottom - bounds.top;
    }
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control))
            child->HandleNeeded();
    ArrangeTabOrder();
    Realign();
}

void TWinControl::DestroyHandle() {
    if (!handle_)
        return;
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control))
            child->DestroyHandle();
    // What the user typed stays with the object, for a window made again later.
    if (!HasState(csDestroying))
        text_ = Text();
    HWND window = handle_;
    DestroyWindow(window);
    handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
    if (!handle_)
        return;
    HWND before = GetWindow(handle_, GW_HWNDPREV);
    const bool focused = GetFocus() == handle_;
    DestroyHandle();
    HWND window = Handle();
    // The new window takes the old one's place among its siblings.
    SetWindowPos(window, before ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused)
        ::SetFocus(window);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    TWinControl* control = FromHandle(window);
    if (!control)
        return DefWindowProcW(window, msg, wparam, lparam);
    WNDPROC default_proc = control->default_proc_;
    if (msg == WM_NCDESTROY) {
        // The window is going: give the class its last message and forget the window.
        RemovePropW(window, ObjectProperty);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(default_proc));
        control->handle_ = nullptr;
        return CallWindowProcW(default_proc, window, msg, wparam, lparam);
    }
    TMessage message{msg, wparam, lparam, 0};
    // No exception may cross the system's frames: it ends the handler and is shown.
    try {
        control->Dispatch(message);
    } catch (...) {
        HandleFrameworkException(std::current_exception());
    }
    return message.Result;
}

void TWinControl::DefaultHandler(TMessage& message) {
    // The framework's own notifications mean nothing to a window class.
    if (message.Msg >= CM_BASE && message.Msg <= CM_LAST)
        return;
    if (handle_ && default_proc_)
        message.Result =
            CallWindowProcW(default_proc_, handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND:
        if (TWinControl* child = FromHandle(HWND(message.LParam)); child && child != this) {
            message.Result = child->Perform(CN_COMMAND, message.WParam, message.LParam);
            return;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (TWinControl* child = header ? FromHandle(header->hwndFrom) : nullptr;
            child && child != this) {
            message.Result = child->Perform(CN_NOTIFY, message.WParam, message.LParam);
            return;
        }
        break;
    }
    case WM_DRAWITEM: {
        // Owner-drawn child windows paint themselves; menus are not windows of ours.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
        if (TWinControl* child =
                item && item->CtlType != ODT_MENU ? FromHandle(item->hwndItem) : nullptr;
            child && child != this) {
            message.Result = child->Perform(CN_DRAWITEM, message.WParam, message.LParam);
            return;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (TWinControl* child = FromHandle(HWND(message.LParam)); child && child != this) {
            message.Result = child->Perform(CN_CTLCOLOR, message.WParam, message.LParam);
            if (message.Result)
                return;
        }
        break;
    case CN_CTLCOLOR: {
        // The colours a system control is painted with: our font colour and Color.
        HDC dc = HDC(message.WParam);
        SetTextColor(dc, ColorToRGB(font_.Color()));
        SetBkColor(dc, ColorToRGB(color_));
        if (!brush_)
            brush_ = CreateSolidBrush(ColorToRGB(color_));
        message.Result = LRESULT(brush_);
        return;
    }
    case WM_ERASEBKGND:
        if (own_class_) {
            RECT client;
            GetClientRect(handle_, &client);
            HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
            FillRect(HDC(message.WParam), &client, brush);
            DeleteObject(brush);
            message.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        if (own_class_) {
            PAINTSTRUCT ps;
            HDC dc = message.WParam ? HDC(message.WParam) : BeginPaint(handle_, &ps);
            try {
                PaintWindow(dc);
                PaintControls(dc);
            } catch (...) {
                if (!message.WParam)
                    EndPaint(handle_, &ps);
                throw;
            }
            if (!message.WParam)
                EndPaint(handle_, &ps);
            return;
        }
        break;
    case WM_SIZE:
        if (!(GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD)) {
            // A top-level window changes size by the user's hand too.
            RECT bounds;
            GetWindowRect(handle_, &bounds);
            const int old_width = width_;
            const int old_height = height_;
            width_ = bounds.right - bounds.left;
            height_ = bounds.bottom - bounds.top;
            if (width_ != old_width || height_ != old_height)
                AnchorChildren(old_width, old_height);
        }
        Realign();
        break;
    case WM_CAPTURECHANGED:
        // Capture taken away (a message box, say): the windowless control that had the
        // button down hears of it and stops waiting for the release.
        if (capture_control_ && HWND(message.LParam) != handle_) {
            TControl* lost = capture_control_;
            capture_control_ = nullptr;
            lost->Perform(WM_CAPTURECHANGED, message.WParam, message.LParam);
        }
        break;
    case WM_MOUSELEAVE:
        tracking_mouse_ = false;
        if (mouse_control_) {
            mouse_control_->Perform(CM_MOUSELEAVE);
            mouse_control_ = nullptr;
        }
        Perform(CM_MOUSELEAVE);
        break;
    case CM_ENABLEDCHANGED:
        if (handle_)
            EnableWindow(handle_, enabled_);
        break;
    case CM_VISIBLECHANGED:
        if (handle_)
            ShowWindow(handle_, visible_ ? SW_SHOWNA : SW_HIDE);
        break;
    case CM_TEXTCHANGED:
        if (handle_)
            SetWindowTextW(handle_, text_.c_str());
        break;
    case CM_FONTCHANGED:
        if (handle_)
            SendMessageW(handle_, WM_SETFONT, WPARAM(font_.Handle()), TRUE);
        for (TControl* control : controls_)
            control->Perform(CM_PARENTFONTCHANGED);
        break;
    case CM_COLORCHANGED:
        if (brush_) {
            DeleteObject(brush_);
            brush_ = nullptr;
        }
        for (TControl* control : controls_)
            control->Perform(CM_PARENTCOLORCHANGED);
        break;
    default:
        break;
    }
    if (IsMouseMessage(message.Msg)) {
        if (message.Msg == WM_MOUSEMOVE && !tracking_mouse_ && handle_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
            tracking_mouse_ = TrackMouseEvent(&track) != FALSE;
            Perform(CM_MOUSEENTER);
        }
        RouteMouse(message);
        if (message.Result)
            return;
    }
    TControl::WndProc(message);
}

// Mouse messages over a windowless child go to it, in its own coordinates; after a button
// goes down on one, it gets every mouse message until the button is released.
void TWinControl::RouteMouse(TMessage& message) {
    const POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    TControl* target = capture_control_ ? capture_control_ : GraphicControlAt(at);
    if (message.Msg == WM_MOUSEMOVE && target != mouse_control_ && !capture_control_) {
        if (mouse_control_)
            mouse_control_->Perform(CM_MOUSELEAVE);
        mouse_control_ = target;
        if (target)
            target->Perform(CM_MOUSEENTER);
    }
    if (!target)
        return;
    const bool down = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN ||
                      message.Msg == WM_MBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK;
    const bool up =
        message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
    if (down) {
        capture_control_ = target;
        SetCapture(handle_);
    }
    const LPARAM local = MAKELPARAM(at.x - target->Left(), at.y - target->Top());
    // Released before the control hears of the button-up: its handler may free this window.
    if (up && capture_control_) {
        capture_control_ = nullptr;
        ReleaseCapture();
    }
    message.Result = 1; // handled; the window's own procedure does not see it
    target->Perform(message.Msg, message.WParam, local);
}

TControl* TWinControl::GraphicControlAt(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        if (dynamic_cast<TWinControl*>(control) || !control->Visible() || !control->Enabled())
            continue;
        const RECT bounds = control->BoundsRect();
        if (PtInRect(&bounds, point))
            return control;
    }
    return nullptr;
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* control : controls_)
        if (auto* graphic = dynamic_cast<TGraphicControl*>(control); graphic && graphic->Visible())
            graphic->PaintTo(dc);
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (handle_)
        if (auto* child = dynamic_cast<TWinControl*>(control))
            child->HandleNeeded();
    control->Invalidate();
}

void TWinControl::MoveControlToFront(TControl* control) {
    const auto found = std::find(controls_.begin(), controls_.end(), control);
    if (found == controls_.end())
        return;
    std::rotate(found, found + 1, controls_.end());
    auto* child = dynamic_cast<TWinControl*>(control);
    if (child && child->handle_)
        SetWindowPos(child->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    // The control may be half destroyed: repaint its place here rather than through it.
    if (handle_) {
        const RECT bounds = control->BoundsRect();
        InvalidateRect(handle_, &bounds, TRUE);
    }
    for (TWinControl* ancestor = this; ancestor; ancestor = ancestor->Parent())
        ancestor->ControlRemoved(control);
    if (mouse_control_ == control)
        mouse_control_ = nullptr;
    if (capture_control_ == control)
        capture_control_ = nullptr;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (auto* child = dynamic_cast<TWinControl*>(control); child && !HasState(csDestroying))
        child->DestroyHandle();
}

void TWinControl::SetTabOrder(int order) {
    tab_order_ = order;
    if (parent_)
        parent_->ArrangeTabOrder();
}

void TWinControl::ArrangeTabOrder() {
    if (!handle_)
        return;
    std::vector<TWinControl*> windows;
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control); child && child->handle_)
            windows.push_back(child);
    std::stable_sort(
        windows.begin(), windows.end(),
        [](const TWinControl* a, const TWinControl* b) { return a->tab_order_ < b->tab_order_; });
    HWND after = HWND_TOP;
    for (TWinControl* child : windows) {
        SetWindowPos(child->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child->handle_;
    }
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    const int old_width = width_;
    const int old_height = height_;
    TControl::SetBounds(left, top, width, height);
    if (handle_)
        SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    if (width_ != old_width || height_ != old_height)
        AnchorChildren(old_width, old_height);
}

// Children anchored right or bottom keep their distance to that edge when this control
// changes size; anchored on both sides, they stretch.
void TWinControl::AnchorChildren(int old_width, int old_height) {
    const int dx = width_ - old_width;
    const int dy = height_ - old_height;
    for (TControl* control : controls_) {
        if (control->Align() != alNone)
            continue;
        const TAnchors anchors = control->Anchors();
        int left = control->Left(), top = control->Top();
        int width = control->Width(), height = control->Height();
        if (anchors & akRight) {
            if (anchors & akLeft)
                width += dx;
            else
                left += dx;
        }
        if (anchors & akBottom) {
            if (anchors & akTop)
                height += dy;
            else
                top += dy;
        }
        control->SetBounds(left, top, width, height);
    }
}

RECT TWinControl::ClientRect() const {
    RECT client{0, 0, width_, height_};
    if (handle_)
        GetClientRect(handle_, &client);
    return client;
}

void TWinControl::Realign() {
    RECT free = ClientRect();
    for (const TAlign pass : {alTop, alBottom, alLeft, alRight, alClient})
        for (TControl* control : controls_) {
            if (control->Align() != pass || !control->Visible())
                continue;
            const int w = control->Width(), h = control->Height();
            switch (pass) {
            case alTop:
                control->SetBounds(free.left, free.top, free.right - free.left, h);
                free.top += h;
                break;
            case alBottom:
                control->SetBounds(free.left, free.bottom - h, free.right - free.left, h);
                free.bottom -= h;
                break;
            case alLeft:
                control->SetBounds(free.left, free.top, w, free.bottom - free.top);
                free.left += w;
                break;
            case alRight:
                control->SetBounds(free.right - w, free.top, w, free.bottom - free.top);
                free.right -= w;
                break;
            default:
                control->SetBounds(free.left, free.top, free.right - free.left,
                                   free.bottom - free.top);
                break;
            }
        }
}

std::wstring TWinControl::Text() const {
    if (!handle_)
        return text_;
    std::wstring text(std::size_t(GetWindowTextLengthW(handle_)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(handle_, text.data(), int(text.size()))));
    return text;
}

void TWinControl::Invalidate() {
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
    if (handle_)
        RedrawWindow(handle_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

} // namespace kalvo
