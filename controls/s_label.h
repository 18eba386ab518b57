// TsLabel: the skinned label. It behaves exactly as TLabel does; a class of its
// own lets form definitions name it and lets its look be changed without touching TLabel.
#pragma once

#include "app/framework/controls/label.h"

namespace kalvo {

class TsLabel : public TLabel {
public:
    using TLabel::TLabel;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
