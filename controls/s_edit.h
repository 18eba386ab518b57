// TsEdit: the skinned one-line text box. It behaves exactly as TEdit does; a class of its
// own lets form definitions name it and lets its look be changed without touching TEdit.
#pragma once

#include "app/framework/controls/edit.h"

namespace kalvo {

class TsEdit : public TEdit {
public:
    using TEdit::TEdit;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace kalvo
