#include "wizard/kalvo_setup.h"

#include "app/framework/application.h"
#include "app/framework/controls/image.h"
#include "app/framework/dde_client_conv.h"
#include "app/framework/form_resources.h"
#include "app/framework/platform/registry.h"
#include "controls/s_button.h"
#include "controls/s_check_box.h"
#include "controls/s_combo_box.h"
#include "controls/s_directory_edit.h"
#include "controls/s_edit.h"
#include "controls/s_label.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "controls/s_radio_button.h"
#include "setup/install_procedure_win32.h"
#include "setup/program_file_win32.h"
#include "setup/running_client_win32.h"
#include "setup/setup_file_win32.h"
#include "setup/setup_state.h"
#include "setup/shell_integration_win32.h"
#include "setup/startup_win32.h"
#include "setup/uninstall_procedure_win32.h"
#include "setup/update_procedure_win32.h"
#include "wizard/alert_form_unit.h"
#include "wizard/page_report.h"

#include <shlobj.h>

namespace kalvo {

Tkalvo_setup* kalvo_setup = nullptr;

namespace {

// What change_language writes, in this order: a message of the current row into the caption
// of the control of that name.
struct TCaptionText {
    TMessageId Message;
    const char* Control;
};
const TCaptionText LanguageCaptions[] = {
    {miSelectLanguage, "sLabel1"},
    {miWindowTitle, nullptr}, // the window's own title
    {miNext, "sButton_next"},
    {miNext, "sButton_next1a"},
    {miNext, "sButton_next2"},
    {miNext, "sButton_next3"},
    {miInstall, "sButton_next3"},
    {miExit, "sButton_cansel"},
    {miExit, "sButton_cansel1a"},
    {miExit, "sButton_cansel2"},
    {miExit, "sButton_cansel3"},
    {miFinish, "sButton_cansel3a"},
    {miBack, "sButton_prev1a"},
    {miBack, "sButton_prev2"},
    {miBack, "sButton_prev3"},
    {miLicenceAgreement, "sLabel2"},
    {miAgree, "sRadioButton1"},
    {miDisagree, "sRadioButton2"},
    {miSelectAction, "sLabel3"},
    {miInstallProgram, "sRadioButton3"},
    {miUpdateProgram, "sRadioButton4"},
    {miUninstallProgram, "sRadioButton5"},
    {miInstallFolder, "sLabel4"},
    {miInstallFolderHint, "sLabel5"},
    {miGroupName, "sLabel6"},
    {miAdditional, "sLabel7"},
    {miDesktopIcon, "sCheckBox1"},
    {miQuickLaunchIcon, "sCheckBox2"},
    {miWelcome, "sLabel9"},
    {miProgress, "sLabel8"},
    {miStatus, "sLabel10"},
    {miInstallFinishHint, "sLabel11"},
    {miLaunchClient, "sCheckBox3"},
    {miProgress, "sLabel12"},
    {miStatus, "sLabel13"},
    {miUninstallFinishHint, "sLabel15"},
    {miFinish, "sButton_4_uninstall"},
    {miNoUpgrades, "sLabel20"},
    {miProgress, "sLabel16"},
    {miCurrentVersion, "sLabel17"},
    {miAvailableVersion, "sLabel18"},
    {miLaunchClient, "sCheckBox4"},
    {miUpdateFinishHint, "sLabel19"},
    {miFinish, "sButton_4_update"},
};

} // namespace

Tkalvo_setup::Tkalvo_setup(TComponent* owner) : TForm(owner) {
    ReadFormResource(*this, "kalvo_setup",
                     {{
                         {"FormShow", Method(this, &Tkalvo_setup::FormShow)},
                         {"sComboBox1Change", Method(this, &Tkalvo_setup::sComboBox1Change)},
                         {"sButton_nextClick", Method(this, &Tkalvo_setup::sButton_nextClick)},
                         {"sButton_prev1aClick", Method(this, &Tkalvo_setup::sButton_prev1aClick)},
                         {"sButton_next1aClick", Method(this, &Tkalvo_setup::sButton_next1aClick)},
                         {"sButton_prev2Click", Method(this, &Tkalvo_setup::sButton_prev2Click)},
                         {"sRadioButton1Click", Method(this, &Tkalvo_setup::sRadioButton1Click)},
                         {"sRadioButton2Click", Method(this, &Tkalvo_setup::sRadioButton2Click)},
                         {"sButton_next2Click", Method(this, &Tkalvo_setup::sButton_next2Click)},
                         {"sButton_prev3Click", Method(this, &Tkalvo_setup::sButton_prev3Click)},
                         {"sDirectoryEdit1Change", Method(this, &Tkalvo_setup::sDirectoryEdit1Change)},
                         {"sButton_next3Click", Method(this, &Tkalvo_setup::sButton_next3Click)},
                         {"sButton_canselClick", Method(this, &Tkalvo_setup::sButton_canselClick)},
                         {"sButton_cansel3aClick", Method(this, &Tkalvo_setup::sButton_cansel3aClick)},
                         {"sButton_4_uninstallClick",
                          Method(this, &Tkalvo_setup::sButton_4_uninstallClick)},
                         {"sButton_4_updateClick", Method(this, &Tkalvo_setup::sButton_4_updateClick)},
                         {"sButton_uninstall_completedClick",
                          Method(this, &Tkalvo_setup::sButton_uninstall_completedClick)},
                     }});
    Bind();
    DoCreate();
}

const TClassInfo& Tkalvo_setup::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<Tkalvo_setup>("Tkalvo_setup", &TForm::StaticClassInfo()).Build();
    return info;
}

