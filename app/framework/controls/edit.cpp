#include "app/framework/controls/edit.h"

#include "app/framework/class_info.h"

#include <algorithm>

namespace kalvo {

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    color_ = clWindow;
    width_ = 121;
    height_ = 21;
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"EDIT";
    params.Style |= ES_LEFT | ES_AUTOHSCROLL;
    if (read_only_)
        params.Style |= ES_READONLY;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(WindowHandle(), EM_LIMITTEXT, WPARAM(max_length_), 0);
}

void TEdit::SetMaxLength(int length) {
    max_length_ = std::max(length, 0);
    if (HWND window = WindowHandle())
        SendMessageW(window, EM_LIMITTEXT, WPARAM(max_length_), 0);
}

void TEdit::SetReadOnly(bool read_only) {
    read_only_ = read_only;
    if (HWND window = WindowHandle())
        SendMessageW(window, EM_SETREADONLY, read_only, 0);
}

void TEdit::SelectAll() {
    if (HWND window = WindowHandle())
        SendMessageW(window, EM_SETSEL, 0, -1);
}

// With a window, the window's own notification raises OnChange (for typing and for SetText
// alike); without one, the new text is the change.
void TEdit::TextChanged() {
    if (!HandleAllocated())
        Changed();
}

void TEdit::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        Changed();
        return;
    }
    TWinControl::WndProc(message);
}

const TClassInfo& TEdit::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TEdit>("TEdit", &TWinControl::StaticClassInfo())
            .Creatable()
            .Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
            .Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
            .Build();
    return info;
}

} // namespace kalvo
