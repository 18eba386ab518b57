// The setup window's start-up routine and the client's launch.
#include "app/framework/platform/windows_and_processes.h"
#include "app/framework/text_convert.h"
#include "controls/s_button.h"
#include "controls/s_check_box.h"
#include "controls/s_combo_box.h"
#include "controls/s_edit.h"
#include "controls/s_label.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "controls/s_radio_button.h"
#include "setup/file_version.h"
#include "setup/installation_record.h"
#include "setup/program_file.h"
#include "setup/running_client.h"
#include "setup/setup_mode.h"
#include "setup/setup_state.h"
#include "wizard/global.h"
#include "wizard/kalvo_setup.h"

#include <windows.h>

namespace kalvo {

namespace {

// The waits of the start-up routine: a fixed pause before the window appears, and a moment
// for a client that was asked to close.
constexpr DWORD StartupWait = 2000;
constexpr DWORD ClientCloseWait = 1000;

} // namespace

// Decides the mode from the program's own size, the record next to it and the installed
// client's version, and prepares the pages for it. Runs before the window first becomes
// visible; the window appears only after the waits.
void Tkalvo_setup::FormShow(TComponent*) {
    const std::wstring program = ProgramFilePath();
    TStartupFacts facts;
    facts.OwnSize = SharedFileSize(program);
    const std::wstring record = FolderOf(program) + RecordFileName;
    facts.RecordExists = FileExists(record);
    if (!facts.RecordExists && facts.OwnSize < FullSetupMinSize) {
        // The uninstaller copy after a finished uninstall: nothing else to offer, no wait.
        show_page(*sPanel_uninstall_completed);
        SetFormStyle(fsNormal);
        return;
    }

    // Picking the entry from here raises no change event: every caption keeps its form text
    // until the user picks a language.
    sComboBox1->SetItems({L"English", L"Russian"});
    sComboBox1->SetItemIndex(0);
    sLabel9->SetText(Message(LanguageEnglish, 25));
    sRadioButton1->SetChecked(false);
    sRadioButton2->SetChecked(true);
    sButton_next2->SetEnabled(false);
    sEdit1->SetText(L"Kalvo");
    sCheckBox1->SetChecked(true);
    sCheckBox2->SetChecked(false);

    if (facts.RecordExists) {
        const TInstallationRecord installation = read_installation_record(record);
        ClientPath = installation.ClientPath;
        GroupName = installation.GroupName;
        ShortcutPath = installation.ShortcutPath;
        facts.ClientExists = FileExists(ClientPath);
        if (facts.ClientExists) {
            sLabel_curr_version->SetText(get_file_version(ClientPath));
            // Whatever fields convert count; the rest stay 0.
            InstalledVersion = {};
            extract_version_bytes(sLabel_curr_version->Text(), InstalledVersion);
            facts.UpdatePossible = UpdatePossible(AvailableVersion, InstalledVersion);
        }
    }

    const TSetupMode mode = DecideSetupMode(facts);
    const TActionChoices choices = ActionChoices(mode);
    sRadioButton3->SetEnabled(choices.InstallEnabled);
    sRadioButton4->SetEnabled(choices.UpdateEnabled);
    sRadioButton5->SetEnabled(choices.UninstallEnabled);
    if (choices.InstallChecked)
        sRadioButton3->SetChecked(true);
    if (choices.UpdateChecked)
        sRadioButton4->SetChecked(true);
    if (choices.UninstallChecked)
        sRadioButton5->SetChecked(true);
    if (mode == smUpdate) {
        sLabel20->SetVisible(false);
        sCheckBox4->SetVisible(false);
        sProgressBar3->SetVisible(true);
        sLabel16->SetVisible(true);
        sLabel19->SetVisible(false);
        sProgressBar3->SetPosition(10);
        sButton_4_update->SetEnabled(false);
    }
    sLabel_aviable_version->SetText(FormatVersion(AvailableVersion));

    show_page(*sPanel_1_language);
    SetFormStyle(fsNormal);

    Sleep(StartupWait);
    if (ask_running_client_to_close())
        Sleep(ClientCloseWait);
}

void Tkalvo_setup::launch_client() {
    // Quoted, so that a folder with spaces in its name starts the right program.
    RunProgram(WideToAnsi(L"\"" + ClientPath + L"\""), SW_SHOWNORMAL);
}

} // namespace kalvo
