#include "controls/s_label.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsLabel::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsLabel>("TsLabel", &TLabel::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
