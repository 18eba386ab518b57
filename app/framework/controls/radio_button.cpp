#include "app/framework/controls/radio_button.h"

#include "app/framework/class_info.h"

namespace kalvo {

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    parent_color_ = true;
    width_ = 113;
    height_ = 17;
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(WindowHandle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadioButton::Checked() const {
    if (HWND window = WindowHandle())
        return (SendMessageW(window, BM_GETCHECK, 0, 0) & BST_CHECKED) != 0;
    return checked_;
}

void TRadioButton::SetChecked(bool checked) {
    checked_ = checked;
    if (HWND window = WindowHandle())
        SendMessageW(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked)
        UncheckSiblings();
}

void TRadioButton::UncheckSiblings() {
    if (!parent_)
        return;
    for (TControl* control : parent_->Controls())
        if (auto* sibling = dynamic_cast<TRadioButton*>(control);
            sibling && sibling != this && sibling->Checked())
            sibling->SetChecked(false);
}

void TRadioButton::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) {
            if (!Checked()) {
                SetChecked(true);
                Click();
            }
            return;
        }
        break;
    case WM_DESTROY:
        checked_ = Checked();
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

const TClassInfo& TRadioButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TRadioButton>("TRadioButton", &TWinControl::StaticClassInfo())
            .Creatable()
            .Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked)
            .Build();
    return info;
}

} // namespace kalvo
