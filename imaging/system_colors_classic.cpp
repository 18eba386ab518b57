// System colours where there is no platform to ask: the classic palette.
#include "imaging/color.h"

namespace kalvo {

TColor SysColorRGB(int index) {
    return ClassicSysColor(index);
}

} // namespace kalvo
