// The one text conversion of the Win32 layer: UTF-8 (form definitions, exception texts,
// scripts, error messages) to UTF-16 (the W functions) and back, and UTF-16 to and from the
// system ANSI code page for the few interfaces that only take that (the skin's path text,
// WinExec). The portable core reaches it only through its per-target files (*_win32.cpp).
#pragma once

#include <string>
#include <string_view>

namespace kalvo {

// Invalid UTF-8 sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
// Characters the ANSI code page cannot hold become the code page's default character ("?").
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);

} // namespace kalvo
