#include "app/framework/class_info.h"
#include "app/framework/controls/button.h"
#include "app/framework/controls/check_box.h"
#include "app/framework/controls/combo_box.h"
#include "app/framework/controls/edit.h"
#include "app/framework/controls/group_box.h"
#include "app/framework/controls/label.h"
#include "app/framework/controls/memo.h"
#include "app/framework/controls/panel.h"
#include "app/framework/controls/progress_bar.h"
#include "app/framework/controls/radio_button.h"
#include "app/framework/form.h"
#include "app/framework/form_reader.h"
#include "controls/s_button.h"
#include "controls/s_check_box.h"
#include "controls/s_combo_box.h"
#include "controls/s_directory_edit.h"
#include "controls/s_edit.h"
#include "controls/s_group_box.h"
#include "controls/s_label.h"
#include "controls/s_memo.h"
#include "controls/s_panel.h"
#include "controls/s_progress_bar.h"
#include "controls/s_radio_button.h"
#include "controls/s_skin_manager.h"
#include "controls/s_skin_provider.h"
#include "controls/skinned_classes.h"
#include "tests/framework/support/framework_fixture.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {
namespace {

class SkinnedClassesTest : public test::FrameworkTest {
protected:
    void SetUp() override { RegisterSkinnedClasses(); }
};

// The value a property gives back, written as a definition writes it.
std::string Published(const TComponent& component, const std::string& property) {
    const TPropertyInfo* info = component.ClassInfo().FindProperty(property);
    if (!info || !info->Get)
        return "<" + property + " not readable>";
    return info->Get(component);
}

// Each class is known by its name, derives from its standard class and is made as itself.
TEST_F(SkinnedClassesTest, EveryClassIsRegisteredOverItsBase) {
    const std::pair<const char*, const TClassInfo*> classes[] = {
        {"TsPanel", &TPanel::StaticClassInfo()},
        {"TsButton", &TButton::StaticClassInfo()},
        {"TsLabel", &TLabel::StaticClassInfo()},
        {"TsComboBox", &TComboBox::StaticClassInfo()},
        {"TsMemo", &TMemo::StaticClassInfo()},
        {"TsEdit", &TEdit::StaticClassInfo()},
        {"TsRadioButton", &TRadioButton::StaticClassInfo()},
        {"TsCheckBox", &TCheckBox::StaticClassInfo()},
        {"TsGroupBox", &TGroupBox::StaticClassInfo()},
        {"TsProgressBar", &TProgressBar::StaticClassInfo()},
        {"TsDirectoryEdit", &TsEdit::StaticClassInfo()},
        {"TsSkinManager", &TComponent::StaticClassInfo()},
        {"TsSkinProvider", &TComponent::StaticClassInfo()},
    };
    TForm form(nullptr);
    for (const auto& [name, base] : classes) {
        const TClassInfo* info = FindComponentClass(name);
        ASSERT_NE(info, nullptr) << name;
        EXPECT_TRUE(info->InheritsFrom(*base)) << name;
        ASSERT_TRUE(info->Create) << name;
        const std::unique_ptr<TComponent> made(info->Create(nullptr));
        EXPECT_STREQ(made->ClassName(), name);
        EXPECT_EQ(&made->ClassInfo(), info) << name;
    }
    // The standard classes come with them.
    EXPECT_NE(FindComponentClass("TButton"), nullptr);
    EXPECT_NE(FindComponentClass("TTimer"), nullptr);
}

struct TDefinedObject {
    const char* class_name;
    const char* name;
    std::vector<std::pair<std::string, std::string>> properties; // path, value as written
};

std::vector<TDefinedObject> DefinedObjects() {
    std::vector<TDefinedObject> objects = {
        {"TsSkinManager",
         "sSkinManager1",
         {{"Active", "false"},
          {"AllowGlowing", "false"},
          {"HueOffset", "-30"},
          {"Saturation", "12"},
          {"IsDefault", "false"},
          {"SkinDirectory", R"("d:\\Skins\\Setup")"},
          {"SkinName", "\"Topaz (internal)\""},
          {"SkinInfo", R"("6.14")"},
          {"SkinnedPopups", "false"},
          {"MenuSupport.IcoLineSkin", R"("ICOLINE2")"}}},
        {"TsSkinProvider",
         "sSkinProvider1",
         {{"CaptionAlignment", "taCenter"},
          {"DrawNonClientArea", "false"},
          {"ShowAppIcon", "false"},
          {"UseGlobalColor", "false"},
          {"TitleSkin", R"("FORMTITLE2")"},
          {"MenuLineSkin", R"("MENULINE2")"},
          {"ScreenSnap", "true"},
          {"SnapBuffer", "4"},
          {"MakeSkinMenu", "true"}}},
        {"TsPanel",
         "sPanel1",
         {{"Left", "7"}, {"Caption", R"("panel")"}, {"BevelOuter", "bvLowered"}}},
        {"TsButton",
         "sButton1",
         {{"Caption", R"("Next >")"}, {"Default", "true"}, {"ModalResult", "1"}}},
        {"TsLabel",
         "sLabel1",
         {{"Caption", R"("Install to:")"}, {"AutoSize", "false"}, {"Alignment", "taRightJustify"}}},
        {"TsComboBox",
         "sComboBox1",
         {{"Style", "csDropDownList"}, {"Items", R"(strings { "English" "Deutsch" })"}}},
        {"TsMemo",
         "sMemo1",
         {{"Lines", R"(strings { "licence" "text" })"},
          {"ScrollBars", "ssVertical"},
          {"ReadOnly", "true"}}},
        {"TsEdit", "sEdit1", {{"Text", R"("Kalvo.Net")"}, {"MaxLength", "40"}}},
        {"TsRadioButton", "sRadioButton1", {{"Caption", R"("Repair")"}, {"Checked", "true"}}},
        {"TsCheckBox", "sCheckBox1", {{"Caption", R"("Desktop icon")"}, {"Checked", "true"}}},
        {"TsGroupBox", "sGroupBox1", {{"Caption", R"("Mode")"}, {"Top", "33"}}},
        {"TsProgressBar", "sProgressBar1", {{"Max", "50"}, {"Position", "20"}}},
        {"TsDirectoryEdit",
         "sDirectoryEdit1",
         {{"Root", R"("rfMyComputer")"},
          {"InitialDir", R"("C:\\Kalvo")"},
          {"DirectInput", "false"},
          {"MaxLength", "100"},
          {"Text", R"("C:\\Program Files\\Kalvo.Net")"}}},
        {"TsDirectoryEdit", "sDirectoryEdit2", {{"ReadOnly", "true"}, {"Root", R"("C:\\")"}}},
    };
    // Every list of the manager's ThirdParty, each with a value of its own.
    for (const char* entry :
         {"ThirdEdits", "ThirdButtons", "ThirdBitBtns", "ThirdCheckBoxes", "ThirdComboBoxes",
          "ThirdGrids", "ThirdGroupBoxes", "ThirdListViews", "ThirdPanels", "ThirdTreeViews",
          "ThirdWWEdits", "ThirdGridEh", "ThirdVirtualTrees", "ThirdPageControl", "ThirdTabControl",
          "ThirdToolBar", "ThirdStatusBar"})
        objects[0].properties.emplace_back(std::string("ThirdParty.") + entry,
                                           std::string("\"TMy") + entry + "\"");
    return objects;
}

std::string DefinitionText(const std::vector<TDefinedObject>& objects) {
    std::string text = "object Form1 : TForm {\n";
    for (const TDefinedObject& object : objects) {
        text += std::string("    object ") + object.name + " : " + object.class_name + " {\n";
        for (const auto& [path, value] : object.properties)
            text += "        " + path + " = " + value + "\n";
        if (std::string(object.name) == "sDirectoryEdit1")
            text += "        OnChange = FolderChanged\n        OnButtonClick = FolderButton\n";
        text += "    }\n";
    }
    return text + "}\n";
}

// A definition naming every class, each property away from its default, reads back what it
// says; the events bind to the form's handlers.
TEST_F(SkinnedClassesTest, DefinitionValuesReadBack) {
    const std::vector<TDefinedObject> objects = DefinedObjects();
    int folder_changes = 0;
    int button_clicks = 0;
    THandlers handlers;
    handlers.Notify["FolderChanged"] = [&](TComponent*) {
        ++folder_changes;
    };
    handlers.Notify["FolderButton"] = [&](TComponent*) {
        ++button_clicks;
    };
    TForm form(nullptr);
    ReadFormText(form, DefinitionText(objects), "skinned.form", handlers);

    for (const TDefinedObject& object : objects) {
        const TComponent* component = form.FindComponent(object.name);
        ASSERT_NE(component, nullptr) << object.name;
        EXPECT_STREQ(component->ClassName(), object.class_name);
        for (const auto& [path, value] : object.properties)
            EXPECT_EQ(Published(*component, path), value) << object.name << "." << path;
    }

    // The typed accessors hold the same values (no two properties share a field).
    const auto& manager = dynamic_cast<TsSkinManager&>(*form.FindComponent("sSkinManager1"));
    EXPECT_EQ(manager.HueOffset(), -30);
    EXPECT_EQ(manager.Saturation(), 12);
    EXPECT_EQ(manager.SkinInfo(), L"6.14");
    EXPECT_EQ(manager.MenuSupport.IcoLineSkin, L"ICOLINE2");
    const std::pair<std::wstring ThirdPartyList::*, const wchar_t*> lists[] = {
        {&ThirdPartyList::ThirdEdits, L"TMyThirdEdits"},
        {&ThirdPartyList::ThirdButtons, L"TMyThirdButtons"},
        {&ThirdPartyList::ThirdBitBtns, L"TMyThirdBitBtns"},
        {&ThirdPartyList::ThirdCheckBoxes, L"TMyThirdCheckBoxes"},
        {&ThirdPartyList::ThirdComboBoxes, L"TMyThirdComboBoxes"},
        {&ThirdPartyList::ThirdGrids, L"TMyThirdGrids"},
        {&ThirdPartyList::ThirdGroupBoxes, L"TMyThirdGroupBoxes"},
        {&ThirdPartyList::ThirdListViews, L"TMyThirdListViews"},
        {&ThirdPartyList::ThirdPanels, L"TMyThirdPanels"},
        {&ThirdPartyList::ThirdTreeViews, L"TMyThirdTreeViews"},
        {&ThirdPartyList::ThirdWWEdits, L"TMyThirdWWEdits"},
        {&ThirdPartyList::ThirdGridEh, L"TMyThirdGridEh"},
        {&ThirdPartyList::ThirdVirtualTrees, L"TMyThirdVirtualTrees"},
        {&ThirdPartyList::ThirdPageControl, L"TMyThirdPageControl"},
        {&ThirdPartyList::ThirdTabControl, L"TMyThirdTabControl"},
        {&ThirdPartyList::ThirdToolBar, L"TMyThirdToolBar"},
        {&ThirdPartyList::ThirdStatusBar, L"TMyThirdStatusBar"},
    };
    for (const auto& [member, value] : lists)
        EXPECT_EQ(manager.ThirdParty.*member, value);
    const auto& provider = dynamic_cast<TsSkinProvider&>(*form.FindComponent("sSkinProvider1"));
    EXPECT_EQ(provider.CaptionAlignment(), taCenter);
    EXPECT_EQ(provider.SnapBuffer(), 4);

    auto& folder = dynamic_cast<TsDirectoryEdit&>(*form.FindComponent("sDirectoryEdit1"));
    EXPECT_EQ(folder.Root(), L"rfMyComputer");
    EXPECT_EQ(folder.InitialDir(), L"C:\\Kalvo");
    EXPECT_FALSE(folder.DirectInput());
    EXPECT_FALSE(folder.ReadOnly());
    EXPECT_TRUE(folder.TEdit::ReadOnly()) << "no direct input: the edit window is read-only";
    EXPECT_EQ(folder.Parent(), &form);
    const auto& locked = dynamic_cast<TsDirectoryEdit&>(*form.FindComponent("sDirectoryEdit2"));
    EXPECT_TRUE(locked.ReadOnly());
    EXPECT_TRUE(locked.DirectInput());

    // The bound handlers run (the text came before OnChange in the definition).
    EXPECT_EQ(folder_changes, 0);
    folder.SetText(L"D:\\Kalvo");
    EXPECT_EQ(folder_changes, 1);
    folder.BrowseForFolder = [](const TFolderBrowseRequest&) {
        return std::nullopt;
    };
    folder.ButtonClick();
    EXPECT_EQ(button_clicks, 1);
}

// What a new component or control holds before a definition says anything.
TEST_F(SkinnedClassesTest, Defaults) {
    struct Case {
        const char* class_name;
        const char* property;
        const char* value;
    };
    const Case cases[] = {
        {"TsSkinManager", "Active", "true"},
        {"TsSkinManager", "AllowGlowing", "true"},
        {"TsSkinManager", "HueOffset", "0"},
        {"TsSkinManager", "Saturation", "0"},
        {"TsSkinManager", "IsDefault", "true"},
        {"TsSkinManager", "SkinDirectory", R"("c:\\Skins")"},
        {"TsSkinManager", "SkinName", R"("")"},
        {"TsSkinManager", "SkinInfo", R"("N/A")"},
        {"TsSkinManager", "SkinnedPopups", "true"},
        {"TsSkinManager", "MenuSupport.IcoLineSkin", R"("ICOLINE")"},
        {"TsSkinManager", "ThirdParty.ThirdButtons", R"("TButton")"},
        {"TsSkinManager", "ThirdParty.ThirdEdits", R"(" ")"},
        {"TsSkinManager", "ThirdParty.ThirdGridEh", R"(" ")"},
        {"TsSkinManager", "ThirdParty.ThirdStatusBar", R"(" ")"},
        {"TsSkinProvider", "CaptionAlignment", "taLeftJustify"},
        {"TsSkinProvider", "DrawNonClientArea", "true"},
        {"TsSkinProvider", "ShowAppIcon", "true"},
        {"TsSkinProvider", "UseGlobalColor", "true"},
        {"TsSkinProvider", "TitleSkin", R"("")"},
        {"TsSkinProvider", "MenuLineSkin", R"("")"},
        {"TsSkinProvider", "ScreenSnap", "false"},
        {"TsSkinProvider", "SnapBuffer", "10"},
        {"TsSkinProvider", "MakeSkinMenu", "false"},
        {"TsDirectoryEdit", "Root", R"("rfDesktop")"},
        {"TsDirectoryEdit", "InitialDir", R"("")"},
        {"TsDirectoryEdit", "DirectInput", "true"},
        {"TsDirectoryEdit", "ReadOnly", "false"},
        {"TsDirectoryEdit", "MaxLength", "255"},
        {"TsEdit", "MaxLength", "0"},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<TComponent> made(FindComponentClass(c.class_name)->Create(nullptr));
        EXPECT_EQ(Published(*made, c.property), c.value) << c.class_name << "." << c.property;
    }
    // Every ThirdParty list but ThirdButtons starts as a single blank.
    TsSkinManager manager(nullptr);
    int blanks = 0;
    for (const TPropertyInfo& property : manager.ClassInfo().Properties)
        if (property.Name.starts_with("ThirdParty."))
            blanks += property.Get(manager) == R"(" ")";
    EXPECT_EQ(blanks, 16);
}

// Mistakes in a definition are reported at their line.
TEST_F(SkinnedClassesTest, MistakesNameTheirLine) {
    const std::pair<const char*, const char*> mistakes[] = {
        {"TsSkinProvider", "CaptionAlignment = taMiddle"},
        {"TsSkinProvider", "SnapBuffer = \"ten\""},
        {"TsSkinProvider", "TitleSkin = FORMTITLE"},
        {"TsSkinManager", "ThirdParty.ThirdNothing = \"TEdit\""},
        {"TsSkinManager", "MenuSupport = \"ICOLINE\""},
        {"TsDirectoryEdit", "DirectInput = 0"},
    };
    for (const auto& [class_name, mistake] : mistakes) {
        TForm form(nullptr);
        const std::string text = std::string("object Form1 : TForm {\n    object Thing1 : ") +
                                 class_name + " {\n        " + mistake + "\n    }\n}\n";
        try {
            ReadFormText(form, text, "mistake.form", {});
            ADD_FAILURE() << "accepted: " << mistake;
        } catch (const EFormDefinitionError& error) {
            EXPECT_EQ(error.Line(), 3) << mistake;
        }
    }
}

} // namespace
} // namespace kalvo
