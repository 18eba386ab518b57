// Which folders may hold an installation. An uninstall empties the whole installation folder,
// so the install and the uninstall refuse the same folders: the shell's own folders, what lies
// above them, and everything inside the Windows folder.
#pragma once

#include <string>
#include <vector>

namespace kalvo {

struct TNeverSwept {
    // Every folder the shell knows by name (known folders and special folders), refused
    // together with every folder above it.
    std::vector<std::wstring> ShellFolders;
    // Refused together with everything inside them: the Windows folder.
    std::vector<std::wstring> ClosedFolders;
};

// The folders as the shell resolves them on this machine, for this user.
TNeverSwept folders_never_swept();

// Whether `folder` may hold an installation: the folder as given, resolved to a full path,
// and with short names expanded must each pass may_sweep.
bool may_hold_installation(const std::wstring& folder, const TNeverSwept& never_swept);

// Whether the folder exists and holds an entry that no installation makes (IsInstallationEntry):
// files of others, which an uninstall would remove with the rest.
bool holds_files_of_others(const std::wstring& folder);

} // namespace kalvo
