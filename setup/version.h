// Client versions: the four bytes of a file version, their parsing from the dotted text of a
// version resource, and the test whether this setup program can update an installed client.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kalvo {

using TVersionBytes = std::array<std::uint8_t, 4>;

// The client version this setup program carries, a constant per byte.
inline constexpr std::uint8_t AvailableVersionMajor = 1;
inline constexpr std::uint8_t AvailableVersionMinor = 1;
inline constexpr std::uint8_t AvailableVersionRelease = 0;
inline constexpr std::uint8_t AvailableVersionBuild = 4;
inline constexpr TVersionBytes AvailableVersion{AvailableVersionMajor, AvailableVersionMinor,
                                                AvailableVersionRelease, AvailableVersionBuild};

// Splits "a.b.c.d" into four bytes: the fields before the first three dots, then the rest of
// the text (dots included) as the fourth. Each field is a decimal integer stored as its low
// 8 bits (260 gives 4). Fields are converted in order; the first one that is not a number
// ends the parsing, and the fields converted before it keep their values in `version`
// (the others are left as they were). True only when all four converted.
bool extract_version_bytes(std::wstring_view text, TVersionBytes& version);

// Whether `available` is greater than or equal to `installed`, byte by byte from the first:
// an installed client of the same version counts as one that can be updated.
bool UpdatePossible(const TVersionBytes& available, const TVersionBytes& installed);

// "1.1.0.4".
std::wstring FormatVersion(const TVersionBytes& version);

} // namespace kalvo
