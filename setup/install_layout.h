// What an installation consists of on disk: the working folders the install creates, and the
// payload chunks with the file each one becomes and the install progress after it.
#pragma once

#include <array>
#include <string>

namespace kalvo {

// Relative to the installation folder, in the order they are created; "" is the installation
// folder itself.
extern const std::array<const wchar_t*, 17> WorkingFolders;

// The working folders directly in the installation folder, in the order the uninstall
// removes them.
extern const std::array<const wchar_t*, 5> TopWorkingFolders;

struct TPayloadFile {
    const wchar_t* Name;  // relative to the installation folder
    int InstallProgress;  // the install progress bar once the file is written
};

// The payload chunks in file order. Chunk 0 is the client, which the update replaces.
extern const std::array<TPayloadFile, 6> PayloadFiles;

inline constexpr const wchar_t* ClientFileName = L"kalvo.exe";
inline constexpr const wchar_t* UninstallerFileName = L"uninstall.exe";

// Whether an entry directly in an installation folder is one an installation makes: a payload
// file, a top working folder, the uninstaller or the record. Compared without regard to letter
// case, as the file system compares names. Anything else in a folder someone installs into
// belongs to others, and an uninstall would remove it too.
bool IsInstallationEntry(const std::wstring& name);

} // namespace kalvo
