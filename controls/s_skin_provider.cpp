#include "controls/s_skin_provider.h"

#include "app/framework/class_info.h"

namespace kalvo {

namespace {

const TEnumInfo AlignmentNames{
    {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}}};

} // namespace

const TClassInfo& TsSkinProvider::StaticClassInfo() {
    using P = TsSkinProvider;
    static const TClassInfo info =
        TClassBuilder<P>("TsSkinProvider", &TComponent::StaticClassInfo())
            .Creatable()
            .Enum("CaptionAlignment", AlignmentNames, &P::CaptionAlignment, &P::SetCaptionAlignment)
            .Boolean("DrawNonClientArea", &P::DrawNonClientArea, &P::SetDrawNonClientArea)
            .Boolean("ShowAppIcon", &P::ShowAppIcon, &P::SetShowAppIcon)
            .Boolean("UseGlobalColor", &P::UseGlobalColor, &P::SetUseGlobalColor)
            .String("TitleSkin", &P::TitleSkin, &P::SetTitleSkin)
            .String("MenuLineSkin", &P::MenuLineSkin, &P::SetMenuLineSkin)
            .Boolean("ScreenSnap", &P::ScreenSnap, &P::SetScreenSnap)
            .Integer("SnapBuffer", &P::SnapBuffer, &P::SetSnapBuffer)
            .Boolean("MakeSkinMenu", &P::MakeSkinMenu, &P::SetMakeSkinMenu)
            .Build();
    return info;
}

} // namespace kalvo