void Tkalvo_setup::Bind() {
    RequiredComponent(*this, sPanel_1_language, "sPanel_1_language");
    RequiredComponent(*this, sPanel_2_license, "sPanel_2_license");
    RequiredComponent(*this, sPanel_1a_select, "sPanel_1a_select");
    RequiredComponent(*this, sPanel_3_install, "sPanel_3_install");
    RequiredComponent(*this, sPanel_4_install, "sPanel_4_install");
    RequiredComponent(*this, sPanel_4_uninstall, "sPanel_4_uninstall");
    RequiredComponent(*this, sPanel_4_updates, "sPanel_4_updates");
    RequiredComponent(*this, sPanel_uninstall_completed, "sPanel_uninstall_completed");
    RequiredComponent(*this, sComboBox1, "sComboBox1");
    RequiredComponent(*this, sLabel9, "sLabel9");
    RequiredComponent(*this, sRadioButton1, "sRadioButton1");
    RequiredComponent(*this, sRadioButton2, "sRadioButton2");
    RequiredComponent(*this, sButton_next2, "sButton_next2");
    RequiredComponent(*this, sRadioButton3, "sRadioButton3");
    RequiredComponent(*this, sRadioButton4, "sRadioButton4");
    RequiredComponent(*this, sRadioButton5, "sRadioButton5");
    RequiredComponent(*this, sButton_next1a, "sButton_next1a");
    RequiredComponent(*this, sLabel_no_install, "sLabel_no_install");
    RequiredComponent(*this, sDirectoryEdit1, "sDirectoryEdit1");
    RequiredComponent(*this, sEdit1, "sEdit1");
    RequiredComponent(*this, sCheckBox1, "sCheckBox1");
    RequiredComponent(*this, sCheckBox2, "sCheckBox2");
    RequiredComponent(*this, sProgressBar1, "sProgressBar1");
    RequiredComponent(*this, sLabel_status, "sLabel_status");
    RequiredComponent(*this, sCheckBox3, "sCheckBox3");
    RequiredComponent(*this, sLabel11, "sLabel11");
    RequiredComponent(*this, sButton_cansel3a, "sButton_cansel3a");
    RequiredComponent(*this, sProgressBar2, "sProgressBar2");
    RequiredComponent(*this, sLabel14, "sLabel14");
    RequiredComponent(*this, sLabel15, "sLabel15");
    RequiredComponent(*this, sButton_4_uninstall, "sButton_4_uninstall");
    RequiredComponent(*this, sLabel16, "sLabel16");
    RequiredComponent(*this, sProgressBar3, "sProgressBar3");
    RequiredComponent(*this, sLabel18, "sLabel18");
    RequiredComponent(*this, sLabel_curr_version, "sLabel_curr_version");
    RequiredComponent(*this, sLabel_aviable_version, "sLabel_aviable_version");
    RequiredComponent(*this, sLabel20, "sLabel20");
    RequiredComponent(*this, sCheckBox4, "sCheckBox4");
    RequiredComponent(*this, sLabel19, "sLabel19");
    RequiredComponent(*this, sButton_4_update, "sButton_4_update");
    RequiredComponent(*this, DdeClient, "DdeClient");
}

