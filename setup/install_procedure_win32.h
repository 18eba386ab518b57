// The installation: everything "Install" on the folder page sets off, from the checks of the
// chosen folder and group name to the records.
#pragma once

#include "setup/installation_guard_win32.h"
#include "setup/installation_record_win32.h"

#include <string>

namespace kalvo {

class TProgramManagerLink;
class TSetupFile;
class TSetupReport;

struct TInstallRequest {
    std::wstring Folder;       // the installation folder, ending in a backslash
    std::wstring GroupField;   // the group name field's text
    bool DesktopShortcut = false;
    std::wstring DesktopFolder; // where the shortcut goes
    std::wstring SetupFolder;  // the running program's folder, for the second record
    TNeverSwept NeverSwept;    // the folders no installation may live in
};

enum TInstallOutcome : unsigned char {
    ioInstalled,    // everything is in place
    ioChangeFolder, // back to the folder page, the folder field to change
    ioChangeGroup,  // back to the folder page, the group name field to change
    ioStopped,      // a damaged chunk ended it; only leaving remains
};

struct TInstallResult {
    TInstallOutcome Outcome = ioStopped;
    // What the install settled on (ClientPath, GroupName, ShortcutPath), once it got that far.
    TInstallationRecord Installation;
};

// Runs the installation to its end. First the checks, which change nothing: a group name the
// Program Manager commands cannot carry, a folder no installation may live in, and a folder
// that holds files of others (asked about) send the user back to the folder page. Then the
// work: the group name, the 17 folders (one that cannot be made: message 26, back to the
// folder page), the six chunks read through `setup`, the uninstaller copy, the group, the
// shortcut and the two records, with progress and status through `report`. A file or record
// that cannot be written throws the framework's error, ending it there.
TInstallResult run_install(const TInstallRequest& request, TSetupFile& setup,
                           TProgramManagerLink& program_manager, TSetupReport& report);

} // namespace kalvo
