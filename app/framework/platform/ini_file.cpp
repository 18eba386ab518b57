#include "app/framework/platform/ini_file.h"

#include "app/framework/platform/text_convert.h"

#include <charconv>
#include <climits>

#include <windows.h>

namespace kalvo {

namespace {

// GetPrivateProfileStringW into a buffer that grows until the answer fits. The platform
// reports truncation by returning the buffer size less one (a value) or less two (a list of
// names, each closed by a zero, the list by a second one).
std::wstring ReadProfile(const wchar_t* section, const wchar_t* key, const wchar_t* default_value,
                         const std::wstring& file_name, bool list) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD size = DWORD(buffer.size());
        const DWORD length = GetPrivateProfileStringW(section, key, default_value, buffer.data(),
                                                      size, file_name.c_str());
        if (length < size - (list ? 2 : 1) || buffer.size() >= (1u << 24)) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

std::vector<std::wstring> SplitNames(const std::wstring& list) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(L'\0', start);
        if (end == std::wstring::npos)
            end = list.size();
        if (end > start)
            names.emplace_back(list, start, end - start);
        start = end + 1;
    }
    return names;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    for (const std::wstring& candidate : names)
        if (SameName(candidate, name))
            return true;
    return false;
}

} // namespace

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& default_value) const {
    return ReadProfile(section.c_str(), key.c_str(), default_value.c_str(), file_name_, false);
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) {
    if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                    file_name_.c_str()))
        throw EIniFileError("Unable to write to " + WideToUtf8(file_name_), file_name_);
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& key,
                          int default_value) const {
    const std::wstring text = ReadString(section, key, L"");
    // Digits are ASCII; anything else makes the value unusable.
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F)
            return default_value;
        narrow.push_back(char(c));
    }
    const char* first = narrow.data();
    const char* last = first + narrow.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return default_value;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last || first == last)
        return default_value;
    return value;
}

void TIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, int value) {
    WriteString(section, key, std::to_wstring(value));
}

std::vector<std::wstring> TIniFile::SectionNames() const {
    return SplitNames(ReadProfile(nullptr, nullptr, L"", file_name_, true));
}

std::vector<std::wstring> TIniFile::KeyNames(const std::wstring& section) const {
    return SplitNames(ReadProfile(section.c_str(), nullptr, L"", file_name_, true));
}

bool TIniFile::SectionExists(const std::wstring& section) const {
    return Contains(SectionNames(), section);
}

bool TIniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
    return Contains(KeyNames(section), key);
}

} // namespace kalvo
