#include "controls/s_skin_manager.h"

#include "app/framework/class_info.h"

#include <utility>

namespace kalvo {

namespace {

// The lists of ThirdParty, each published as ThirdParty.<member name>.
const std::pair<const char*, std::wstring ThirdPartyList::*> ThirdPartyEntries[] = {
    {"ThirdEdits", &ThirdPartyList::ThirdEdits},
    {"ThirdButtons", &ThirdPartyList::ThirdButtons},
    {"ThirdBitBtns", &ThirdPartyList::ThirdBitBtns},
    {"ThirdCheckBoxes", &ThirdPartyList::ThirdCheckBoxes},
    {"ThirdComboBoxes", &ThirdPartyList::ThirdComboBoxes},
    {"ThirdGrids", &ThirdPartyList::ThirdGrids},
    {"ThirdGroupBoxes", &ThirdPartyList::ThirdGroupBoxes},
    {"ThirdListViews", &ThirdPartyList::ThirdListViews},
    {"ThirdPanels", &ThirdPartyList::ThirdPanels},
    {"ThirdTreeViews", &ThirdPartyList::ThirdTreeViews},
    {"ThirdWWEdits", &ThirdPartyList::ThirdWWEdits},
    {"ThirdGridEh", &ThirdPartyList::ThirdGridEh},
    {"ThirdVirtualTrees", &ThirdPartyList::ThirdVirtualTrees},
    {"ThirdPageControl", &ThirdPartyList::ThirdPageControl},
    {"ThirdTabControl", &ThirdPartyList::ThirdTabControl},
    {"ThirdToolBar", &ThirdPartyList::ThirdToolBar},
    {"ThirdStatusBar", &ThirdPartyList::ThirdStatusBar},
};

TClassInfo BuildClassInfo() {
    using M = TsSkinManager;
    TClassBuilder<M> builder("TsSkinManager", &TComponent::StaticClassInfo());
    builder.Creatable()
        .Boolean("Active", &M::Active, &M::SetActive)
        .Boolean("AllowGlowing", &M::AllowGlowing, &M::SetAllowGlowing)
        .Integer("HueOffset", &M::HueOffset, &M::SetHueOffset)
        .Integer("Saturation", &M::Saturation, &M::SetSaturation)
        .Boolean("IsDefault", &M::IsDefault, &M::SetIsDefault)
        .String("SkinDirectory", &M::SkinDirectory, &M::SetSkinDirectory)
        .String("SkinName", &M::SkinName, &M::SetSkinName)
        .String("SkinInfo", &M::SkinInfo, &M::SetSkinInfo)
        .Boolean("SkinnedPopups", &M::SkinnedPopups, &M::SetSkinnedPopups)
        .String(
            "MenuSupport.IcoLineSkin", [](const M& m) { return m.MenuSupport.IcoLineSkin; },
            [](M& m, const std::wstring& section) { m.MenuSupport.IcoLineSkin = section; });
    for (const auto& [name, member] : ThirdPartyEntries)
        builder.String(
            std::string("ThirdParty.") + name,
            [member](const M& m) { return m.ThirdParty.*member; },
            [member](M& m, const std::wstring& classes) { m.ThirdParty.*member = classes; });
    return builder.Build();
}

} // namespace

const TClassInfo& TsSkinManager::StaticClassInfo() {
    static const TClassInfo info = BuildClassInfo();
    return info;
}

} // namespace kalvo
