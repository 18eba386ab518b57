#include "controls/s_radio_button.h"

#include "app/framework/class_info.h"

namespace kalvo {

const TClassInfo& TsRadioButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TsRadioButton>("TsRadioButton", &TRadioButton::StaticClassInfo())
            .Creatable()
            .Build();
    return info;
}

} // namespace kalvo
