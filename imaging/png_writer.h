// A small PNG writer for screenshots and test output: pf24bit bitmaps become 8-bit truecolour
// images, pf32bit ones truecolour with alpha. (Reading PNG is the skin decoder's job.)
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace kalvo {

std::vector<std::uint8_t> EncodePNG(const TBitmap& bitmap);

} // namespace kalvo
