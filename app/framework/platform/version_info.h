// A file's version resource, read through GetFileVersionInfoSizeW, GetFileVersionInfoW and
// VerQueryValueW: its translations, its string values and its fixed numbers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {

// One entry of "\VarFileInfo\Translation".
struct TVersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t code_page = 0;
    bool operator==(const TVersionTranslation&) const = default;
};

// The name of the string table of a translation: language then code page, 8 upper-case
// hexadecimal digits ("040904E4" for US English in code page 1252).
std::wstring TranslationKey(TVersionTranslation translation);

// VS_FIXEDFILEINFO with the versions split into their four 16-bit parts, most significant
// first (FILEVERSION 1,1,0,4 gives {1, 1, 0, 4}).
struct TFixedFileInfo {
    std::array<std::uint16_t, 4> file_version{};
    std::array<std::uint16_t, 4> product_version{};
    std::uint32_t file_flags_mask = 0;
    std::uint32_t file_flags = 0;
    std::uint32_t file_os = 0;
    std::uint32_t file_type = 0;
    std::uint32_t file_subtype = 0;
};

class TFileVersionInfo {
public:
    // nullopt when the file cannot be read or carries no version resource.
    static std::optional<TFileVersionInfo> Read(const std::wstring& path);

    // In stored order; empty when the resource lists none.
    std::vector<TVersionTranslation> Translations() const;

    // "\StringFileInfo\<translation_key>\<name>" as stored, up to its closing zero; nullopt
    // when the table or the value is missing.
    std::optional<std::wstring> StringValue(const std::wstring& translation_key,
                                            const std::wstring& name) const;
    std::optional<std::wstring> StringValue(TVersionTranslation translation,
                                            const std::wstring& name) const {
        return StringValue(TranslationKey(translation), name);
    }

    // The root block's VS_FIXEDFILEINFO; nullopt when it is missing or its signature is wrong.
    std::optional<TFixedFileInfo> FixedInfo() const;

private:
    explicit TFileVersionInfo(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    // The value of a sub-block: its address and VerQueryValueW's length (bytes for binary
    // values, characters for strings).
    bool Query(const std::wstring& sub_block, const void*& value, unsigned& length) const;

    std::vector<std::uint8_t> data_;
};

} // namespace kalvo
