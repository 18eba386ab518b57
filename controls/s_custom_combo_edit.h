// TsCustomComboEdit: a one-line text box with a small button at its right end, inside the box.
// The button, or Alt+Down while the box has the focus, runs ButtonClick: OnButtonClick first,
// then what the derived class makes of it (a chooser, say).
//
// DirectInput off keeps the user from typing, pasting or cutting, so that the text changes only
// through the button and the program; ReadOnly also stops the button. The edit window is
// read-only when either says so.
#pragma once

#include "controls/s_edit.h"

namespace kalvo {

class TButton;

class TsCustomComboEdit : public TsEdit {
public:
    // The button's width inside the box; the text stops short of it.
    static constexpr int ButtonWidth = 20;

    explicit TsCustomComboEdit(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool DirectInput() const { return direct_input_; }
    void SetDirectInput(bool direct_input);
    // This class's own setting; TEdit::ReadOnly tells whether the window is read-only.
    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool read_only);

    // What pressing the button does. Nothing while ReadOnly.
    void ButtonClick();
    TNotifyEvent OnButtonClick;

    // The button: a child window of the box, not a Tab stop.
    TButton& Button() const { return *button_; }

protected:
    // The button's own action, after OnButtonClick.
    virtual void ButtonAction() {}
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void ApplyReadOnly();
    void UpdateButton();
    void UpdateMargins();

    TButton* button_; // owned as a component
    bool direct_input_ = true;
    bool read_only_ = false;
};

} // namespace kalvo
