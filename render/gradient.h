// Gradients of skin sections: the step chain of a GRADIENTDATA value painted into the rows of a
// 24-bit bitmap, and the section colour mixed over what lies in a rectangle.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/color.h"
#include "imaging/geometry.h"
#include "skin/gradient_data.h"

#include <cstdint>

namespace kalvo {

// Paints `steps` into the rectangle (clipped to the bitmap) of a 24-bit bitmap. The first
// step's Mode decides the direction: 0 top to bottom, 1 left to right (each step takes its
// Percent of the length, the last one runs to the edge), 2 four triangles between the corners
// and the centre, whose colours are the steps' Color1 in the order top-left, centre,
// top-right, bottom-right, bottom-left. Colours run as 32-bit floats rounded to the nearest
// integer, ties to even. Anything else (no steps, another mode, an empty rectangle, another
// pixel format) paints nothing.
void PaintGradient(TBitmap& bitmap, const TRect& rect, const TsGradArray& steps);

// Mixes `color` (a system colour is resolved first) into the pixels of the rectangle, Right
// and Bottom included, keeping `keep_percent` (0 to 100) of each pixel: every component
// becomes nearest(keep * pixel + (1 - keep) * colour), ties to even.
void BlendColorRect(TBitmap& bitmap, const TRect& rect, std::uint8_t keep_percent, TColor color);

} // namespace kalvo
