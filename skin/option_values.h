// The kinds of values an options file holds: lenient and strict integers, booleans and
// fractions.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kalvo {

// Decimal, optionally signed, or hexadecimal after "$" or "0x" (also "-$..."); blanks
// around the text are allowed; nullopt for anything else or a value outside 32 bits
// (hexadecimal up to FFFFFFFF, read as its 32-bit pattern).
std::optional<std::int32_t> ParseLenientInteger(std::string_view text);
std::int32_t ReadLenientInteger(std::string_view text, std::int32_t default_value);

// Decimal only, optionally signed, within 32 bits; anything else throws EConvertError
// "'<text>' is not a valid integer value".
std::int32_t StrictInteger(std::string_view text);

// True exactly when the upper-cased text is "TRUE".
bool ParseBoolean(std::string_view text);

// A decimal fraction with "." as its separator, whatever the locale ("6.14", "-1", "2.");
// `default_value` when the text is not one.
double ParseFraction(std::string_view text, double default_value);

} // namespace kalvo
