// Windows bitmap files (BMP).
//
// Reads 1, 4 and 8 bits per pixel with a colour table (RLE4 and RLE8 too), 16 bits (5-5-5 or
// bit fields), 24 bits and 32 bits (plain or bit fields), top-down and bottom-up, with any of
// the usual header versions. 32-bit files become pf32bit bitmaps with straight alpha (a file
// whose fourth bytes are all zero and that declares no alpha mask is taken as opaque);
// everything else becomes pf24bit. Colour table entries that are missing read as black.
// Run-length pixels that fall outside the picture are dropped; run-length data that stops
// before the picture is finished without saying so is an error, like any other data that
// is cut short (only the padding of the last row of an uncompressed file may be missing).
//
// Writes pf24bit bitmaps as plain 24-bit files and pf32bit bitmaps as 32-bit files with an
// alpha mask (a version 4 header), both bottom-up, at 72 dots per inch.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kalvo {

// Throws EInvalidGraphic for a file it cannot decode.
TBitmap ReadBMP(std::span<const std::uint8_t> file);
// Throws std::invalid_argument for an empty bitmap, which no BMP file can hold.
std::vector<std::uint8_t> WriteBMP(const TBitmap& bitmap);

} // namespace kalvo
