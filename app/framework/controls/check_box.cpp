#include "app/framework/controls/check_box.h"

#include "app/framework/class_info.h"

namespace kalvo {

namespace {

TCheckBoxState FromButtonState(LRESULT state) {
    if (state & BST_INDETERMINATE)
        return cbGrayed;
    return (state & BST_CHECKED) ? cbChecked : cbUnchecked;
}

WPARAM ToButtonState(TCheckBoxState state) {
    return state == cbGrayed ? BST_INDETERMINATE : state == cbChecked ? BST_CHECKED : BST_UNCHECKED;
}

} // namespace

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    parent_color_ = true;
    width_ = 97;
    height_ = 17;
}

DWORD TCheckBox::ButtonStyle() const {
    return allow_grayed_ ? BS_AUTO3STATE : BS_AUTOCHECKBOX;
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.Style |= ButtonStyle();
}

void TCheckBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(WindowHandle(), BM_SETCHECK, ToButtonState(state_), 0);
}

TCheckBoxState TCheckBox::CheckState() const {
    if (HWND window = WindowHandle())
        return FromButtonState(SendMessageW(window, BM_GETCHECK, 0, 0));
    return state_;
}

void TCheckBox::SetCheckState(TCheckBoxState state) {
    if (state == cbGrayed && !allow_grayed_)
        state = cbUnchecked;
    state_ = state;
    if (HWND window = WindowHandle())
        SendMessageW(window, BM_SETCHECK, ToButtonState(state), 0);
}

void TCheckBox::SetAllowGrayed(bool allow) {
    allow_grayed_ = allow;
    if (!allow && CheckState() == cbGrayed)
        SetCheckState(cbUnchecked);
    if (HWND window = WindowHandle())
        SendMessageW(window, BM_SETSTYLE, ButtonStyle(), TRUE);
}

void TCheckBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        // The automatic box has already changed when it tells its parent.
        if (HIWORD(message.WParam) == BN_CLICKED) {
            state_ = CheckState();
            Click();
            return;
        }
        break;
    case WM_DESTROY:
        state_ = CheckState();
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

const TClassInfo& TCheckBox::StaticClassInfo() {
    static const TEnumInfo StateNames{
        {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}}};
    static const TClassInfo info =
        TClassBuilder<TCheckBox>("TCheckBox", &TWinControl::StaticClassInfo())
            .Creatable()
            .Boolean("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
            .Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
            .Enum("State", StateNames, &TCheckBox::CheckState, &TCheckBox::SetCheckState)
            .Build();
    return info;
}

} // namespace kalvo
