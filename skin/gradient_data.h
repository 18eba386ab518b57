// GRADIENTDATA: steps of five integers separated by ";".
#pragma once

#include "imaging/color.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kalvo {

struct GradientStep {
    TColor Color1 = 0;
    TColor Color2 = 0;
    std::uint8_t Percent = 0;  // 0 to 100
    std::int32_t Mode = 0;
    bool operator==(const GradientStep&) const = default;
};
using TsGradArray = std::vector<GradientStep>;

// Splits at ";" (a run of ";" is one separator; blanks around words are ignored); the
// number of steps is the number of words div 5; step k reads words 5k+1 to 5k+4 (Color1,
// Color2, Percent, Mode), the fifth is not read. Percent above 100 is 100, below 0 is 0.
// A word that is read and is not an integer throws EConvertError.
TsGradArray ParseGradientData(std::string_view text);

} // namespace kalvo
