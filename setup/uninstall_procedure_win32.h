// The uninstall: the working folders, every entry of the installation folder but the
// uninstaller, the Program Manager group and the desktop shortcut.
#pragma once

#include "setup/installation_guard_win32.h"
#include "setup/installation_record_win32.h"

namespace kalvo {

class TProgramManagerLink;
class TSetupReport;

// Removes the installation the record describes; its folder is the folder of ClientPath. A
// folder no installation may live in is refused with a message before anything is touched
// (false). Otherwise every file that cannot be deleted is named in a message ("Could NOT
// delete " and its full name) and the uninstall goes on to its end (true). Links inside the
// folder are removed, never followed.
bool run_uninstall(const TInstallationRecord& installation, const TNeverSwept& never_swept,
                   TProgramManagerLink& program_manager, TSetupReport& report);

} // namespace kalvo
