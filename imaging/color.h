// Colour values as the whole program uses them: 0x00BBGGRR, red in the low byte.
// A value with the high byte 0xFF names a system colour (its low byte is the system colour
// index); ColorToRGB resolves such a value to the colour the platform currently uses.
#pragma once

#include <cstdint>

namespace kalvo {

using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
// Marks transparent pixels in skin pictures and, in colour queries, the absence of a colour.
constexpr TColor TransparentColor = 0xFF00FF;

// System colour indexes, as the platform numbers them.
enum TSysColorIndex : int {
    scScrollBar = 0,
    scBackground = 1,
    scActiveCaption = 2,
    scInactiveCaption = 3,
    scMenu = 4,
    scWindow = 5,
    scWindowFrame = 6,
    scMenuText = 7,
    scWindowText = 8,
    scCaptionText = 9,
    scActiveBorder = 10,
    scInactiveBorder = 11,
    scAppWorkspace = 12,
    scHighlight = 13,
    scHighlightText = 14,
    scBtnFace = 15,
    scBtnShadow = 16,
    scGrayText = 17,
    scBtnText = 18,
    scInactiveCaptionText = 19,
    scBtnHighlight = 20,
    sc3DDkShadow = 21,
    sc3DLight = 22,
    scInfoText = 23,
    scInfoBk = 24,
    scHotLight = 26,
    scGradientActiveCaption = 27,
    scGradientInactiveCaption = 28,
    scMenuHilight = 29,
    scMenuBar = 30,
    scSysColorCount = 31
};

constexpr TColor SystemColor(TSysColorIndex index) {
    return clSystemColor | TColor(index);
}

constexpr TColor clScrollBar = SystemColor(scScrollBar);
constexpr TColor clWindow = SystemColor(scWindow);
constexpr TColor clWindowText = SystemColor(scWindowText);
constexpr TColor clHighlight = SystemColor(scHighlight);
constexpr TColor clHighlightText = SystemColor(scHighlightText);
constexpr TColor clBtnFace = SystemColor(scBtnFace);
constexpr TColor clBtnShadow = SystemColor(scBtnShadow);
constexpr TColor clGrayText = SystemColor(scGrayText);
constexpr TColor clBtnText = SystemColor(scBtnText);
constexpr TColor clBtnHighlight = SystemColor(scBtnHighlight);

constexpr bool IsSystemColor(TColor color) {
    return (color & 0xFF000000) == clSystemColor;
}

constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr std::uint8_t RedOf(TColor color) {
    return std::uint8_t(color);
}
constexpr std::uint8_t GreenOf(TColor color) {
    return std::uint8_t(color >> 8);
}
constexpr std::uint8_t BlueOf(TColor color) {
    return std::uint8_t(color >> 16);
}

// The classic Windows palette for the system colours; what the native build resolves to.
TColor ClassicSysColor(int index);

// The platform's current value of a system colour: GetSysColor on Windows, the classic
// palette elsewhere. An index out of range gives black.
TColor SysColorRGB(int index);

// A system colour becomes its current RGB value; any other value keeps its low 24 bits.
TColor ColorToRGB(TColor color);

} // namespace kalvo
