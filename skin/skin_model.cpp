#include "skin/skin_model.h"

#include <algorithm>
#include <vector>

namespace kalvo {

namespace {

std::int32_t Columns(const TsMaskData& mask) {
    return std::max<std::int32_t>(mask.ImageCount, 1);
}

std::int32_t Rows(const TsMaskData& mask) {
    return std::max<std::int32_t>(mask.MaskType, 0) + 1;
}

std::int32_t Margin(std::int16_t own, const TsMaskData& mask, std::int32_t fallback) {
    if (own > 0)
        return own;
    if (mask.BorderWidth > 0)
        return mask.BorderWidth;
    return fallback;
}

// Walks `section` and then its parents; `found` says whether a (section, key) pair exists
// and gives its index.
template <class Found>
int FindInherited(const TsSkinModel& model, int skin_index, const std::string& section,
                  const std::string& key, Found found) {
    if (section.empty() || skin_index < 0)
        return -1;
    std::vector<int> walked;
    std::string name = section;
    int index = skin_index;
    for (;;) {
        const int hit = found(name, key);
        if (hit >= 0 || !model.SectionIndexValid(index))
            return hit;
        walked.push_back(index);
        const std::string& parent = model.SectionTable[std::size_t(index)].ParentClass;
        if (parent.empty() || parent == name)
            return -1;
        const int parent_index = model.FindSection(parent);
        if (parent_index < 0 ||
            std::find(walked.begin(), walked.end(), parent_index) != walked.end())
            return -1;
        name = parent;
        index = parent_index;
    }
}

} // namespace

std::int32_t StateImageWidth(const TsMaskData& mask) {
    return mask.SourceRect.Width() / Columns(mask);
}

std::int32_t StateImageHeight(const TsMaskData& mask) {
    return mask.SourceRect.Height() / Rows(mask);
}

std::int32_t MaskMarginLeft(const TsMaskData& mask) {
    return Margin(mask.WL, mask, mask.SourceRect.Width() / (Columns(mask) * 3));
}

std::int32_t MaskMarginRight(const TsMaskData& mask) {
    return Margin(mask.WR, mask, mask.SourceRect.Width() / (Columns(mask) * 3));
}

std::int32_t MaskMarginTop(const TsMaskData& mask) {
    return Margin(mask.WT, mask, mask.SourceRect.Height() / (Rows(mask) * 3));
}

std::int32_t MaskMarginBottom(const TsMaskData& mask) {
    return Margin(mask.WB, mask, mask.SourceRect.Height() / (Rows(mask) * 3));
}

int TsSkinModel::FindSection(const std::string& name) const {
    if (name.empty())
        return -1;
    for (std::size_t i = 0; i < SectionTable.size(); ++i)
        if (SectionTable[i].SectionName == name)
            return int(i);
    return -1;
}

int TsSkinModel::FindMaskExact(const std::string& section, const std::string& key) const {
    for (std::size_t i = 0; i < MaskTable.size(); ++i)
        if (MaskTable[i].SectionName == section && MaskTable[i].PropertyName == key)
            return int(i);
    return -1;
}

int TsSkinModel::FindMask(int skin_index, const std::string& section,
                          const std::string& key) const {
    return FindInherited(*this, skin_index, section, key,
                         [this](const std::string& s, const std::string& k) {
                             return FindMaskExact(s, k);
                         });
}

int TsSkinModel::FindTexture(int skin_index, const std::string& section,
                             const std::string& key) const {
    return FindInherited(*this, skin_index, section, key,
                         [this](const std::string& s, const std::string& k) {
                             for (std::size_t i = 0; i < MaskTable.size(); ++i) {
                                 const TsMaskData& mask = MaskTable[i];
                                 if (mask.ImgType == itisaTexture && mask.SectionName == s &&
                                     mask.PropertyName == k)
                                     return int(i);
                             }
                             return -1;
                         });
}

int TsSkinModel::FindPattern(int skin_index, const std::string& section,
                             const std::string& key) const {
    return FindInherited(*this, skin_index, section, key,
                         [this](const std::string& s, const std::string& k) {
                             for (std::size_t i = 0; i < PatternTable.size(); ++i)
                                 if (PatternTable[i].SectionName == s &&
                                     PatternTable[i].PropertyName == k)
                                     return int(i);
                             return -1;
                         });
}

bool TsSkinModel::SectionIndexValid(int index) const {
    return Loaded && index >= 0 && std::size_t(index) < SectionTable.size();
}

bool TsSkinModel::MaskIndexValid(int index) const {
    return index >= 0 && std::size_t(index) < MaskTable.size();
}

std::pair<int, int> TsSkinModel::StateImageSize(int index) const {
    if (!MaskIndexValid(index))
        return {0, 0};
    const TsMaskData& mask = MaskTable[std::size_t(index)];
    if (mask.Image)
        return {mask.Image->Width() / 3, mask.Image->Height() / 2};
    return {StateImageWidth(mask), StateImageHeight(mask)};
}

void TsSkinModel::Clear() {
    *this = TsSkinModel();
}

} // namespace kalvo
