#include "skin/gradient_data.h"

#include "skin/option_values.h"
#include "skin/skin_error.h"
#include "skin/skin_text.h"

#include <cstddef>
#include <string>

namespace kalvo {
namespace {

// A word of a step: decimal, or hexadecimal after "$" or "0x" as colours may be written.
std::int32_t StepNumber(std::string_view word) {
    const auto value = ParseLenientInteger(word);
    if (!value)
        throw EConvertError("'" + std::string(word) + "' is not a valid integer value");
    return *value;
}

} // namespace

TsGradArray ParseGradientData(std::string_view text) {
    // Words are the pieces between ";" with their blanks trimmed; a piece that is empty or
    // blank is no word, so ";;" and "; ;" both separate two words.
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find(';', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view word = TrimSkinText(text.substr(pos, end - pos));
        if (!word.empty())
            words.push_back(word);
        pos = end + 1;
    }

    TsGradArray steps;
    const std::size_t count = words.size() / 5;
    steps.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view* step = &words[k * 5];
        GradientStep result;
        result.Color1 = static_cast<TColor>(StepNumber(step[0]));
        result.Color2 = static_cast<TColor>(StepNumber(step[1]));
        const std::int32_t percent = StepNumber(step[2]);
        result.Percent = static_cast<std::uint8_t>(percent < 0 ? 0 : (percent > 100 ? 100 : percent));
        result.Mode = StepNumber(step[3]);
        steps.push_back(result);
    }
    return steps;
}

} // namespace kalvo
