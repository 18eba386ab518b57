// The skin manager's loaded model and the lookups the painters make on it.
#pragma once

#include "imaging/bitmap.h"
#include "skin/skin_data.h"

#include <string>
#include <utility>

namespace kalvo {

class TsSkinModel {
public:
    TsSkinData SkinData;
    TsGeneralDataArray SectionTable;  // the index is the section's skin index
    TsMaskArray MaskTable;
    TsPatternArray PatternTable;
    TBitmap MasterBitmap;             // 24 bits, transparent colour 0xFF00FF
    bool Loaded = false;              // a skin has been loaded into the tables

    // The first section named exactly `name`; -1 when none or when `name` is empty.
    int FindSection(const std::string& name) const;
    // The mask (section, key); when there is none, the same key in the parent sections of
    // the section record `skin_index` (PARENTCLASS), nearest first (only when that index is
    // a section of a loaded skin). -1 when nothing is found, the index is negative or the
    // name is empty. A parent chain that comes back to a section already walked ends the
    // search.
    int FindMask(int skin_index, const std::string& section, const std::string& key) const;
    int FindMaskExact(const std::string& section, const std::string& key) const;
    // As FindMask, over the texture masks only.
    int FindTexture(int skin_index, const std::string& section, const std::string& key) const;
    // As FindMask, over PatternTable.
    int FindPattern(int skin_index, const std::string& section, const std::string& key) const;

    bool SectionIndexValid(int index) const;
    bool MaskIndexValid(int index) const;
    // (width, height) of one state image of mask `index`: a third of the width and half the
    // height of the mask's own picture, else the state image of its rectangle; (0, 0) for an
    // invalid index.
    std::pair<int, int> StateImageSize(int index) const;

    // Frees everything: no skin.
    void Clear();
};

} // namespace kalvo
