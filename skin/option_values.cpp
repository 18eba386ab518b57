#include "skin/option_values.h"

#include "skin/skin_error.h"
#include "skin/skin_text.h"

#include <charconv>
#include <cstddef>
#include <string>
#include <system_error>

namespace kalvo {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Digits alone (no sign), as a magnitude; nullopt when the text is empty, holds another
// character or the magnitude passes `limit`.
std::optional<std::uint32_t> Magnitude(std::string_view digits, int base, std::uint32_t limit) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = base == 16 ? HexDigit(c) : (IsSkinDigit(c) ? c - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// Optional sign, then decimal digits, within 32 bits.
std::optional<std::int32_t> Decimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    const auto magnitude = Magnitude(text, 10, limit);
    if (!magnitude)
        return std::nullopt;
    // Negated in unsigned arithmetic so that -2147483648 needs no signed overflow.
    const std::uint32_t bits = negative ? 0u - *magnitude : *magnitude;
    return static_cast<std::int32_t>(bits);
}

} // namespace

std::optional<std::int32_t> ParseLenientInteger(std::string_view text) {
    text = TrimSkinText(text);
    bool negative = false;
    std::string_view rest = text;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    std::string_view hex;
    bool is_hex = false;
    if (!rest.empty() && rest.front() == '$') {
        hex = rest.substr(1);
        is_hex = true;
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        hex = rest.substr(2);
        is_hex = true;
    }
    if (!is_hex)
        return Decimal(text);
    // Hexadecimal is a 32-bit pattern: "$FF000000" is the negative number with those bits,
    // and a sign in front negates the pattern.
    const auto magnitude = Magnitude(hex, 16, 0xFFFFFFFFu);
    if (!magnitude)
        return std::nullopt;
    const std::uint32_t bits = negative ? 0u - *magnitude : *magnitude;
    return static_cast<std::int32_t>(bits);
}

std::int32_t ReadLenientInteger(std::string_view text, std::int32_t default_value) {
    return ParseLenientInteger(text).value_or(default_value);
}

std::int32_t StrictInteger(std::string_view text) {
    const auto value = Decimal(text);
    if (!value)
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return *value;
}

bool ParseBoolean(std::string_view text) {
    static constexpr std::string_view kTrue = "TRUE";
    if (text.size() != kTrue.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != kTrue[i])
            return false;
    }
    return true;
}

double ParseFraction(std::string_view text, double default_value) {
    // Accepted: blanks around, an optional sign, digits with at most one "." among them and
    // at least one digit. No exponent, no "inf" or "nan", no thousands separators. The
    // checked text is handed to from_chars, which never looks at the locale.
    text = TrimSkinText(text);
    std::string number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsSkinDigit(c)) {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return default_value;
        }
        number += c;
    }
    if (digits == 0)
        return default_value;
    double value = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error != std::errc() || end != last)
        return default_value;
    return value;
}

} // namespace kalvo
