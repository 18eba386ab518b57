#include "controls/s_panel.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsPanel::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsPanel>("TsPanel", &TPanel::StaticClassInfo()).Creatable().Build();
    return info;
}

} // namespace kalvo
