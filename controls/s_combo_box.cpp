#include "controls/s_combo_box.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsComboBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsComboBox>("TsComboBox", &TComboBox::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
