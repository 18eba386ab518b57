#include "wizard/kalvo_setup.h"

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
#include "setup/setup_state.h"
#include "wizard/alert_form_unit.h"
#include "wizard/global.h"


namespace kalvo {

Tkalvo_setup* kalvo_setup = nullptr;

namespace {

// What change_language writes, in this order: a message of the current row into the caption
// of the control of that name.
struct TCaptionText {
    int Message;
    const char* Control;
};
const TCaptionText LanguageCaptions[] = {
    {0, "sLabel1"},
    {1, nullptr}, // the window's own title
    {2, "sButton_next"},
    {2, "sButton_next1a"},
    {2, "sButton_next2"},
    {2, "sButton_next3"},
    {23, "sButton_next3"},
    {3, "sButton_cansel"},
    {3, "sButton_cansel1a"},
    {3, "sButton_cansel2"},
    {3, "sButton_cansel3"},
    {24, "sButton_cansel3a"},
    {4, "sButton_prev1a"},
    {4, "sButton_prev2"},
    {4, "sButton_prev3"},
    {7, "sLabel2"},
    {8, "sRadioButton1"},
    {9, "sRadioButton2"},
    {10, "sLabel3"},
    {11, "sRadioButton3"},
    {12, "sRadioButton4"},
    {13, "sRadioButton5"},
    {15, "sLabel4"},
    {16, "sLabel5"},
    {19, "sLabel6"},
    {20, "sLabel7"},
    {21, "sCheckBox1"},
    {22, "sCheckBox2"},
    {25, "sLabel9"},
    {27, "sLabel8"},
    {28, "sLabel10"},
    {33, "sLabel11"},
    {34, "sCheckBox3"},
    {27, "sLabel12"},
    {28, "sLabel13"},
    {38, "sLabel15"},
    {24, "sButton_4_uninstall"},
    {39, "sLabel20"},
    {27, "sLabel16"},
    {40, "sLabel17"},
    {41, "sLabel18"},
    {34, "sCheckBox4"},
    {42, "sLabel19"},
    {24, "sButton_4_update"},
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

bool Tkalvo_setup::confirm(int message) {
    alert_form->sLabel2->SetText(Message(message));
    alert_form->ShowModal();
    Repaint();
    return AlertResult == 1;
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
        run_update();
    else if (sRadioButton5->Checked()) {
        if (confirm(14))
            run_uninstall();
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
    run_install();
}

void Tkalvo_setup::sButton_canselClick(TComponent*) {
    if (confirm(6))
        Close();
}

void Tkalvo_setup::sButton_cansel3aClick(TComponent*) {
    if (sCheckBox3->Checked())
        launch_client();
    Close();
}

void Tkalvo_setup::sButton_4_uninstallClick(TComponent*) {
    Close();
}

void Tkalvo_setup::sButton_4_updateClick(TComponent*) {
    if (sCheckBox4->Checked())
        launch_client();
    Close();
}

void Tkalvo_setup::sButton_uninstall_completedClick(TComponent*) {
    Close();
}

} // namespace kalvo
