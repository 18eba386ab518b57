#include "app/framework/application.h"

#include "app/framework/form.h"
#include "app/framework/platform/text_convert.h"

#include <stdexcept>

namespace kalvo {

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) {
    if (!Application)
        Application = this;
}

TApplication::~TApplication() {
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
}

void TApplication::FormCreated(TForm* form) {
    if (!main_form_)
        main_form_ = form;
}

void TApplication::FormDestroyed(TForm* form) {
    if (main_form_ == form)
        main_form_ = nullptr;
}

void TApplication::Run() {
    if (!main_form_)
        return;
    main_form_->Show();
    // Until the quit message comes, which also takes it out of the queue.
    while (!terminated_)
        HandleMessage(true);
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::HandleMessage(bool wait) {
    MSG msg;
    if (wait) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            terminated_ = true;
            return false;
        }
    } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    if (OnMessage && OnMessage(msg))
        return true;
    // Tab, Enter and Escape work in every form as they do in dialogs.
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && TWinControl::FromHandle(root) && IsDialogMessageW(root, &msg))
        return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    while (HandleMessage(false)) {
    }
}

std::wstring ExceptionText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return Utf8ToWide(e.what());
    } catch (...) {
        return L"Unknown error.";
    }
}

int TApplication::ShowMessageBox(const std::wstring& text, UINT flags) {
    HWND owner = GetActiveWindow();
    if (!owner && main_form_ && main_form_->HandleAllocated())
        owner = main_form_->Handle();
    return MessageBoxW(owner, text.c_str(), title_.c_str(), flags);
}

void TApplication::HandleException(std::exception_ptr error) {
    const std::wstring text = ExceptionText(error);
    if (OnException) {
        OnException(text);
        return;
    }
    ShowMessageBox(text, MB_OK | MB_ICONERROR);
}

void HandleFrameworkException(std::exception_ptr error) {
    if (Application)
        Application->HandleException(error);
    else
        MessageBoxW(nullptr, ExceptionText(error).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

} // namespace kalvo
