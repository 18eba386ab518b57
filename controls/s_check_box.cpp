#include "controls/s_check_box.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsCheckBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsCheckBox>("TsCheckBox", &TCheckBox::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
