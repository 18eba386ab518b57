#include "setup/program_manager.h"

#include "setup/install_layout.h"

#include <algorithm>

namespace kalvo {

namespace {

bool HasLine(const std::wstring& text, const std::wstring& line) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == L'\r')
            --stop;
        if (text.compare(start, stop - start, line) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

std::wstring choose_group_name(const std::wstring& field_text, const std::wstring& groups) {
    std::wstring name = field_text.empty() ? DefaultGroupName : field_text;
    if (HasLine(groups, name))
        name += L" Client";
    if (HasLine(groups, name))
        name += L" 2";
    return name;
}

bool is_safe_group_name(const std::wstring& group) {
    return std::none_of(group.begin(), group.end(), [](wchar_t c) {
        return c == L'"' || c == L'[' || c == L']' || c < 0x20 || c == 0x7F;
    });
}

std::vector<std::wstring> InstallCommands(const std::wstring& group, const std::wstring& folder) {
    return {
        L"[CreateGroup(\"" + group + L"\",0)]",
        L"[ShowGroup(\"" + group + L"\",1,0)]",
        L"[AddItem(\"" + folder + ClientFileName + L"\",\"Kalvo Start\")]",
        L"[AddItem(\"" + folder + L"Help.chm\",\"Kalvo Help\")]",
        L"[AddItem(\"" + folder + UninstallerFileName + L"\",\"Kalvo Uninstall\")]",
    };
}

std::vector<std::wstring> UninstallCommands(const std::wstring& group) {
    return {
        L"[ShowGroup(\"" + group + L"\",1,0)]",
        L"[DeleteItem(\"Kalvo Start\")]",
        L"[DeleteItem(\"Kalvo Help\")]",
        L"[DeleteItem(\"Kalvo Uninstall\")]",
        L"[DeleteGroup(\"" + group + L"\")]",
    };
}

std::wstring CommandBlock(const std::vector<std::wstring>& lines) {
    std::wstring block;
    for (const std::wstring& line : lines)
        block += line + L"\r\n";
    return block;
}

} // namespace kalvo
