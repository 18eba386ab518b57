// TsMemo: the skinned text box of several lines. It behaves exactly as TMemo does; a class of its
// own lets form definitions name it and lets its look be changed without touching TMemo.
#pragma once

#include "app/framework/controls/memo.h"

namespace kalvo {

class TsMemo : public TMemo {
public:
    using TMemo::TMemo;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
