// The uninstall: the working folders, every file of the installation folder but the
// uninstaller, the Program Manager group and the desktop shortcut, on the uninstall page.
#include "app/framework/application.h"
#include "app/framework/dde_client_conv.h"
#include "controls/s_button.h"
#include "controls/s_label.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "setup/folders.h"
#include "setup/install_layout.h"
#include "setup/program_file.h"
#include "setup/program_manager.h"
#include "setup/setup_state.h"
#include "setup/shell_integration.h"
#include "setup/sweep_guard.h"
#include "wizard/global.h"
#include "wizard/kalvo_setup.h"

#include <algorithm>
#include <windows.h>

namespace kalvo {

// Runs once the user confirmed. The installation folder is the client's folder from the
// record. A folder that plainly is no installation folder (a drive root, the profile, a shell
// folder) is not touched at all; otherwise every file that cannot be deleted is named in a
// message box and the uninstall goes on.
void Tkalvo_setup::run_uninstall() {
    const std::wstring folder = FolderOf(ClientPath);
    const std::vector<std::wstring> never_swept = folders_never_swept(Handle());
    // The folder as the record names it, resolved, and with short names expanded: each must
    // pass.
    if (!may_sweep(folder, never_swept) || !may_sweep(FullPathName(folder), never_swept) ||
        !may_sweep(LongPathName(FullPathName(folder)), never_swept)) {
        Application->ShowMessageBox(RefusedFolderMessage(folder), MB_OK | MB_ICONWARNING);
        return;
    }

    show_page(*sPanel_4_uninstall);
    sLabel14->SetText(Message(36));
    sLabel15->SetVisible(false);
    sProgressBar2->SetPosition(10);
    sButton_4_uninstall->SetEnabled(false);
    sButton_4_uninstall->Repaint();
    sPanel_4_uninstall->Repaint();

    const TNotDeleted not_deleted = [](const std::wstring& file) {
        Application->ShowMessageBox(L"Could NOT delete " + file);
    };
    int progress = 20;
    for (const wchar_t* working : TopWorkingFolders) {
        // A link in a working folder's place goes by itself; a missing folder is no error.
        const std::wstring path = folder + working;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            delete_entry(path, attributes, not_deleted);
        sProgressBar2->SetPosition(progress);
        progress += 10;
        sPanel_4_uninstall->Repaint();
    }
    // The folder's own entries; the uninstaller (exactly that name) stays, and so does the
    // folder. What is left of a working folder held a file that could not be deleted and was
    // named already.
    for_each_entry(folder.substr(0, folder.size() - 1),
                   [&](const std::wstring& name, unsigned long attributes) {
                       if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && name == UninstallerFileName)
                           return;
                       if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                           std::find(TopWorkingFolders.begin(), TopWorkingFolders.end(), name) !=
                               TopWorkingFolders.end())
                           return;
                       delete_entry(folder + name, attributes, not_deleted);
                   });
    sProgressBar2->SetPosition(70);
    sLabel14->SetText(Message(35));
    sLabel14->Repaint();

    if (is_safe_group_name(GroupName))
        program_manager_execute(*DdeClient, UninstallCommands(GroupName));
    sProgressBar2->SetPosition(80);

    // The record names the shortcut; only a file of the shortcut's own name is taken for it.
    if (ShortcutPath != NoShortcut && is_desktop_shortcut_name(ShortcutPath) &&
        FileExists(ShortcutPath))
        DeleteFileW(ShortcutPath.c_str());

    sLabel14->SetText(Message(37));
    sLabel15->SetText(Message(38));
    sLabel15->SetVisible(true);
    sProgressBar2->SetPosition(100);
    sButton_4_uninstall->SetEnabled(true);
    Repaint();
    SetActiveControl(sButton_4_uninstall);
}

} // namespace kalvo
