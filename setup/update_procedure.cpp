// The update: the installed client replaced by the one this setup file carries, on the update
// page. Nothing else of the installation changes.
#include "app/framework/application.h"
#include "controls/s_button.h"
#include "controls/s_check_box.h"
#include "controls/s_label.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "setup/install_layout.h"
#include "setup/program_file.h"
#include "setup/setup_file.h"
#include "setup/setup_state.h"
#include "wizard/global.h"
#include "wizard/kalvo_setup.h"

namespace kalvo {

namespace {

void ShowProgress(TsProgressBar& bar, int position) {
    bar.SetPosition(position);
    bar.Repaint();
}

} // namespace

// Runs inside the action page's forward handler, without a question. The new client is
// written beside the old one and takes its place only when it came out whole: a damaged
// chunk, or a client that cannot be replaced, leaves the installed one as it was, the
// progress where it stopped and Finish disabled.
void Tkalvo_setup::run_update() {
    show_page(*sPanel_4_updates);
    const std::wstring target = FolderOf(ClientPath) + ClientFileName;
    {
        TSetupFile setup(ProgramFilePath());
        setup.Seek(SetupStubSize);
        ShowProgress(*sProgressBar3, 20);
        try {
            replace_with_chunk(setup, target, [this] { ShowProgress(*sProgressBar3, 60); });
        } catch (const EPayloadCorrupt&) {
            Application->ShowMessageBox(DamagedSetupMessage(), MB_OK | MB_ICONERROR);
            return;
        }
    }
    ShowProgress(*sProgressBar3, 100);

    sCheckBox4->SetChecked(true);
    sCheckBox4->SetVisible(true);
    sLabel19->SetText(Message(42));
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

} // namespace kalvo
