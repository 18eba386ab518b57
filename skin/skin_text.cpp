#include "skin/skin_text.h"

namespace kalvo {

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string_view TrimSkinText(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsSkinBlank(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && IsSkinBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string SkinUpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = AsciiUpper(c);
    return upper;
}

bool SameSkinName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

} // namespace kalvo
