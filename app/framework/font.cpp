#include "app/framework/font.h"

namespace kalvo {

TFont::~TFont() {
    if (handle_)
        DeleteObject(handle_);
}

void TFont::Changed() {
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
    if (OnChange)
        OnChange();
}

void TFont::SetName(const std::wstring& name) {
    if (name != name_) {
        name_ = name;
        Changed();
    }
}

void TFont::SetHeight(int height) {
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

void TFont::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles style) {
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TFont::SetCharset(int charset) {
    if (charset != charset_) {
        charset_ = charset;
        Changed();
    }
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ &&
           style_ == other.style_ && charset_ == other.charset_;
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other))
        return;
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    style_ = other.style_;
    charset_ = other.charset_;
    Changed();
}

HFONT TFont::Handle() const {
    if (!handle_)
        handle_ = CreateFontW(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL,
                              (style_ & fsItalic) != 0, (style_ & fsUnderline) != 0,
                              (style_ & fsStrikeOut) != 0, BYTE(charset_), OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              name_.c_str());
    return handle_;
}

} // namespace kalvo
