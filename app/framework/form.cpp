#include "app/framework/form.h"

#include "app/framework/application.h"

#include <algorithm>
#include <vector>

namespace kalvo {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    visible_ = false;
    parent_font_ = false;
    width_ = 320;
    height_ = 240;
}

TForm::~TForm() {
    SetState(csDestroying, true);
    if (OnDestroy)
        OnDestroy(this);
    if (Application)
        Application->FormDestroyed(this);
}

namespace {

bool Within(const TControl* control, const TControl* container) {
    for (; control; control = control->Parent())
        if (control == container)
            return true;
    return false;
}

} // namespace

void TForm::ControlRemoved(TControl* control) {
    if (Within(DefaultControl, control))
        DefaultControl = nullptr;
    if (Within(CancelControl, control))
        CancelControl = nullptr;
}

void TForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    params.ControlId = 0;
    switch (BorderStyle) {
    case bsNone:
        params.Style |= WS_POPUP;
        break;
    case bsSingle:
        params.Style |= WS_OVERLAPPED | WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        params.Style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | WS_DLGFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.Style |= WS_OVERLAPPED | WS_CAPTION | WS_BORDER;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (BorderStyle != bsNone && (BorderIcons & biSystemMenu)) {
        params.Style |= WS_SYSMENU;
        if (BorderStyle != bsDialog && BorderStyle != bsToolWindow) {
            if (BorderIcons & biMinimize)
                params.Style |= WS_MINIMIZEBOX;
            if (BorderIcons & biMaximize)
                params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (FormStyle == fsStayOnTop)
        params.ExStyle |= WS_EX_TOPMOST;
}

void TForm::SetFormStyle(TFormStyle style) {
    FormStyle = style;
    if (HandleAllocated())
        SetWindowPos(Handle(), style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Before the window exists, the client area is the bounds less the frame its style gives.
RECT TForm::ClientRect() const {
    if (HandleAllocated())
        return TWinControl::ClientRect();
    TCreateParams params;
    const_cast<TForm*>(this)->CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    return {0, 0, std::max(0L, LONG(width_) - (frame.right - frame.left)),
            std::max(0L, LONG(height_) - (frame.bottom - frame.top))};
}

int TForm::ClientWidth() const {
    const RECT client = ClientRect();
    return client.right - client.left;
}

int TForm::ClientHeight() const {
    const RECT client = ClientRect();
    return client.bottom - client.top;
}

void TForm::SetClientSize(int width, int height) {
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    SetBounds(left_, top_, frame.right - frame.left, frame.bottom - frame.top);
}

void TForm::Show() {
    HWND window = Handle();
    if (Position == poScreenCenter)
        SetBounds((GetSystemMetrics(SM_CXSCREEN) - width_) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - height_) / 2, width_, height_);
    // OnShow runs before the window becomes visible. An error in it is shown in the standard
    // error box, and the window still comes up, so that the user can close it.
    if (OnShow) {
        try {
            OnShow(this);
        } catch (...) {
            HandleFrameworkException(std::current_exception());
        }
    }
    visible_ = true;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
}

void TForm::Hide() {
    visible_ = false;
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
}

void TForm::Close() {
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (modal_) {
        if (ModalResult == mrNone)
            ModalResult = mrCancel;
        return;
    }
    Hide();
    if (Application && Application->MainForm() == this)
        Application->Terminate();
}

namespace {

BOOL CALLBACK CollectEnabled(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

} // namespace

int TForm::ShowModal() {
    // The form belongs to the window it blocks: it stays above it and gives it back the
    // activation when it closes.
    HWND owner = GetActiveWindow();
    if (owner && owner != Handle())
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, LONG_PTR(owner));
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, LPARAM(&disabled));
    for (HWND window : disabled)
        if (window != Handle())
            EnableWindow(window, FALSE);
    const auto restore = [&] {
        for (HWND window : disabled)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        modal_ = false;
        Hide();
    };
    modal_ = true;
    ModalResult = mrNone;
    bool quit = false;
    try {
        Show();
        while (ModalResult == mrNone && Visible()) {
            if (Application) {
                if (Application->Terminated() ||
                    (!Application->HandleMessage(true) && Application->Terminated())) {
                    quit = true;
                    break;
                }
                continue;
            }
            MSG msg;
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
                quit = true;
                break;
            }
            if (!IsDialogMessageW(Handle(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    if (quit)
        PostQuitMessage(0); // the outer loop ends too
    return ModalResult;
}

// Back to the control that had the keyboard, else to the first that takes it.
void TForm::SetActiveControl(TWinControl* control) {
    last_focus_ = control ? control->Handle() : nullptr;
    if (last_focus_ && HandleAllocated() && GetActiveWindow() == Handle())
        ::SetFocus(last_focus_);
}

void TForm::RestoreFocus() {
    HWND target = last_focus_;
    if (!target || !IsWindow(target) || !IsChild(Handle(), target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target))
        target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target && target != Handle())
        ::SetFocus(target);
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            last_focus_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
        }
        break;
    case WM_SETFOCUS:
        // The keyboard goes where it was, or to the first control that takes it, as in a
        // dialog.
        RestoreFocus();
        if (GetFocus() != Handle())
            return;
        break;
    case DM_GETDEFID:
        if (auto* button = dynamic_cast<TWinControl*>(DefaultControl);
            button && button->HandleAllocated() && button->Showing() && button->Enabled()) {
            message.Result = MAKELRESULT(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
            return;
        }
        break;
    case WM_COMMAND:
        // Escape (and Enter without a default button) come from the dialog manager with no
        // control window.
        if (message.LParam == 0 && HIWORD(message.WParam) == 0) {
            TControl* target = LOWORD(message.WParam) == IDCANCEL ? CancelControl
                               : LOWORD(message.WParam) == IDOK   ? DefaultControl
                                                                  : nullptr;
            if (target && target->Enabled() && target->Showing()) {
                target->Click();
                return;
            }
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

} // namespace kalvo
