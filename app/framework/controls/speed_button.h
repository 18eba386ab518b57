// TSpeedButton: a button without a window of its own, painted by its parent, with a caption
// and an optional glyph. It looks pressed while the left button is held down on it (and the
// mouse is over it) and clicks when the button is released over it. A flat speed button shows
// no frame until the mouse comes over it.
#pragma once

#include "app/framework/control.h"
#include "imaging/bitmap.h"

#include <cstdint>
#include <span>

namespace kalvo {

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // As TBitBtn's: up to four images side by side (up, disabled, pressed, down); the
    // transparent colour is the bitmap's own or that of its bottom-left pixel.
    const TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(TBitmap glyph);
    // A BMP file; throws EInvalidGraphic for data it cannot read.
    void LoadGlyph(std::span<const std::uint8_t> bmp);
    int NumGlyphs() const { return num_glyphs_; }
    void SetNumGlyphs(int count);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);

    // Whether it is shown pressed now (the left button held down on it).
    bool Pressed() const { return pressed_; }

protected:
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    void SetPressed(bool pressed);

    TBitmap glyph_;
    int num_glyphs_ = 1;
    int spacing_ = 4;
    bool flat_ = false;
    bool tracking_ = false; // the left button went down on it and is still down
    bool pressed_ = false;
};

} // namespace kalvo
