// TFont: a font description with its GDI handle made on demand. Height is in pixels, negative
// for the character height (the usual form: -11 is 8 points at 96 dots per inch).
#pragma once

#include "imaging/color.h"

#include <cstdint>
#include <functional>
#include <string>
#include <windows.h>

namespace kalvo {

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

class TFont {
public:
    TFont() = default;
    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const std::wstring& Name() const { return name_; }
    int Height() const { return height_; }
    TColor Color() const { return color_; }
    TFontStyles Style() const { return style_; }
    int Charset() const { return charset_; }

    void SetName(const std::wstring& name);
    void SetHeight(int height);
    void SetColor(TColor color);
    void SetStyle(TFontStyles style);
    void SetCharset(int charset);
    // Takes every value of another font.
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    // The GDI font; owned by this object and valid until the next change.
    HFONT Handle() const;

    // Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();

    std::wstring name_ = L"Tahoma";
    int height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    mutable HFONT handle_ = nullptr;
};

} // namespace kalvo
