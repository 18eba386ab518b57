#include "app/framework/controls/label.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/control_paint.h"

namespace kalvo {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    parent_color_ = true;
    width_ = 65;
    height_ = 17;
}

UINT TLabel::TextFormat() const {
    UINT format = DT_EXPANDTABS;
    format |= alignment_ == taRightJustify ? DT_RIGHT
              : alignment_ == taCenter     ? DT_CENTER
                                           : DT_LEFT;
    if (word_wrap_)
        format |= DT_WORDBREAK;
    if (!show_accel_char_)
        format |= DT_NOPREFIX;
    return format;
}

void TLabel::AdjustBounds() {
    if (!auto_size_)
        return;
    // An empty label keeps the height of a line.
    const std::wstring text = text_.empty() ? L" " : text_;
    const SIZE size = MeasureText(font_.Handle(), text, TextFormat(), word_wrap_ ? width_ : 0);
    int left = left_;
    const int width = word_wrap_ ? width_ : int(size.cx);
    if (alignment_ == taRightJustify)
        left = left_ + width_ - width;
    SetBounds(left, top_, width, size.cy);
}

void TLabel::SetAutoSize(bool auto_size) {
    auto_size_ = auto_size;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool word_wrap) {
    word_wrap_ = word_wrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    show_accel_char_ = show;
    AdjustBounds();
    Invalidate();
}

void TLabel::TextChanged() {
    AdjustBounds();
}

void TLabel::WndProc(TMessage& message) {
    if (message.Msg == CM_FONTCHANGED) {
        AdjustBounds();
        Invalidate();
    }
    TGraphicControl::WndProc(message);
}

void TLabel::Paint(HDC dc) {
    RECT rect = ClientRect();
    if (!transparent_) {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    HGDIOBJ old_font = SelectObject(dc, font_.Handle());
    DrawControlText(dc, text_, rect, TextFormat(), font_.Color(), enabled_);
    SelectObject(dc, old_font);
}

const TClassInfo& TLabel::StaticClassInfo() {
    static const TEnumInfo AlignmentNames{{{"taLeftJustify", taLeftJustify},
                                           {"taRightJustify", taRightJustify},
                                           {"taCenter", taCenter}}};
    static const TClassInfo info =
        TClassBuilder<TLabel>("TLabel", &TGraphicControl::StaticClassInfo())
            .Creatable()
            .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
            .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
            .Enum("Alignment", AlignmentNames, &TLabel::Alignment, &TLabel::SetAlignment)
            .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
            .Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar)
            .Build();
    return info;
}

} // namespace kalvo
