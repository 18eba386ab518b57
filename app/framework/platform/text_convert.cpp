#include "app/framework/platform/text_convert.h"

#include <climits>
#include <stdexcept>
#include <windows.h>

namespace kalvo {

namespace {

// The conversion functions count in int: a longer text is refused rather than cut short.
int CheckedLength(std::size_t length) {
    if (length > std::size_t(INT_MAX))
        throw std::length_error("text too long to convert");
    return int(length);
}

// For the ANSI code page, a character it cannot hold becomes its default character, never a
// "best fit" look-alike: a full-width quotation mark must not turn into the '"' that ends a
// Program Manager command, nor a path into another path.
std::string WideTo(UINT code_page, std::wstring_view text) {
    if (text.empty())
        return {};
    const int length = CheckedLength(text.size());
    const DWORD flags = code_page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size =
        WideCharToMultiByte(code_page, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string narrow(std::size_t(size), '\0');
    const int written = WideCharToMultiByte(code_page, flags, text.data(), length, narrow.data(),
                                            size, nullptr, nullptr);
    narrow.resize(std::size_t(written > 0 ? written : 0));
    return narrow;
}

std::wstring ToWide(UINT code_page, std::string_view text) {
    if (text.empty())
        return {};
    const int length = CheckedLength(text.size());
    const int size = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(std::size_t(size), L'\0');
    const int written = MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), size);
    wide.resize(std::size_t(written > 0 ? written : 0));
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