void Tkalvo_setup::change_language() {
    for (const TCaptionText& caption : LanguageCaptions) {
        if (!caption.Control) {
            SetText(Message(caption.Message));
            continue;
        }
        RequiredComponent<TControl>(*this, caption.Control)->SetText(Message(caption.Message));
    }
    if (payload_notice_)
        sLabel_no_install->SetText(Notice(*payload_notice_));
}

// Decides the mode and prepares the pages for it. Runs before the window first becomes
// visible; the window appears only after the waits.
void Tkalvo_setup::FormShow(TComponent*) {
    const TStartupDecision decision = decide_startup(ProgramFilePath());
    if (decision.Mode == smUninstallFinished) {
        // The uninstaller copy after a finished uninstall: nothing else to offer, no wait.
        show_page(*sPanel_uninstall_completed);
        SetFormStyle(fsNormal);
        return;
    }

    // Picking the entry from here raises no change event: every caption keeps its form text
    // until the user picks a language.
    sComboBox1->SetItems({L"English", L"Russian"});
    sComboBox1->SetItemIndex(0);
    sLabel9->SetText(Message(LanguageEnglish, miWelcome));
    sRadioButton1->SetChecked(false);
    sRadioButton2->SetChecked(true);
    sButton_next2->SetEnabled(false);
    sEdit1->SetText(L"Kalvo");
    sCheckBox1->SetChecked(true);
    sCheckBox2->SetChecked(false);

    if (decision.Facts.RecordExists) {
        ClientPath = decision.Installation.ClientPath;
        GroupName = decision.Installation.GroupName;
        ShortcutPath = decision.Installation.ShortcutPath;
    }
    if (decision.Facts.ClientExists) {
        sLabel_curr_version->SetText(decision.InstalledVersionText);
        InstalledVersion = decision.InstalledVersion;
    }

    const TActionChoices choices = ActionChoices(decision.Mode);
    sRadioButton3->SetEnabled(choices.InstallEnabled);
    sRadioButton4->SetEnabled(choices.UpdateEnabled);
    sRadioButton5->SetEnabled(choices.UninstallEnabled);
    if (choices.InstallChecked)
        sRadioButton3->SetChecked(true);
    if (choices.UpdateChecked)
        sRadioButton4->SetChecked(true);
    if (choices.UninstallChecked)
        sRadioButton5->SetChecked(true);
    if (decision.Mode == smNoAction) {
        // A damaged setup file and nothing installed: there is nothing to choose.
        for (TsRadioButton* choice : {sRadioButton3, sRadioButton4, sRadioButton5})
            choice->SetChecked(false);
        sButton_next1a->SetEnabled(false);
    }
    payload_notice_ = decision.PayloadNotice;
    if (payload_notice_) {
        sLabel_no_install->SetText(Notice(*payload_notice_));
        sLabel_no_install->SetVisible(true);
    }
    if (decision.Mode == smUpdate) {
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
    startup_wait();
}

// All pages lie on the same spot. The ones behind the front page are hidden as well, so
// that the keyboard (Tab, access keys) never reaches a control the user cannot see.
void Tkalvo_setup::show_page(TsPanel& page) {
    for (TsPanel* other : {sPanel_1_language, sPanel_2_license, sPanel_1a_select,
                           sPanel_3_install, sPanel_4_install, sPanel_4_uninstall,
                           sPanel_4_updates, sPanel_uninstall_completed})
        if (other != &page)
            other->SetVisible(false);
    page.SetVisible(true);
    page.BringToFront();
    page.Repaint();
    // Hiding the page that had the keyboard leaves it with no control: the new page's first
    // control takes it, as in a dialog box that opens.
    const HWND focus = GetFocus();
    if (!focus || !IsChild(page.Handle(), focus))
        if (auto* first = TWinControl::FromHandle(GetNextDlgTabItem(page.Handle(), nullptr, FALSE)))
            SetActiveControl(first);
}

void Tkalvo_setup::update_licence_choice() {
    sButton_next2->SetEnabled(sRadioButton1->Checked());
}

bool Tkalvo_setup::confirm(TMessageId message) {
    alert_form->sLabel2->SetText(Message(message));
    alert_form->ShowModal();
    Repaint();
    return AlertResult == 1;
}

// The folder page's "Install". A group name or folder the checks refuse, and a folder that
// cannot be made, keep the user on the folder page with the field to change; a file or record
// that cannot be written ends the install in the framework's error box (the exception leaves
// the handler); a damaged payload ends it with one message. Finish is enabled only once
// everything is in place.
void Tkalvo_setup::install() {
    sButton_cansel3a->SetEnabled(false);
    sCheckBox3->SetChecked(true);
    sCheckBox3->SetVisible(false);
    sLabel11->SetVisible(false);

    TInstallRequest request;
    request.Folder = InstallFolder;
    request.GroupField = sEdit1->Text();
    request.DesktopShortcut = sCheckBox1->Checked();
    request.DesktopFolder = get_special_folder(Handle(), CSIDL_DESKTOPDIRECTORY);
    const std::wstring program = ProgramFilePath();
    request.SetupFolder = FolderOf(program);
    request.NeverSwept = folders_never_swept();
    TSetupFile setup(program);
    TDdeProgramManager program_manager(*DdeClient);
    TPageReport report(*this, *sPanel_4_install, *sProgressBar1, sLabel_status);

    const TInstallResult result = run_install(request, setup, program_manager, report);
    if (result.Outcome == ioChangeFolder || result.Outcome == ioChangeGroup) {
        show_page(*sPanel_3_install);
        if (result.Outcome == ioChangeFolder)
            SetActiveControl(sDirectoryEdit1);
        else
            SetActiveControl(sEdit1);
        return;
    }
    // Where the client went and its group, also when a damaged chunk stopped the install.
    ClientPath = result.Installation.ClientPath;
    GroupName = result.Installation.GroupName;
    if (result.Outcome != ioInstalled)
        return; // the page stays as it is, Finish disabled: only the close box leads out
    if (request.DesktopShortcut)
        ShortcutPath = result.Installation.ShortcutPath;
    SetupFolder = request.SetupFolder;
    sCheckBox3->SetVisible(true);
    sLabel11->SetVisible(true);
    sButton_cansel3a->SetEnabled(true);
    // Nothing on the page could take the keyboard while the install ran: Enter now finishes.
    SetActiveControl(sButton_cansel3a);
}

// Runs without a question. A damaged chunk, or a client that cannot be replaced, leaves the
// installed one as it was, the progress where it stopped and Finish disabled.
void Tkalvo_setup::update() {
    TSetupFile setup(ProgramFilePath());
    TPageReport report(*this, *sPanel_4_updates, *sProgressBar3, nullptr);
    if (!run_update(ClientPath, setup, report))
        return;
    sCheckBox4->SetChecked(true);
    sCheckBox4->SetVisible(true);
    sLabel19->SetText(Message(miUpdateFinishHint));
    sLabel19->SetVisible(true);
    sLabel19->Repaint();
    // Only "Current Version:" stays, with the version now installed.
    sLabel18->SetVisible(false);
    sLabel_aviable_version->SetVisible(false);
    sLabel_curr_version->SetText(sLabel_aviable_version->Text());
    sLabel_curr_version->Repaint();
    sButton_4_update->SetEnabled(true);
    sButton_4_update->Repaint();
    // Nothing on the page could take the keyboard meanwhile: Enter now finishes.
    SetActiveControl(sButton_4_update);
}

// Runs once the user confirmed. A folder the record names that no installation may live in is
// refused before anything is touched, and the action page stays.
void Tkalvo_setup::uninstall() {
    sLabel15->SetVisible(false);
    sButton_4_uninstall->SetEnabled(false);
    TDdeProgramManager program_manager(*DdeClient);
    TPageReport report(*this, *sPanel_4_uninstall, *sProgressBar2, sLabel14);
    if (!run_uninstall({ClientPath, GroupName, ShortcutPath}, folders_never_swept(),
                       program_manager, report))
        return;
    sLabel15->SetText(Message(miUninstallFinishHint));
    sLabel15->SetVisible(true);
    sButton_4_uninstall->SetEnabled(true);
    Repaint();
    SetActiveControl(sButton_4_uninstall);
}

void Tkalvo_setup::sComboBox1Change(TComponent*) {
    if (sComboBox1->ItemIndex() == 0) {
        LanguageIndex = LanguageEnglish;
        change_language();
    }
    if (sComboBox1->ItemIndex() == 1) {
        LanguageIndex = LanguageRussian;
        change_language();
    }
}

void Tkalvo_setup::sButton_nextClick(TComponent*) {
    show_page(*sPanel_1a_select);
}

void Tkalvo_setup::sButton_prev1aClick(TComponent*) {
    show_page(*sPanel_1_language);
}

void Tkalvo_setup::sButton_next1aClick(TComponent*) {
    if (sRadioButton3->Checked())
        show_page(*sPanel_2_license);
    else if (sRadioButton4->Checked())
        update();
    else if (sRadioButton5->Checked()) {
        if (confirm(miUninstallQuestion))
            uninstall();
    }
}

void Tkalvo_setup::sButton_prev2Click(TComponent*) {
    show_page(*sPanel_1a_select);
}

void Tkalvo_setup::sRadioButton1Click(TComponent*) {
    update_licence_choice();
}

void Tkalvo_setup::sRadioButton2Click(TComponent*) {
    update_licence_choice();
}

// Every step forward from the licence proposes the default folder again.
void Tkalvo_setup::sButton_next2Click(TComponent*) {
    TRegistry registry;
    std::wstring folder;
    if (registry.OpenKeyReadOnly(HKEY_LOCAL_MACHINE,
                                 L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion"))
        folder = registry.ReadString(L"ProgramFilesDir").value_or(L"");
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    InstallFolder = folder;
    sDirectoryEdit1->SetText(InstallFolder + L"kalvo");
    // The field's change handler makes InstallFolder of its text; it must run even when the
    // text was already the default and the field saw no change.
    sDirectoryEdit1Change(sDirectoryEdit1);
    show_page(*sPanel_3_install);
}

void Tkalvo_setup::sButton_prev3Click(TComponent*) {
    show_page(*sPanel_2_license);
}

void Tkalvo_setup::sDirectoryEdit1Change(TComponent*) {
    InstallFolder = sDirectoryEdit1->Text();
    if (!InstallFolder.empty() && InstallFolder.back() != L'\\')
        InstallFolder += L'\\';
}

void Tkalvo_setup::sButton_next3Click(TComponent*) {
    install();
}

void Tkalvo_setup::sButton_canselClick(TComponent*) {
    if (confirm(miExitQuestion))
        Close();
}

void Tkalvo_setup::sButton_cansel3aClick(TComponent*) {
    if (sCheckBox3->Checked())
        launch_client(ClientPath);
    Close();
}

void Tkalvo_setup::sButton_4_uninstallClick(TComponent*) {
    Close();
}

void Tkalvo_setup::sButton_4_updateClick(TComponent*) {
    if (sCheckBox4->Checked())
        launch_client(ClientPath);
    Close();
}

void Tkalvo_setup::sButton_uninstall_completedClick(TComponent*) {
    Close();
}

} // namespace kalvo
