// TsRadioButton: the skinned radio button. It behaves exactly as TRadioButton does; a class of its
// own lets form definitions name it and lets its look be changed without touching TRadioButton.
#pragma once

#include "app/framework/controls/radio_button.h"

namespace kalvo {

class TsRadioButton : public TRadioButton {
public:
    using TRadioButton::TRadioButton;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
