// The client's main-window titles in its five languages, by which a running client is found
// and asked to close: the product name, " - ", and the tagline of that language.
#pragma once

#include <array>

namespace kalvo {

// English, Russian, German, French, Spanish: the order in which they are looked for.
extern const std::array<const wchar_t*, 5> ClientWindowTitles;

} // namespace kalvo
