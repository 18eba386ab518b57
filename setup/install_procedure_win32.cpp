#include "setup/install_procedure_win32.h"

#include "setup/folders_win32.h"
#include "setup/install_layout.h"
#include "setup/message_table.h"
#include "setup/program_manager.h"
#include "setup/setup_file_win32.h"
#include "setup/setup_report.h"
#include "setup/setup_state.h"
#include "setup/shell_integration_win32.h"

namespace kalvo {

namespace {

void ShowStep(TSetupReport& report, int progress, TMessageId status) {
    report.Progress(progress);
    report.Status(Message(status));
}

// The checks before anything is written; the outcome to go back with, or ioInstalled to go on.
TInstallOutcome CheckChoices(const TInstallRequest& request, TSetupReport& report) {
    if (!is_safe_group_name(request.GroupField)) {
        report.Tell(Notice(niUnsafeGroupName), nkWarning);
        return ioChangeGroup;
    }
    const std::wstring folder = WithoutClosingBackslash(request.Folder);
    if (!may_hold_installation(request.Folder, request.NeverSwept)) {
        report.Tell(Notice(niRefusedInstallFolder, folder), nkWarning);
        return ioChangeFolder;
    }
    if (holds_files_of_others(request.Folder) &&
        !report.Ask(Notice(niFolderHoldsOtherFiles, folder)))
        return ioChangeFolder;
    return ioInstalled;
}

} // namespace

TInstallResult run_install(const TInstallRequest& request, TSetupFile& setup,
                           TProgramManagerLink& program_manager, TSetupReport& report) {
    TInstallResult result;
    result.Outcome = CheckChoices(request, report);
    if (result.Outcome != ioInstalled)
        return result;

    const std::wstring& folder = request.Folder;
    TInstallationRecord& installation = result.Installation;
    installation.ClientPath = folder + ClientFileName;
    installation.ShortcutPath = NoShortcut;
    ShowStep(report, 0, miCreatingFolders);
    report.Started();

    installation.GroupName = choose_group_name(request.GroupField, program_manager.Groups());

    for (const wchar_t* working : WorkingFolders) {
        if (!ForceDirectories(folder + working)) {
            report.Tell(Message(miFolderNotCreated), nkError);
            result.Outcome = ioChangeFolder;
            return result;
        }
    }
    ShowStep(report, 20, miCopyingFiles);

    setup.Seek(SetupStubSize);
    try {
        for (const TPayloadFile& file : PayloadFiles) {
            unpack_chunk(setup, folder + file.Name);
            report.Progress(file.InstallProgress);
        }
    } catch (const EPayloadCorrupt&) {
        report.Tell(Notice(niDamagedSetup), nkError);
        result.Outcome = ioStopped;
        return result;
    }
    make_uninstaller_copy(setup, folder + UninstallerFileName);
    ShowStep(report, 90, miRegistering);

    // The name was checked above; " Client" and " 2" keep it safe.
    program_manager.Execute(InstallCommands(installation.GroupName, folder));

    if (request.DesktopShortcut) {
        installation.ShortcutPath = desktop_shortcut_path(request.DesktopFolder);
        create_desktop_shortcut(installation.ClientPath, installation.ShortcutPath);
    }
    write_installation_record(folder + RecordFileName, installation, request.DesktopShortcut);
    write_installation_record(request.SetupFolder + RecordFileName, installation,
                              request.DesktopShortcut);

    ShowStep(report, 100, miInstalled);
    result.Outcome = ioInstalled;
    return result;
}

} // namespace kalvo
