// TsPanel: the skinned panel. It behaves exactly as TPanel does; a class of its
// own lets form definitions name it and lets its look be changed without touching TPanel.
#pragma once

#include "app/framework/controls/panel.h"

namespace kalvo {

class TsPanel : public TPanel {
public:
    using TPanel::TPanel;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
