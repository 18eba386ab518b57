#include "setup/version.h"

#include <climits>

namespace kalvo {

namespace {

// A decimal integer as the whole field: blanks before it, an optional sign, digits, nothing
// after them. Values beyond 32 bits do not convert.
bool ToInteger(std::wstring_view field, std::int32_t& value) {
    std::size_t at = 0;
    while (at < field.size() && (field[at] == L' ' || field[at] == L'\t'))
        ++at;
    bool negative = false;
    if (at < field.size() && (field[at] == L'-' || field[at] == L'+'))
        negative = field[at++] == L'-';
    if (at == field.size())
        return false;
    std::int64_t magnitude = 0;
    for (; at < field.size(); ++at) {
        if (field[at] < L'0' || field[at] > L'9')
            return false;
        magnitude = magnitude * 10 + (field[at] - L'0');
        if (magnitude > std::int64_t(INT_MAX) + 1)
            return false;
    }
    if (!negative && magnitude > INT_MAX)
        return false;
    value = std::int32_t(negative ? -magnitude : magnitude);
    return true;
}

} // namespace

bool extract_version_bytes(std::wstring_view text, TVersionBytes& version) {
    std::wstring_view fields[4];
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = text.find(L'.');
        if (dot == std::wstring_view::npos)
            return false;
        fields[i] = text.substr(0, dot);
        text.remove_prefix(dot + 1);
    }
    fields[3] = text;
    for (int i = 0; i < 4; ++i) {
        std::int32_t value = 0;
        if (!ToInteger(fields[i], value))
            return false;
        version[std::size_t(i)] = std::uint8_t(std::uint32_t(value) & 0xFF);
    }
    return true;
}

bool UpdatePossible(const TVersionBytes& available, const TVersionBytes& installed) {
    return available >= installed;
}

std::wstring FormatVersion(const TVersionBytes& version) {
    std::wstring text;
    for (std::size_t i = 0; i < version.size(); ++i) {
        if (i)
            text += L'.';
        text += std::to_wstring(version[i]);
    }
    return text;
}

} // namespace kalvo
