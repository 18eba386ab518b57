#include "setup/shell_integration_win32.h"

#include "app/framework/dde_client_conv.h"
#include "app/framework/platform/shell_folders.h"
#include "app/framework/platform/shell_link.h"
#include "app/framework/platform/text_convert.h"
#include "setup/program_manager.h"

namespace kalvo {

namespace {

constexpr const wchar_t* ProgramManager = L"PROGMAN";
constexpr const wchar_t* ShortcutFileName = L"Kalvo.Net.lnk";
constexpr unsigned GroupsTimeoutMs = 10000;

} // namespace

std::wstring get_special_folder(HWND owner, int csidl) {
    return SpecialFolderPath(owner, csidl);
}

std::wstring desktop_shortcut_path(const std::wstring& desktop_folder) {
    std::wstring path = desktop_folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + ShortcutFileName;
}

bool is_desktop_shortcut_name(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return CompareStringOrdinal(name.c_str(), int(name.size()), ShortcutFileName,
                                -1, TRUE) == CSTR_EQUAL;
}

void create_desktop_shortcut(const std::wstring& client, const std::wstring& link_path) {
    CreateShellLink(WideToAnsi(client), "Click here to start Kalvo.Net", link_path);
}

// A closed conversation is opened anew each time.
bool TDdeProgramManager::Open() {
    conversation_.SetLink(ProgramManager, ProgramManager);
    return conversation_.OpenLink();
}

std::wstring TDdeProgramManager::Groups() {
    if (!Open())
        return {};
    const std::string groups = conversation_.RequestData("Groups", GroupsTimeoutMs);
    conversation_.CloseLink();
    return AnsiToWide(groups);
}

void TDdeProgramManager::Execute(const std::vector<std::wstring>& lines) {
    if (!Open())
        return;
    conversation_.ExecuteMacro(WideToAnsi(CommandBlock(lines)));
    conversation_.CloseLink();
}

} // namespace kalvo
