// TsSkinProvider: the component of a form that is to paint the form's frame (borders, caption
// bar and its buttons) from the skin. For now it holds the settings a form definition gives it,
// each with the value a new provider starts with.
#pragma once

#include "app/framework/component.h"
#include "app/framework/controls/label.h"

#include <string>

namespace kalvo {

class TsSkinProvider : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Where the caption text sits in the caption bar.
    TAlignment CaptionAlignment() const { return caption_alignment_; }
    void SetCaptionAlignment(TAlignment alignment) { caption_alignment_ = alignment; }
    // Off, the system keeps painting the frame and only the client area is skinned.
    bool DrawNonClientArea() const { return draw_non_client_area_; }
    void SetDrawNonClientArea(bool draw) { draw_non_client_area_ = draw; }
    bool ShowAppIcon() const { return show_app_icon_; }
    void SetShowAppIcon(bool show) { show_app_icon_ = show; }
    // The form takes the skin's global colour while it is skinned.
    bool UseGlobalColor() const { return use_global_color_; }
    void SetUseGlobalColor(bool use) { use_global_color_ = use; }
    // Sections for the caption bar and the menu line; empty means the skin's usual ones.
    const std::wstring& TitleSkin() const { return title_skin_; }
    void SetTitleSkin(const std::wstring& section) { title_skin_ = section; }
    const std::wstring& MenuLineSkin() const { return menu_line_skin_; }
    void SetMenuLineSkin(const std::wstring& section) { menu_line_skin_ = section; }
    // Moving the form snaps it to the edges of the work area within SnapBuffer pixels.
    bool ScreenSnap() const { return screen_snap_; }
    void SetScreenSnap(bool snap) { screen_snap_ = snap; }
    int SnapBuffer() const { return snap_buffer_; }
    void SetSnapBuffer(int pixels) { snap_buffer_ = pixels; }
    // The system menu offers the available skins.
    bool MakeSkinMenu() const { return make_skin_menu_; }
    void SetMakeSkinMenu(bool make) { make_skin_menu_ = make; }

private:
    TAlignment caption_alignment_ = taLeftJustify;
    bool draw_non_client_area_ = true;
    bool show_app_icon_ = true;
    bool use_global_color_ = true;
    std::wstring title_skin_;
    std::wstring menu_line_skin_;
    bool screen_snap_ = false;
    int snap_buffer_ = 10;
    bool make_skin_menu_ = false;
};

} // namespace kalvo
