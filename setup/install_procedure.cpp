// The installation: everything "Install" on the folder page sets off, from the working
// folders to the records, on the install progress page.
#include "app/framework/application.h"
#include "app/framework/dde_client_conv.h"
#include "controls/s_button.h"
#include "controls/s_check_box.h"
#include "controls/s_directory_edit.h"
#include "controls/s_edit.h"
#include "controls/s_label.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "setup/folders.h"
#include "setup/install_layout.h"
#include "setup/installation_record.h"
#include "setup/program_file.h"
#include "setup/program_manager.h"
#include "setup/setup_file.h"
#include "setup/setup_state.h"
#include "setup/shell_integration.h"
#include "wizard/global.h"
#include "wizard/kalvo_setup.h"

#include <shlobj.h>
#include <windows.h>

namespace kalvo {

void Tkalvo_setup::show_install_progress(int position, int message) {
    sProgressBar1->SetPosition(position);
    sProgressBar1->Repaint();
    sLabel_status->SetText(Message(message));
    sLabel_status->Repaint();
}

// Runs to its end inside the click handler. A folder that cannot be made sends the user
// back to the folder page; a file or record that cannot be written ends the procedure with
// the framework's error box (the exception leaves the handler); a damaged payload ends it
// with one message. Finish is enabled only once everything is in place.
void Tkalvo_setup::run_install() {
    sButton_cansel3a->SetEnabled(false);
    show_install_progress(0, 29);
    sCheckBox3->SetChecked(true);
    sCheckBox3->SetVisible(false);
    sLabel11->SetVisible(false);
    ClientPath = InstallFolder + ClientFileName;
    show_page(*sPanel_4_install);

    GroupName = choose_group_name(sEdit1->Text(), program_manager_groups(*DdeClient));

    for (const wchar_t* folder : WorkingFolders) {
        if (!ForceDirectories(InstallFolder + folder)) {
            Application->ShowMessageBox(Message(26), MB_OK | MB_ICONERROR);
            show_page(*sPanel_3_install);
            SetActiveControl(sDirectoryEdit1);
            return;
        }
    }
    show_install_progress(20, 30);

    {
        TSetupFile setup(ProgramFilePath());
        setup.Seek(SetupStubSize);
        try {
            for (const TPayloadFile& file : PayloadFiles) {
                unpack_chunk(setup, InstallFolder + file.Name);
                sProgressBar1->SetPosition(file.InstallProgress);
            }
        } catch (const EPayloadCorrupt&) {
            // The page stays as it is, Finish disabled: only the close box leads out.
            Application->ShowMessageBox(DamagedSetupMessage(), MB_OK | MB_ICONERROR);
            return;
        }
        make_uninstaller_copy(setup, InstallFolder + UninstallerFileName);
    }
    show_install_progress(90, 31);

    // A name that would break out of its command is kept in the record but given to no server.
    if (is_safe_group_name(GroupName))
        program_manager_execute(*DdeClient, InstallCommands(GroupName, InstallFolder));

    const bool desktop_shortcut = sCheckBox1->Checked();
    if (desktop_shortcut) {
        ShortcutPath = desktop_shortcut_path(get_special_folder(Handle(), CSIDL_DESKTOPDIRECTORY));
        create_desktop_shortcut(ClientPath, ShortcutPath);
    }
    const TInstallationRecord record{ClientPath, GroupName, ShortcutPath};
    write_installation_record(InstallFolder + RecordFileName, record, desktop_shortcut);
    SetupFolder = FolderOf(ProgramFilePath());
    write_installation_record(SetupFolder + RecordFileName, record, desktop_shortcut);

    show_install_progress(100, 32);
    sCheckBox3->SetVisible(true);
    sLabel11->SetVisible(true);
    sButton_cansel3a->SetEnabled(true);
    // Nothing on the page could take the keyboard while the install ran: Enter now finishes.
    SetActiveControl(sButton_cansel3a);
}

} // namespace kalvo
