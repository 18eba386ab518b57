// TsGroupBox: the skinned group box. It behaves exactly as TGroupBox does; a class of its
// own lets form definitions name it and lets its look be changed without touching TGroupBox.
#pragma once

#include "app/framework/controls/group_box.h"

namespace kalvo {

class TsGroupBox : public TGroupBox {
public:
    using TGroupBox::TGroupBox;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
