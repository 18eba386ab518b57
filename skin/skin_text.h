// Text rules shared by the skin readers: 8-bit text where blanks are the control characters
// and the space, names compare by upper-casing the ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace kalvo {

inline bool IsSkinBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

inline bool IsSkinDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without blanks at either end.
std::string_view TrimSkinText(std::string_view text);

// Upper-casing of 8-bit names as the skin compares them (ASCII letters only).
std::string SkinUpperCase(std::string_view text);

// Equal once upper-cased.
bool SameSkinName(std::string_view a, std::string_view b);

} // namespace kalvo
