// The setup window in this process, for what its dump does not show: the setup state that the
// handlers write (InstallFolder, AlertResult).
#include "app/framework/application.h"
#include "controls/s_button.h"
#include "controls/s_combo_box.h"
#include "controls/s_directory_edit.h"
#include "controls/s_radio_button.h"
#include "controls/skinned_classes.h"
#include "setup/setup_state.h"
#include "tests/framework/support/framework_fixture.h"
#include "wizard/alert_form_unit.h"
#include "wizard/data_module1.h"
#include "setup/message_table.h"
#include "wizard/kalvo_setup.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kalvo {
namespace {

// The program's windows, made as its entry makes them (without showing the setup window,
// whose start-up routine waits).
class SetupWindowTest : public test::FrameworkTest {
protected:
    void SetUp() override {
        RegisterSkinnedClasses();
        kalvo_setup = app.CreateForm<Tkalvo_setup>();
        DataModule1 = new TDataModule1(&app);
        alert_form = app.CreateForm<Talert_form>();
        InstallFolder.clear();
        AlertResult = 0;
    }
    void TearDown() override {
        kalvo_setup = nullptr;
        DataModule1 = nullptr;
        alert_form = nullptr;
    }

    // The registry value the folder page proposes, read here on its own.
    static std::wstring ProgramFilesDir() {
        wchar_t value[MAX_PATH] = {};
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                         L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
            return L"";
        return value;
    }
};

TEST_F(SetupWindowTest, TheFolderPageProposesTheDefaultEachTimeAndKeepsAChosenFolder) {
    const std::wstring program_files = ProgramFilesDir();
    ASSERT_FALSE(program_files.empty()) << "the prefix has no ProgramFilesDir";
    const std::wstring default_folder =
        program_files + (program_files.back() == L'\\' ? L"" : L"\\") + L"kalvo";
    Tkalvo_setup& window = *kalvo_setup;
    window.sRadioButton1->SetChecked(true);

    window.sButton_next2->Click();
    EXPECT_EQ(window.sDirectoryEdit1->Text(), default_folder);
    EXPECT_EQ(InstallFolder, default_folder + L"\\");

    // A folder picked with the field's button becomes the installation folder.
    window.sDirectoryEdit1->BrowseForFolder = [](const TFolderBrowseRequest&) {
        return std::optional<std::wstring>(L"D:\\Games\\Kalvo");
    };
    window.sDirectoryEdit1->ButtonClick();
    EXPECT_EQ(InstallFolder, L"D:\\Games\\Kalvo\\");
    window.sDirectoryEdit1->BrowseForFolder = [](const TFolderBrowseRequest&) {
        return std::optional<std::wstring>(L"E:\\");
    };
    window.sDirectoryEdit1->ButtonClick();
    EXPECT_EQ(InstallFolder, L"E:\\");

    // Back to the licence and forward again: the default once more, twice in a row too,
    // when the field already shows it and sees no change.
    auto* back = dynamic_cast<TsButton*>(window.FindComponent("sButton_prev3"));
    ASSERT_NE(back, nullptr);
    for (int round = 0; round < 2; ++round) {
        back->Click();
        window.sButton_next2->Click();
        EXPECT_EQ(window.sDirectoryEdit1->Text(), default_folder) << round;
        EXPECT_EQ(InstallFolder, default_folder + L"\\") << round;
    }
}

// A pick as the list reports it to its parent when the user chooses an entry.
void UserPicks(TsComboBox& list, int index) {
    list.SetItemIndex(index);
    SendMessageW(GetParent(list.Handle()), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(list.Handle()), CBN_SELCHANGE), LPARAM(list.Handle()));
}

// Every pick writes all captions, also when the language stays the same.
TEST_F(SetupWindowTest, EveryPickWritesTheCaptionsAgain) {
    Tkalvo_setup& window = *kalvo_setup;
    TControl& exit_button = *RequiredComponent<TControl>(window, "sButton_cansel");
    TControl& heading = *RequiredComponent<TControl>(window, "sLabel3");
    window.sComboBox1->SetItems({L"English", L"Russian"});
    UserPicks(*window.sComboBox1, 1);
    EXPECT_EQ(LanguageIndex, LanguageRussian);
    EXPECT_EQ(exit_button.Text(), L"Выход");
    exit_button.SetText(L"changed");
    heading.SetText(L"changed");
    UserPicks(*window.sComboBox1, 1);
    EXPECT_EQ(exit_button.Text(), L"Выход");
    EXPECT_EQ(heading.Text(), L"Выберите действие:");
    UserPicks(*window.sComboBox1, 0);
    EXPECT_EQ(LanguageIndex, LanguageEnglish);
    EXPECT_EQ(exit_button.Text(), L"Exit");
    EXPECT_EQ(window.Text(), L"Kalvo.Net - Setup/Updates");
}

// Alt+F4 closes the dialog without touching the answer of the question before.
TEST_F(SetupWindowTest, AltF4OnTheDialogKeepsTheLastAnswer) {
    for (const std::uint8_t before : {std::uint8_t(1), std::uint8_t(0)}) {
        AlertResult = before;
        test::RunLater(100, [] {
            HWND focus = GetFocus();
            ASSERT_NE(focus, nullptr);
            // A system key with Alt held: bit 29 of the key data.
            PostMessageW(focus, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        });
        alert_form->ShowModal();
        EXPECT_FALSE(alert_form->Visible());
        EXPECT_EQ(AlertResult, before);
    }
}

} // namespace
} // namespace kalvo
