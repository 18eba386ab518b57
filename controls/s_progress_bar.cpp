#include "controls/s_progress_bar.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsProgressBar::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsProgressBar>("TsProgressBar", &TProgressBar::StaticClassInfo())
            .Creatable()
            .Build();
    return info;
}

} // namespace kalvo
