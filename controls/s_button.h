// TsButton: the skinned push button. It behaves exactly as TButton does; a class of its
// own lets form definitions name it and lets its look be changed without touching TButton.
#pragma once

#include "app/framework/controls/button.h"

namespace kalvo {

class TsButton : public TButton {
public:
    using TButton::TButton;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
