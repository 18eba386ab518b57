#include "setup/shell_integration.h"

#include "app/framework/dde_client_conv.h"
#include "app/framework/platform/shell_folders.h"
#include "app/framework/platform/shell_link.h"
#include "app/framework/text_convert.h"
#include "setup/program_manager.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace kalvo {

namespace {

constexpr const wchar_t* ProgramManager = L"PROGMAN";
constexpr const wchar_t* ShortcutFileName = L"Kalvo.Net.lnk";
constexpr unsigned GroupsTimeoutMs = 10000;

// Opens the conversation with Program Manager; a closed one is opened anew each time.
bool OpenProgramManager(TDdeClientConv& conversation) {
    conversation.SetLink(ProgramManager, ProgramManager);
    return conversation.OpenLink();
}

} // namespace

std::wstring get_special_folder(HWND owner, int csidl) {
    return SpecialFolderPath(owner, csidl);
}

std::vector<std::wstring> folders_never_swept(HWND owner) {
    std::vector<std::wstring> folders;
    for (const int csidl : {CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC,
                            CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_PROGRAM_FILES,
                            CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_WINDOWS,
                            CSIDL_SYSTEM, CSIDL_SYSTEMX86}) {
        std::wstring path = get_special_folder(owner, csidl);
        if (!path.empty())
            folders.push_back(std::move(path));
    }
    // A 32-bit program on 64-bit Windows is told "Program Files (x86)" for both program files
    // folders; the 64-bit one is in the environment.
    wchar_t program_files[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", program_files, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        folders.emplace_back(program_files, length);
    // Downloads has no CSIDL of its own.
    PWSTR downloads = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &downloads)))
        folders.emplace_back(downloads);
    CoTaskMemFree(downloads);
    return folders;
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

std::wstring program_manager_groups(TDdeClientConv& conversation) {
    if (!OpenProgramManager(conversation))
        return {};
    const std::string groups = conversation.RequestData("Groups", GroupsTimeoutMs);
    conversation.CloseLink();
    return AnsiToWide(groups);
}

void program_manager_execute(TDdeClientConv& conversation, const std::vector<std::wstring>& lines) {
    if (!OpenProgramManager(conversation))
        return;
    conversation.ExecuteMacro(WideToAnsi(CommandBlock(lines)));
    conversation.CloseLink();
}

} // namespace kalvo
