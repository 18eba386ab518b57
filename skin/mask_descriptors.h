// The values of mask keys: glyph "@", border "^", texture "~", external picture "!",
// bitmap file names, JPEG file names and the legacy "#" form.
#pragma once

#include "imaging/geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalvo {

enum TacImgType : std::uint8_t { itisaBorder = 0, itisaTexture = 1, itisaGlyph = 2, itisaGlow = 3 };
const char* ImgTypeName(TacImgType type);

enum class TMaskValueKind {
    NotAMask,    // "N/A", empty, anything else
    Glyph,       // "@..."
    Border,      // "^..."
    Texture,     // "~..."
    External,    // "!..."
    BitmapFile,  // contains ".BMP" once upper-cased, no "#", no marker first
    JPEGFile,    // contains ".JPG" or ".JPEG" once upper-cased (and no marker first)
    Legacy,      // contains "#", is not exactly "#"
};
TMaskValueKind ClassifyMaskValue(std::string_view value);

// What a descriptor says. For External, BitmapFile and JPEGFile, FileName is the picture
// as written and SourceRect is left empty (the loader sets the whole picture).
struct TMaskDescriptor {
    TMaskValueKind Kind = TMaskValueKind::NotAMask;
    std::string FileName;
    TRect SourceRect;
    std::int16_t ImageCount = 0;
    std::int16_t MaskType = 0;
    std::int16_t BorderWidth = 0;
    std::int16_t StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;
    // External only: the value had five fields or more, so WL..WB were given.
    bool MarginsGiven = false;
};

// Parses a Glyph, Border, Texture, External or Legacy value. Digits that are not digits
// throw EConvertError. Returns nullopt for a value that yields no mask: an External file
// name without ".BMP" or ".PNG" in capitals, an ImageCount of 0 or less, a negative
// MaskType, a value too short for its fixed positions, or a source rectangle that is
// inverted or negative. Margins are as written; ApplyDefaultMargins completes them.
std::optional<TMaskDescriptor> ParseMaskDescriptor(std::string_view value);

// The margin rule for a mask over a `width` x `height` area: when WL+WT+WR+WB is 0, all
// four become BorderWidth if that is not 0, else WL = WR = width div (ImageCount x 3) and
// WT = WB = height div ((MaskType + 1) x 3). (Border, Legacy, stored images.)
void ApplyDefaultMargins(TMaskDescriptor& mask, int width, int height);

} // namespace kalvo
