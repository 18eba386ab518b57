#include "app/framework/controls/button.h"

#include "app/framework/class_info.h"
#include "app/framework/form.h"

namespace kalvo {

TForm* ParentForm(const TControl* control) {
    while (control && !dynamic_cast<const TForm*>(control))
        control = control->Parent();
    return const_cast<TForm*>(dynamic_cast<const TForm*>(control));
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    width_ = 75;
    height_ = 25;
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetParent(TWinControl* parent) {
    TWinControl::SetParent(parent);
    UpdateFormButtons();
}

void TButton::SetDefault(bool value) {
    default_ = value;
    UpdateFormButtons();
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETSTYLE, default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool value) {
    cancel_ = value;
    UpdateFormButtons();
}

void TButton::UpdateFormButtons() {
    TForm* form = ParentForm(this);
    if (!form)
        return;
    if (default_)
        form->DefaultControl = this;
    else if (form->DefaultControl == this)
        form->DefaultControl = nullptr;
    if (cancel_)
        form->CancelControl = this;
    else if (form->CancelControl == this)
        form->CancelControl = nullptr;
}

void TButton::Click() {
    // Read before the handler runs, which may free the button.
    const int result = ModalResult;
    TForm* form = result != 0 ? ParentForm(this) : nullptr;
    TWinControl::Click();
    if (form)
        form->ModalResult = result;
}

void TButton::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        Click();
        return;
    }
    TWinControl::WndProc(message);
    // A push button with the keyboard focus is the one Enter presses, as in a dialog box,
    // whichever button is the form's default otherwise.
    if (message.Msg == WM_GETDLGCODE && Focused())
        message.Result = (message.Result & ~LRESULT(DLGC_UNDEFPUSHBUTTON)) | DLGC_DEFPUSHBUTTON;
}

const TClassInfo& TButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TButton>("TButton", &TWinControl::StaticClassInfo())
            .Creatable()
            .Boolean("Default", &TButton::Default, &TButton::SetDefault)
            .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel)
            .Integer(
                "ModalResult", [](const TButton& b) { return b.ModalResult; },
                [](TButton& b, int result) { b.ModalResult = result; })
            .Build();
    return info;
}

} // namespace kalvo
