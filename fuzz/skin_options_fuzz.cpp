// libFuzzer entry for a skin's options text and the readers of its values. Every key value
// goes through each value reader; EConvertError is how they refuse text. Any other
// exception, a crash, a sanitizer report or a broken promise below is a finding.
#include "skin/gradient_data.h"
#include "skin/mask_descriptors.h"
#include "skin/option_values.h"
#include "skin/options_file.h"
#include "skin/skin_error.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using namespace kalvo;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Names and values come out trimmed and on one line.
bool Trimmed(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return false;
    return text.empty() || (static_cast<unsigned char>(text.front()) > 0x20 &&
                            static_cast<unsigned char>(text.back()) > 0x20);
}

void FuzzMask(std::string_view value) {
    const TMaskValueKind kind = ClassifyMaskValue(value);
    std::optional<TMaskDescriptor> mask;
    try {
        mask = ParseMaskDescriptor(value);
    } catch (const EConvertError&) {
        return;
    }
    if (!mask)
        return;
    Check(mask->Kind == kind);
    Check(mask->ImageCount >= 1 && mask->MaskType >= 0);
    Check(mask->SourceRect.Left >= 0 && mask->SourceRect.Top >= 0);
    Check(mask->SourceRect.Right >= mask->SourceRect.Left);
    Check(mask->SourceRect.Bottom >= mask->SourceRect.Top);
    Check(mask->ImgType <= itisaGlow);
    for (int width : {0, 1, 7, 54})
        for (int height : {0, 3, 36}) {
            TMaskDescriptor completed = *mask;
            ApplyDefaultMargins(completed, width, height);
            // Margins not written come out within the area.
            if (mask->WL == 0 && mask->WT == 0 && mask->WR == 0 && mask->WB == 0 &&
                mask->BorderWidth == 0) {
                Check(completed.WL >= 0 && completed.WL <= width);
                Check(completed.WT >= 0 && completed.WT <= height);
            }
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TsOptionsFile file(text);
    for (const auto& section : file.Sections()) {
        // The first of a name is the one found.
        Check(file.FindSection(section.Name) == &section);
        Check(Trimmed(section.Name));
        for (const auto& key : section.Keys) {
            Check(file.FindKey(section.Name, key.Name) == &key);
            Check(Trimmed(key.Name) && Trimmed(key.Value));
            const std::string_view value = key.Value;
            FuzzMask(value);
            try {
                for (const GradientStep& step : ParseGradientData(value))
                    Check(step.Percent <= 100);
            } catch (const EConvertError&) {
            }
            const auto lenient = ParseLenientInteger(value);
            try {
                const std::int32_t strict = StrictInteger(value);
                Check(lenient && *lenient == strict);  // decimal text reads the same both ways
            } catch (const EConvertError&) {
            }
            (void)ParseBoolean(value);
            (void)ParseFraction(value, 0);
        }
    }
    return 0;
}
