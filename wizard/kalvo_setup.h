// Tkalvo_setup: the setup window. Eight pages lie stacked on the same spot; each handler
// brings the page it leads to to the front. The start-up decision and the install, update
// and uninstall procedures are the setup engine's (setup/); the window applies the decision to
// its pages, runs the procedures from its handlers and shows their progress (page_report.h).
#pragma once

#include "app/framework/class_info.h"
#include "app/framework/form.h"
#include "setup/message_table.h"

#include <optional>

namespace kalvo {

class TDdeClientConv;
class TImage;
class TsButton;
class TsCheckBox;
class TsComboBox;
class TsDirectoryEdit;
class TsEdit;
class TsLabel;
class TsPanel;
class TsProgressBar;
class TsRadioButton;

class Tkalvo_setup : public TForm {
public:
    explicit Tkalvo_setup(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Writes the current language's texts into the window's captions.
    void change_language();

    // Brings a page to the front and paints it at once.
    void show_page(TsPanel& page);

    // The pages.
    TsPanel* sPanel_1_language = nullptr;
    TsPanel* sPanel_2_license = nullptr;
    TsPanel* sPanel_1a_select = nullptr;
    TsPanel* sPanel_3_install = nullptr;
    TsPanel* sPanel_4_install = nullptr;
    TsPanel* sPanel_4_uninstall = nullptr;
    TsPanel* sPanel_4_updates = nullptr;
    TsPanel* sPanel_uninstall_completed = nullptr;

    // The controls the handlers and the start-up routine work with.
    TsComboBox* sComboBox1 = nullptr;
    TsLabel* sLabel9 = nullptr;
    TsRadioButton* sRadioButton1 = nullptr;
    TsRadioButton* sRadioButton2 = nullptr;
    TsButton* sButton_next2 = nullptr;
    TsRadioButton* sRadioButton3 = nullptr;
    TsRadioButton* sRadioButton4 = nullptr;
    TsRadioButton* sRadioButton5 = nullptr;
    TsButton* sButton_next1a = nullptr;
    // Why installing or updating is not offered, on the action page; hidden otherwise.
    TsLabel* sLabel_no_install = nullptr;
    TsDirectoryEdit* sDirectoryEdit1 = nullptr;
    TsEdit* sEdit1 = nullptr;
    TsCheckBox* sCheckBox1 = nullptr;
    TsCheckBox* sCheckBox2 = nullptr;
    TsProgressBar* sProgressBar1 = nullptr;
    TsLabel* sLabel_status = nullptr;
    TsCheckBox* sCheckBox3 = nullptr;
    TsLabel* sLabel11 = nullptr;
    TsButton* sButton_cansel3a = nullptr;
    TsProgressBar* sProgressBar2 = nullptr;
    TsLabel* sLabel14 = nullptr;
    TsLabel* sLabel15 = nullptr;
    TsButton* sButton_4_uninstall = nullptr;
    TsLabel* sLabel16 = nullptr;
    TsProgressBar* sProgressBar3 = nullptr;
    TsLabel* sLabel18 = nullptr;
    TsLabel* sLabel_curr_version = nullptr;
    TsLabel* sLabel_aviable_version = nullptr;
    TsLabel* sLabel20 = nullptr;
    TsCheckBox* sCheckBox4 = nullptr;
    TsLabel* sLabel19 = nullptr;
    TsButton* sButton_4_update = nullptr;

    // The conversation with Program Manager.
    TDdeClientConv* DdeClient = nullptr;

private:
    // The start-up routine: decides the mode, prepares the pages, waits, and asks a running
    // client to close, all before the window first becomes visible.
    void FormShow(TComponent* sender);

    void sComboBox1Change(TComponent* sender);
    void sButton_nextClick(TComponent* sender);
    void sButton_prev1aClick(TComponent* sender);
    void sButton_next1aClick(TComponent* sender);
    void sButton_prev2Click(TComponent* sender);
    void sRadioButton1Click(TComponent* sender);
    void sRadioButton2Click(TComponent* sender);
    void sButton_next2Click(TComponent* sender);
    void sButton_prev3Click(TComponent* sender);
    void sDirectoryEdit1Change(TComponent* sender);
    void sButton_next3Click(TComponent* sender);
    void sButton_canselClick(TComponent* sender);
    void sButton_cansel3aClick(TComponent* sender);
    void sButton_4_uninstallClick(TComponent* sender);
    void sButton_4_updateClick(TComponent* sender);
    void sButton_uninstall_completedClick(TComponent* sender);

    // The procedures behind the forward buttons, each run by the setup engine on its page.
    void install();
    void update();
    void uninstall();

    // Enables the licence page's forward button exactly while "Yes. I agree." is checked.
    void update_licence_choice();
    // Asks the confirmation dialog; true for yes.
    bool confirm(TMessageId message);
    void Bind();

    // The notice on the action page, rewritten with the captions on every language pick.
    std::optional<TNoticeId> payload_notice_;
};

// The setup window, the program's main window.
extern Tkalvo_setup* kalvo_setup;

} // namespace kalvo
