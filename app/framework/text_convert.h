// UTF-8 (form definitions, exception texts, scripts) to UTF-16 (the W functions) and back,
// and UTF-16 to and from the system ANSI code page for the few interfaces that only take that.
#pragma once

#include <string>
#include <string_view>

namespace kalvo {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// Characters the ANSI code page cannot hold become the code page's default character.
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);

} // namespace kalvo
