// The loaded skin: global values, one record per section, the masks and the patterns. The
// painters and the controls read only this; the options text is gone once a load is over.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/color.h"
#include "imaging/geometry.h"
#include "skin/gradient_data.h"
#include "skin/mask_descriptors.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kalvo {

// -1 as a colour: no contour, or "absent" while values are inherited.
constexpr TColor clNone = 0xFFFFFFFF;

struct TsSkinData {
    std::string SkinFolder;
    bool Active = false;
    double Version = 0;
    std::string Author;
    std::string Description;
    TColor Shadow1Color = 0;
    std::int32_t Shadow1Offset = 0;
    std::int32_t Shadow1Blur = -1;
    std::int32_t Shadow1Transparency = 0;
    TColor BorderColor = 0;
    std::int32_t BISpace = 0;
    std::int32_t BIVAlign = 0;
    std::int32_t BIRight = 0;
    std::int32_t BILeft = 0;
    std::int32_t CloseGlowCount = 0;
    std::int32_t CloseGlowMargin = 0;
    std::int32_t MaxGlowCount = 0;
    std::int32_t MaxGlowMargin = 0;
    std::int32_t MinGlowCount = 0;
    std::int32_t MinGlowMargin = 0;
};

struct TsTextColors {
    TColor Color = 0;
    TColor TCLeft = clNone;
    TColor TCTop = clNone;
    TColor TCRight = clNone;
    TColor TCBottom = clNone;
};

struct TsGeneralData {
    std::string ParentClass;
    std::string SectionName;
    TColor Color = 0xFFFFFF;
    TsTextColors FontColor;
    TsTextColors HotFontColor;
    bool GiveOwnFont = false;
    std::int32_t GlowCount = 0;
    std::int32_t GlowMargin = 0;
    bool ReservedBoolean = false;
    std::int32_t Transparency = 0;
    std::int32_t GradientPercent = 0;
    std::string GradientData = " ";
    TsGradArray GradientSteps;
    std::int32_t ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    std::int32_t FadingIterations = 5;
    TColor HotColor = 0xFFFFFF;
    std::int32_t HotTransparency = 0;
    std::int32_t HotGradientPercent = 0;
    std::string HotGradientData;
    TsGradArray HotGradientSteps;
    std::int32_t HotImagePercent = 0;
    std::int32_t BordersMaskIndex = -1;
    std::int32_t CornerTopLeftIndex = -1;
    std::int32_t CornerTopRightIndex = -1;
    std::int32_t CornerBottomLeftIndex = -1;
    std::int32_t CornerBottomRightIndex = -1;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

struct TsMaskData {
    std::unique_ptr<TBitmap> Image;  // the mask's own picture; none when cut from the master
    std::string SectionName;
    std::string PropertyName;
    TRect SourceRect;
    std::int16_t ImageCount = 0;
    std::int16_t MaskType = 0;
    std::int16_t BorderWidth = 0;
    std::int16_t StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    const void* OwnerManager = nullptr;
    std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

struct TsPatternData {
    std::shared_ptr<const TBitmap> Image;  // patterns of a stored skin may share a picture
    std::string SectionName;
    std::string PropertyName;
};
using TsPatternArray = std::vector<TsPatternData>;

// Mask measures. An ImageCount below 1 counts as 1 and a MaskType below 0 as 0, so that no
// measure divides by zero.
std::int32_t StateImageWidth(const TsMaskData& mask);
std::int32_t StateImageHeight(const TsMaskData& mask);
std::int32_t MaskMarginLeft(const TsMaskData& mask);
std::int32_t MaskMarginRight(const TsMaskData& mask);
std::int32_t MaskMarginTop(const TsMaskData& mask);
std::int32_t MaskMarginBottom(const TsMaskData& mask);

} // namespace kalvo
