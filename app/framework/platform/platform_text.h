// UTF-16 to UTF-8 for the error texts of the platform wrappers (which do not use the
// framework's text conversion, being below it).
#pragma once

#include <string>
#include <string_view>
#include <windows.h>

namespace kalvo::platform {

inline std::string Utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size, nullptr,
                            nullptr);
    return result;
}

} // namespace kalvo::platform
