#include "app/framework/text_convert.h"

#include <windows.h>

namespace kalvo {

namespace {

std::string WideTo(UINT code_page, std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(code_page, 0, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(std::size_t(size), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), int(text.size()), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

std::wstring ToWide(UINT code_page, std::string_view text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(code_page, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(size), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), int(text.size()), wide.data(), size);
    return wide;
}

} // namespace

std::wstring Utf8ToWide(std::string_view text) {
    return ToWide(CP_UTF8, text);
}

std::string WideToUtf8(std::wstring_view text) {
    return WideTo(CP_UTF8, text);
}

std::string WideToAnsi(std::wstring_view text) {
    return WideTo(CP_ACP, text);
}

std::wstring AnsiToWide(std::string_view text) {
    return ToWide(CP_ACP, text);
}

} // namespace kalvo
