// TBitBtn: a push button that shows a glyph left of its caption. It is a TButton (Default,
// Cancel and ModalResult work the same) whose window is owner-drawn: the framework paints
// the face, the frame and the glyph.
#pragma once

#include "app/framework/controls/button.h"
#include "imaging/bitmap.h"

#include <cstdint>
#include <span>

namespace kalvo {

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // The glyph: one to four images side by side (NumGlyphs): up, disabled, pressed, down.
    // Its transparent colour is its own when the bitmap is marked transparent, otherwise the
    // colour of its bottom-left pixel. Without a disabled image, a disabled button shows the
    // glyph's shape embossed.
    const TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(TBitmap glyph);
    // A BMP file; throws EInvalidGraphic for data it cannot read.
    void LoadGlyph(std::span<const std::uint8_t> bmp);
    int NumGlyphs() const { return num_glyphs_; }
    void SetNumGlyphs(int count);
    // Pixels between the glyph and the caption.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);

    TBitmap glyph_;
    int num_glyphs_ = 1;
    int spacing_ = 4;
};

} // namespace kalvo
