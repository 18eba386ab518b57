#include "setup/uninstall_procedure_win32.h"

#include "setup/folders_win32.h"
#include "setup/install_layout.h"
#include "setup/message_table.h"
#include "setup/program_file_win32.h"
#include "setup/program_manager.h"
#include "setup/setup_report.h"
#include "setup/setup_state.h"
#include "setup/shell_integration_win32.h"

#include <algorithm>
#include <windows.h>

namespace kalvo {

bool run_uninstall(const TInstallationRecord& installation, const TNeverSwept& never_swept,
                   TProgramManagerLink& program_manager, TSetupReport& report) {
    const std::wstring folder = FolderOf(installation.ClientPath);
    if (!may_hold_installation(folder, never_swept)) {
        report.Tell(Notice(niRefusedRecordFolder, folder), nkWarning);
        return false;
    }

    report.Started();
    report.Status(Message(miDeletingFiles));
    report.Progress(10);

    const TNotDeleted not_deleted = [&](const std::wstring& file) {
        report.Tell(L"Could NOT delete " + file, nkPlain);
    };
    int progress = 20;
    for (const wchar_t* working : TopWorkingFolders) {
        // A link in a working folder's place goes by itself; a missing folder is no error.
        const std::wstring path = folder + working;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            delete_entry(path, attributes, not_deleted);
        report.Progress(progress);
        progress += 10;
    }
    // The folder's own entries; the uninstaller (exactly that name) stays, and so does the
    // folder. What is left of a working folder held a file that could not be deleted and was
    // named already.
    for_each_entry(WithoutClosingBackslash(folder),
                   [&](const std::wstring& name, unsigned long attributes) {
                       if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && name == UninstallerFileName)
                           return;
                       if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                           std::find(TopWorkingFolders.begin(), TopWorkingFolders.end(), name) !=
                               TopWorkingFolders.end())
                           return;
                       delete_entry(folder + name, attributes, not_deleted);
                   });
    report.Progress(70);
    report.Status(Message(miDeletingApplication));

    // A name that would break out of its command (from a record written elsewhere) is given
    // to no server.
    if (is_safe_group_name(installation.GroupName))
        program_manager.Execute(UninstallCommands(installation.GroupName));
    report.Progress(80);

    // The record names the shortcut; only a file of the shortcut's own name is taken for it.
    const std::wstring& shortcut = installation.ShortcutPath;
    if (shortcut != NoShortcut && is_desktop_shortcut_name(shortcut) && FileExists(shortcut))
        DeleteFileW(shortcut.c_str());

    report.Status(Message(miUninstalled));
    report.Progress(100);
    return true;
}

} // namespace kalvo
