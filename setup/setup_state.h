// The setup state: what the start-up routine, the wizard and the procedures share for the
// whole run. One instance of each value; empty or zero at start.
//
// Paths and names are kept as UTF-16 and used through the system's wide functions, so that a
// folder whose name the ANSI code page cannot hold still works; only the command line that
// starts the client goes through the ANSI code page, as WinExec takes it.
#pragma once

#include "setup/version.h"

#include <cstdint>
#include <string>

namespace kalvo {

// Length of the program image without payload; the uninstaller copy is exactly this long. The
// build pads the linked image to this length (KALVO_SETUP_STUB_SIZE in CMakeLists.txt).
inline constexpr std::uint64_t SetupStubSize = KALVO_SETUP_STUB_SIZE;
// A running file smaller than this is the uninstaller copy; a full setup file is larger.
inline constexpr std::uint64_t FullSetupMinSize = 2000000;

// The installation folder, ending in a backslash once the folder page has set it.
extern std::wstring InstallFolder;
// The folder of the running program, ending in a backslash.
extern std::wstring SetupFolder;
// Full path of the client executable.
extern std::wstring ClientPath;
// The Program Manager group of the installation.
extern std::wstring GroupName;
// Full path of the desktop shortcut, or NoShortcut.
extern std::wstring ShortcutPath;
inline constexpr const wchar_t* NoShortcut = L"...";
// The confirmation dialog's answer: 1 yes, 0 no.
extern std::uint8_t AlertResult;
// The installed client's version, as far as it could be parsed.
extern TVersionBytes InstalledVersion;

// The installation record, uninstall.ini: its one section and four keys.
inline constexpr const wchar_t* RecordFileName = L"uninstall.ini";
inline constexpr const wchar_t* RecordSection = L"main_section";
inline constexpr const wchar_t* RecordClientPathKey = L"u_path";
inline constexpr const wchar_t* RecordGroupKey = L"u_group";
inline constexpr const wchar_t* RecordShortcutFlagKey = L"u_ico";
inline constexpr const wchar_t* RecordShortcutPathKey = L"u_ico_path";

} // namespace kalvo
