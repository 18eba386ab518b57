#include "setup/file_version_win32.h"

#include "app/framework/platform/version_info.h"

#include <optional>
#include <vector>

namespace kalvo {

std::wstring get_file_version(const std::wstring& path) {
    const std::optional<TFileVersionInfo> info = TFileVersionInfo::Read(path);
    if (!info)
        return L"";
    // Only the first translation counts, even when a later one has a string table.
    const std::vector<TVersionTranslation> translations = info->Translations();
    if (translations.empty())
        return L"";
    return info->StringValue(translations.front(), L"FileVersion").value_or(L"");
}

} // namespace kalvo
