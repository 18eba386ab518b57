// TCheckBox: a box the user ticks, over the system's BUTTON class (an automatic check box).
// Like the other labelled buttons it takes its parent's colour behind its caption.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Setting the state from code changes the box and raises no OnClick: OnClick runs only
    // when the user toggles the box (mouse or space bar), after the box has changed.
    bool Checked() const { return CheckState() == cbChecked; }
    void SetChecked(bool checked) { SetCheckState(checked ? cbChecked : cbUnchecked); }
    TCheckBoxState CheckState() const;
    void SetCheckState(TCheckBoxState state);
    // Whether there is a grayed state: the user's clicks then go unchecked, checked, grayed.
    // Without it, setting the grayed state unchecks the box.
    bool AllowGrayed() const { return allow_grayed_; }
    void SetAllowGrayed(bool allow);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    DWORD ButtonStyle() const;

    TCheckBoxState state_ = cbUnchecked;
    bool allow_grayed_ = false;
};

} // namespace kalvo
