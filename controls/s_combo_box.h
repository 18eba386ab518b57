// TsComboBox: the skinned combo box. It behaves exactly as TComboBox does; a class of its
// own lets form definitions name it and lets its look be changed without touching TComboBox.
#pragma once

#include "app/framework/controls/combo_box.h"

namespace kalvo {

class TsComboBox : public TComboBox {
public:
    using TComboBox::TComboBox;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
