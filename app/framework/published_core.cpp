// The published properties of the framework's base classes and forms.
#include "app/framework/application.h"
#include "app/framework/class_info.h"
#include "app/framework/data_module.h"
#include "app/framework/form.h"

namespace kalvo {

namespace {

const TEnumInfo AlignNames{{{"alNone", alNone},
                            {"alTop", alTop},
                            {"alBottom", alBottom},
                            {"alLeft", alLeft},
                            {"alRight", alRight},
                            {"alClient", alClient}}};
const TEnumInfo AnchorNames{
    {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}}};
const TEnumInfo FontStyleNames{{{"fsBold", fsBold},
                                {"fsItalic", fsItalic},
                                {"fsUnderline", fsUnderline},
                                {"fsStrikeOut", fsStrikeOut}}};
const TEnumInfo BorderStyleNames{{{"bsNone", bsNone},
                                  {"bsSingle", bsSingle},
                                  {"bsSizeable", bsSizeable},
                                  {"bsDialog", bsDialog},
                                  {"bsToolWindow", bsToolWindow}}};
const TEnumInfo BorderIconNames{{{"biSystemMenu", biSystemMenu},
                                 {"biMinimize", biMinimize},
                                 {"biMaximize", biMaximize},
                                 {"biHelp", biHelp}}};
const TEnumInfo FormStyleNames{{{"fsNormal", fsNormal}, {"fsStayOnTop", fsStayOnTop}}};
const TEnumInfo PositionNames{{{"poDesigned", poDesigned}, {"poScreenCenter", poScreenCenter}}};

} // namespace

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TComponent>("TComponent", nullptr).Build();
    return info;
}

const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
            .Integer("Left", &TControl::Left, &TControl::SetLeft)
            .Integer("Top", &TControl::Top, &TControl::SetTop)
            .Integer("Width", &TControl::Width, &TControl::SetWidth)
            .Integer("Height", &TControl::Height, &TControl::SetHeight)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .String("Caption", &TControl::Text, &TControl::SetText)
            .String("Text", &TControl::Text, &TControl::SetText)
            .String(
                "Font.Name", [](const TControl& c) { return c.Font().Name(); },
                [](TControl& c, const std::wstring& name) { c.Font().SetName(name); })
            .Integer(
                "Font.Height", [](const TControl& c) { return c.Font().Height(); },
                [](TControl& c, int height) { c.Font().SetHeight(height); })
            .Color(
                "Font.Color", [](const TControl& c) { return c.Font().Color(); },
                [](TControl& c, TColor color) { c.Font().SetColor(color); })
            .SetOf(
                "Font.Style", FontStyleNames, [](const TControl& c) { return c.Font().Style(); },
                [](TControl& c, TFontStyles style) { c.Font().SetStyle(style); })
            .Integer(
                "Font.Charset", [](const TControl& c) { return c.Font().Charset(); },
                [](TControl& c, int charset) { c.Font().SetCharset(charset); })
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Color("Color", &TControl::Color, &TControl::SetColor)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Enum("Align", AlignNames, &TControl::Align, &TControl::SetAlign)
            .SetOf("Anchors", AnchorNames, &TControl::Anchors, &TControl::SetAnchors)
            .Integer(
                "Tag", [](const TControl& c) { return c.Tag; },
                [](TControl& c, int tag) { c.Tag = tag; })
            .Event("OnClick", &TControl::OnClick)
            .Event("OnChange", &TControl::OnChange)
            .Event("OnMouseEnter", &TControl::OnMouseEnter)
            .Event("OnMouseLeave", &TControl::OnMouseLeave)
            .Build();
    return info;
}

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo())
            .Boolean(
                "TabStop", [](const TWinControl& c) { return c.TabStop; },
                [](TWinControl& c, bool on) { c.TabStop = on; })
            .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Build();
    return info;
}

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClassInfo()).Build();
    return info;
}

const TClassInfo& TCustomControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCustomControl>("TCustomControl", &TWinControl::StaticClassInfo()).Build();
    return info;
}

const TClassInfo& TApplication::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TApplication>("TApplication", &TComponent::StaticClassInfo()).Build();
    return info;
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TForm>("TForm", &TWinControl::StaticClassInfo())
            .Enum(
                "BorderStyle", BorderStyleNames, [](const TForm& f) { return f.BorderStyle; },
                [](TForm& f, TFormBorderStyle style) { f.BorderStyle = style; })
            .SetOf(
                "BorderIcons", BorderIconNames, [](const TForm& f) { return f.BorderIcons; },
                [](TForm& f, TBorderIcons icons) { f.BorderIcons = icons; })
            .Enum(
                "FormStyle", FormStyleNames, [](const TForm& f) { return f.FormStyle; },
                [](TForm& f, TFormStyle style) { f.SetFormStyle(style); })
            .Enum(
                "Position", PositionNames, [](const TForm& f) { return f.Position; },
                [](TForm& f, TPosition position) { f.Position = position; })
            .Integer("ClientWidth", &TForm::ClientWidth,
                     [](TForm& f, int width) { f.SetClientSize(width, f.ClientHeight()); })
            .Integer("ClientHeight", &TForm::ClientHeight,
                     [](TForm& f, int height) { f.SetClientSize(f.ClientWidth(), height); })
            .Event("OnCreate", &TForm::OnCreate)
            .Event("OnShow", &TForm::OnShow)
            .Event("OnDestroy", &TForm::OnDestroy)
            .Build();
    return info;
}

const TClassInfo& TDataModule::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TDataModule>("TDataModule", &TComponent::StaticClassInfo())
            .Event("OnCreate", &TDataModule::OnCreate)
            .Event("OnDestroy", &TDataModule::OnDestroy)
            .Build();
    return info;
}

} // namespace kalvo
