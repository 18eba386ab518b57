#include "controls/s_memo.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsMemo::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsMemo>("TsMemo", &TMemo::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
