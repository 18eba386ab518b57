#include "controls/s_custom_combo_edit.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/button.h"

namespace kalvo {

TsCustomComboEdit::TsCustomComboEdit(TComponent* owner) : TsEdit(owner) {
    button_ = new TButton(this);
    button_->SetName("Button");
    button_->TabStop = false;
    button_->SetText(L"...");
    button_->SetWidth(ButtonWidth);
    button_->SetAlign(alRight);
    button_->OnClick = [this](TComponent*) {
        ButtonClick();
        // A click gives the button the focus; typing belongs in the box.
        if (button_->Focused())
            SetFocus();
    };
    button_->SetParent(this);
}

void TsCustomComboEdit::SetDirectInput(bool direct_input) {
    direct_input_ = direct_input;
    ApplyReadOnly();
}

void TsCustomComboEdit::SetReadOnly(bool read_only) {
    read_only_ = read_only;
    ApplyReadOnly();
}

void TsCustomComboEdit::ApplyReadOnly() {
    TEdit::SetReadOnly(read_only_ || !direct_input_);
    UpdateButton();
}

// A button that would do nothing does not look as if it would.
void TsCustomComboEdit::UpdateButton() {
    button_->SetEnabled(Enabled() && !read_only_);
}

void TsCustomComboEdit::ButtonClick() {
    if (read_only_)
        return;
    if (OnButtonClick)
        OnButtonClick(this);
    ButtonAction();
}

void TsCustomComboEdit::UpdateMargins() {
    if (HWND window = WindowHandle())
        SendMessageW(window, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, ButtonWidth + 1));
}

void TsCustomComboEdit::CreateWnd() {
    TsEdit::CreateWnd();
    UpdateMargins();
}

void TsCustomComboEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SYSKEYDOWN:
        if (message.WParam == VK_DOWN) {
            ButtonClick();
            return;
        }
        break;
    case WM_SETFONT:
        // A new font resets the edit window's margins to the font's own.
        TsEdit::WndProc(message);
        UpdateMargins();
        return;
    case CM_ENABLEDCHANGED:
        UpdateButton();
        break;
    default:
        break;
    }
    TsEdit::WndProc(message);
}

const TClassInfo& TsCustomComboEdit::StaticClassInfo() {
    using E = TsCustomComboEdit;
    static const TClassInfo info = TClassBuilder<E>("TsCustomComboEdit", &TsEdit::StaticClassInfo())
                                       .Boolean("DirectInput", &E::DirectInput, &E::SetDirectInput)
                                       .Boolean("ReadOnly", &E::ReadOnly, &E::SetReadOnly)
                                       .Event("OnButtonClick", &E::OnButtonClick)
                                       .Build();
    return info;
}

} // namespace kalvo
