// TsCheckBox: the skinned check box. It behaves exactly as TCheckBox does; a class of its
// own lets form definitions name it and lets its look be changed without touching TCheckBox.
#pragma once

#include "app/framework/controls/check_box.h"

namespace kalvo {

class TsCheckBox : public TCheckBox {
public:
    using TCheckBox::TCheckBox;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
