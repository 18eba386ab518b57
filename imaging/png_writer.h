// A small PNG writer for screenshots and test output: pf24bit bitmaps become 8-bit truecolour
// images, pf32bit ones truecolour with alpha. (Reading PNG is the skin decoder's job.)
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <vector>

namespace kalvo {

std::vector<std::uint8_t> EncodePNG(const TBitmap& bitmap);

} // namespace kalvo
