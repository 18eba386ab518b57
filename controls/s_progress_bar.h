// TsProgressBar: the skinned progress bar. It behaves exactly as TProgressBar does; a class of its
// own lets form definitions name it and lets its look be changed without touching TProgressBar.
#pragma once

#include "app/framework/controls/progress_bar.h"

namespace kalvo {

class TsProgressBar : public TProgressBar {
public:
    using TProgressBar::TProgressBar;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
