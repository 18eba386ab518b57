// System colours on Windows: what the user's colour scheme says right now.
#include "imaging/color.h"

#include <windows.h>

namespace kalvo {

TColor SysColorRGB(int index) {
    if (index < 0 || index >= scSysColorCount)
        return 0;
    // COLORREF has the same layout as TColor: 0x00BBGGRR.
    return TColor(GetSysColor(index)) & 0xFFFFFF;
}

} // namespace kalvo
