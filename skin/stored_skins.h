// Internal skins: the skins stored with the form. An item whose Data holds a package is a
// packed internal skin; an item without Data is described by its collections.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/color.h"
#include "skin/mask_descriptors.h"
#include "skin/skin_stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kalvo {

// One section record of an unpacked stored skin. FontColor and HotFontColor hold five
// colours separated by ";" (colour and the four contours).
struct TsSkinGeneral {
    std::string SectionName;
    std::string ParentClass;
    TColor Color = 0xFFFFFF;
    std::string FontColor;
    std::string HotFontColor;
    bool GiveOwnFont = false;
    std::int32_t GlowCount = 0;
    std::int32_t GlowMargin = 0;
    bool ReservedBoolean = false;
    std::int32_t Transparency = 0;
    std::int32_t GradientPercent = 0;
    std::string GradientData = " ";
    std::int32_t ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    std::int32_t FadingIterations = 5;
    TColor HotColor = 0xFFFFFF;
    std::int32_t HotTransparency = 0;
    std::int32_t HotGradientPercent = 0;
    std::string HotGradientData;
    std::int32_t HotImagePercent = 0;
};

// One mask of an unpacked stored skin: its own picture (when it has one and a Name) or a
// rectangle of the master bitmap.
struct TsSkinImage {
    std::string Name;
    std::shared_ptr<const TBitmap> Image;
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::string SectionName;
    std::string PropertyName;
    std::int16_t ImageCount = 0;
    std::int16_t MaskType = 0;
    std::int16_t BorderWidth = 0;
    std::int16_t StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TsSkinPattern {
    std::string Name;
    std::shared_ptr<const TBitmap> Image;
    std::string SectionName;
    std::string PropertyName;
};

class TsStoredSkin {
public:
    std::string Name;
    std::vector<TsSkinGeneral> GeneralData;
    std::vector<TsSkinImage> Images;
    std::vector<TsSkinPattern> Patterns;
    TBitmap MasterBitmap;
    TColor Shadow1Color = 0;
    std::int32_t Shadow1Offset = 0;
    std::int32_t Shadow1Blur = -1;
    std::int32_t Shadow1Transparency = 0;
    TColor BorderColor = 0xFF00FF;
    double Version = 0;
    std::string Author;
    std::string Description;
    // The bytes of a skin package, kept as they were read and written back unchanged.
    TMemoryStream Data;

    bool IsPacked() const { return Data.Size() > 0; }
};

class TsStoredSkins {
public:
    TsStoredSkin& Add();
    int Count() const { return int(items_.size()); }
    TsStoredSkin& Item(int index) { return *items_.at(std::size_t(index)); }
    const TsStoredSkin& Item(int index) const { return *items_.at(std::size_t(index)); }
    std::vector<std::string> Names() const;
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TsStoredSkin>> items_;
};

} // namespace kalvo
