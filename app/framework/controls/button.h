// TButton: a push button over the system's BUTTON class. Default and Cancel make it the
// button Enter and Escape press in its form; a ModalResult closes a modal form with it.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

class TForm;

// The form a control sits on, or nullptr.
TForm* ParentForm(const TControl* control);

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value);
    int ModalResult = 0;

    void Click() override;
    void SetParent(TWinControl* parent) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void UpdateFormButtons();

    bool default_ = false;
    bool cancel_ = false;
};

} // namespace kalvo
