// TRadioButton: one of a set of choices, over the system's BUTTON class. The radio buttons
// of one parent control are one set: checking one, by a click or from code, unchecks the
// others of that parent, and only those. The framework does this itself (the window is a
// plain radio button), so that the sets follow the parents and not the dialog groups.
#pragma once

#include "app/framework/win_control.h"

namespace kalvo {

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool Checked() const;
    // Checking from code unchecks the siblings and raises no OnClick. OnClick runs when the
    // user checks the button; clicking a button that is already checked changes nothing and
    // raises nothing.
    void SetChecked(bool checked);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void UncheckSiblings();

    bool checked_ = false;
};

} // namespace kalvo
