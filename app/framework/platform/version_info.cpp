#include "app/framework/platform/version_info.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <utility>
#include <windows.h>

namespace kalvo {

std::wstring TranslationKey(TVersionTranslation translation) {
    wchar_t text[9];
    std::swprintf(text, 9, L"%04X%04X", unsigned(translation.language),
                  unsigned(translation.code_page));
    return text;
}

std::optional<TFileVersionInfo> TFileVersionInfo::Read(const std::wstring& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return std::nullopt;
    std::vector<std::uint8_t> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return std::nullopt;
    return TFileVersionInfo(std::move(data));
}

bool TFileVersionInfo::Query(const std::wstring& sub_block, const void*& value,
                             unsigned& length) const {
    void* found = nullptr;
    UINT found_length = 0;
    if (!VerQueryValueW(data_.data(), sub_block.c_str(), &found, &found_length) || !found)
        return false;
    value = found;
    length = found_length;
    return true;
}

std::vector<TVersionTranslation> TFileVersionInfo::Translations() const {
    std::vector<TVersionTranslation> translations;
    const void* value = nullptr;
    unsigned length = 0;
    if (!Query(L"\\VarFileInfo\\Translation", value, length))
        return translations;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    for (unsigned offset = 0; offset + 4 <= length; offset += 4) {
        WORD pair[2];
        std::memcpy(pair, bytes + offset, sizeof pair);
        translations.push_back({pair[0], pair[1]});
    }
    return translations;
}

std::optional<std::wstring> TFileVersionInfo::StringValue(const std::wstring& translation_key,
                                                          const std::wstring& name) const {
    const void* value = nullptr;
    unsigned length = 0;
    if (!Query(L"\\StringFileInfo\\" + translation_key + L"\\" + name, value, length))
        return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(value);
    return std::wstring(text, wcsnlen(text, length));
}

std::optional<TFixedFileInfo> TFileVersionInfo::FixedInfo() const {
    const void* value = nullptr;
    unsigned length = 0;
    if (!Query(L"\\", value, length) || length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    if (fixed.dwSignature != VS_FFI_SIGNATURE)
        return std::nullopt;
    TFixedFileInfo info;
    info.file_version = {HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                         HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS)};
    info.product_version = {HIWORD(fixed.dwProductVersionMS), LOWORD(fixed.dwProductVersionMS),
                            HIWORD(fixed.dwProductVersionLS), LOWORD(fixed.dwProductVersionLS)};
    info.file_flags_mask = fixed.dwFileFlagsMask;
    info.file_flags = fixed.dwFileFlags;
    info.file_os = fixed.dwFileOS;
    info.file_type = fixed.dwFileType;
    info.file_subtype = fixed.dwFileSubtype;
    return info;
}

} // namespace kalvo
