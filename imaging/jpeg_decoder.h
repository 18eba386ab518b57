// JPEG pictures through libjpeg, decoded into 24-bit bitmaps (greyscale and CMYK pictures are
// converted to colour). libjpeg's fatal errors, and picture data that is damaged or ends
// before the last row, become EInvalidGraphic with libjpeg's own message: the process never
// exits from here, and no half-grey picture is handed out. What follows the last row (a
// missing end marker, say) does not matter.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <span>

namespace kalvo {

struct TJPEGInfo {
    int Width = 0;
    int Height = 0;
    int Components = 0;
};

// Reads the header only.
TJPEGInfo ReadJPEGInfo(std::span<const std::uint8_t> file);
// Decodes the whole picture into a top-down pf24bit bitmap.
TBitmap DecodeJPEG(std::span<const std::uint8_t> file);

} // namespace kalvo
