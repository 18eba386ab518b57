#include "controls/s_edit.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsEdit::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsEdit>("TsEdit", &TEdit::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
