// UTF-8 (form definitions, exception texts, scripts) to UTF-16 (the W functions) and back.
#pragma once

#include <string>
#include <string_view>

namespace kalvo {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

} // namespace kalvo
