// TsSkinManager: the non-visual component of a form that owns the skin its windows are painted
// with. For now it holds the settings a form definition gives it, each with the value a new
// manager starts with; loading and announcing a skin come on top of these.
#pragma once

#include "app/framework/component.h"

#include <string>

namespace kalvo {

// How popup menus look.
struct TacMenuSupport {
    // The section that paints the icon column of a popup menu.
    std::wstring IcoLineSkin = L"ICOLINE";
};

// Class names of controls that are not skinned controls themselves but are to be painted like
// the skinned control of the same kind, one name per line. A single blank means none.
struct ThirdPartyList {
    std::wstring ThirdEdits = L" ";
    std::wstring ThirdButtons = L"TButton";
    std::wstring ThirdBitBtns = L" ";
    std::wstring ThirdCheckBoxes = L" ";
    std::wstring ThirdComboBoxes = L" ";
    std::wstring ThirdGrids = L" ";
    std::wstring ThirdGroupBoxes = L" ";
    std::wstring ThirdListViews = L" ";
    std::wstring ThirdPanels = L" ";
    std::wstring ThirdTreeViews = L" ";
    std::wstring ThirdWWEdits = L" ";
    std::wstring ThirdGridEh = L" ";
    std::wstring ThirdVirtualTrees = L" ";
    std::wstring ThirdPageControl = L" ";
    std::wstring ThirdTabControl = L" ";
    std::wstring ThirdToolBar = L" ";
    std::wstring ThirdStatusBar = L" ";
};

class TsSkinManager : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    bool AllowGlowing() const { return allow_glowing_; }
    void SetAllowGlowing(bool allow) { allow_glowing_ = allow; }
    // The colour adjustment applied to a loaded skin.
    int HueOffset() const { return hue_offset_; }
    void SetHueOffset(int offset) { hue_offset_ = offset; }
    int Saturation() const { return saturation_; }
    void SetSaturation(int saturation) { saturation_ = saturation; }
    // Whether controls that name no manager use this one.
    bool IsDefault() const { return is_default_; }
    void SetIsDefault(bool is_default) { is_default_ = is_default; }
    // Where skins kept as folders and packed files are looked for.
    const std::wstring& SkinDirectory() const { return skin_directory_; }
    void SetSkinDirectory(const std::wstring& directory) { skin_directory_ = directory; }
    const std::wstring& SkinName() const { return skin_name_; }
    void SetSkinName(const std::wstring& name) { skin_name_ = name; }
    // The version of the skin in use, as text. Definitions store the value they were written
    // with, and it is read back as stored until a loaded skin gives its own.
    const std::wstring& SkinInfo() const { return skin_info_; }
    void SetSkinInfo(const std::wstring& info) { skin_info_ = info; }
    bool SkinnedPopups() const { return skinned_popups_; }
    void SetSkinnedPopups(bool skinned) { skinned_popups_ = skinned; }

    TacMenuSupport MenuSupport;
    ThirdPartyList ThirdParty;

private:
    bool active_ = true;
    bool allow_glowing_ = true;
    int hue_offset_ = 0;
    int saturation_ = 0;
    bool is_default_ = true;
    std::wstring skin_directory_ = L"c:\\Skins";
    std::wstring skin_name_;
    std::wstring skin_info_ = L"N/A";
    bool skinned_popups_ = true;
};

} // namespace kalvo
