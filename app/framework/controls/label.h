// TLabel: text without a window of its own, painted by its parent. By default it takes its
// parent's colour and sizes itself to its text.
#pragma once

#include "app/framework/control.h"

namespace kalvo {

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // The label takes the size of its text in its font whenever the text, the font or these
    // settings change. With WordWrap it keeps its width and takes the height of the wrapped
    // lines; a right-aligned label keeps its right edge.
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool auto_size);
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool word_wrap);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // A transparent label draws only its text; otherwise it fills its Color first.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // '&' underlines the next character ("&&" is one '&'); otherwise it is shown as it is.
    bool ShowAccelChar() const { return show_accel_char_; }
    void SetShowAccelChar(bool show);

protected:
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;
    void TextChanged() override;

private:
    UINT TextFormat() const;
    void AdjustBounds();

    bool auto_size_ = true;
    bool word_wrap_ = false;
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
    bool show_accel_char_ = true;
};

} // namespace kalvo
