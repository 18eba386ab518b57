#include "controls/s_button.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsButton>("TsButton", &TButton::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
