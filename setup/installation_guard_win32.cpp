#include "setup/installation_guard_win32.h"

#include "setup/folders_win32.h"
#include "setup/install_layout.h"
#include "setup/sweep_guard.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace kalvo {

namespace {

void AddFolder(std::vector<std::wstring>& folders, const wchar_t* path) {
    if (path && *path)
        folders.emplace_back(path);
}

// Every known folder with a path on this machine, through the known folder manager. Folders
// that do not exist yet count too: an installation must not take their place.
void AddKnownFolders(std::vector<std::wstring>& folders) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IKnownFolderManager* manager = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IKnownFolderManager, reinterpret_cast<void**>(&manager)))) {
        KNOWNFOLDERID* ids = nullptr;
        UINT count = 0;
        if (SUCCEEDED(manager->GetFolderIds(&ids, &count))) {
            for (UINT i = 0; i < count; ++i) {
                PWSTR path = nullptr;
                if (SUCCEEDED(SHGetKnownFolderPath(ids[i], KF_FLAG_DONT_VERIFY, nullptr, &path)))
                    AddFolder(folders, path);
                CoTaskMemFree(path);
            }
            CoTaskMemFree(ids);
        }
        manager->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

} // namespace

TNeverSwept folders_never_swept() {
    TNeverSwept never;
    // The special folders by number: where the known folder manager is missing, these still
    // name the profile, the desktop, the documents, application data, the Start Menu, the
    // fonts, the program files and the system folders.
    for (int csidl = 0; csidl <= 0x3F; ++csidl) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                       SHGFP_TYPE_CURRENT, path)))
            AddFolder(never.ShellFolders, path);
    }
    AddKnownFolders(never.ShellFolders);
    // A 32-bit program on 64-bit Windows is told "Program Files (x86)" for both program files
    // folders; the 64-bit one is in the environment.
    wchar_t program_files[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", program_files, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        never.ShellFolders.emplace_back(program_files, length);

    wchar_t windows[MAX_PATH] = {};
    const UINT windows_length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (windows_length > 0 && windows_length < MAX_PATH)
        never.ClosedFolders.emplace_back(windows, windows_length);
    wchar_t own_windows[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, SHGFP_TYPE_CURRENT, own_windows)))
        AddFolder(never.ClosedFolders, own_windows);
    return never;
}

bool may_hold_installation(const std::wstring& folder, const TNeverSwept& never_swept) {
    const auto passes = [&](const std::wstring& path) {
        return may_sweep(path, never_swept.ShellFolders, never_swept.ClosedFolders);
    };
    if (!passes(folder))
        return false;
    const std::wstring full = FullPathName(folder);
    if (!passes(full))
        return false;
    // Short names are expanded where the folder exists; a folder still to be made has only the
    // names it was given. An existing folder whose long form cannot be told is refused.
    const std::wstring long_path = LongPathName(full);
    if (long_path.empty())
        return GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES &&
               (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND);
    if (!passes(long_path))
        return false;
    // A folder that is a link (a junction or symbolic link) is judged by where it leads.
    const std::wstring target = FinalPathName(long_path);
    return target.empty() || passes(target);
}

bool holds_files_of_others(const std::wstring& folder) {
    bool others = false;
    for_each_entry(WithoutClosingBackslash(folder), [&](const std::wstring& name, unsigned long) {
        if (!IsInstallationEntry(name))
            others = true;
    });
    return others;
}

} // namespace kalvo
