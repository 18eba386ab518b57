#include "controls/s_group_box.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsGroupBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsGroupBox>("TsGroupBox", &TGroupBox::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
