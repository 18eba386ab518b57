// The mask measures and the lookups on a model built by hand.
#include "skin/skin_model.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TsMaskData Mask(TRect rect, int image_count, int mask_type, int border_width = 0,
                std::array<int, 4> margins = {0, 0, 0, 0}) {
    TsMaskData mask;
    mask.SourceRect = rect;
    mask.ImageCount = std::int16_t(image_count);
    mask.MaskType = std::int16_t(mask_type);
    mask.BorderWidth = std::int16_t(border_width);
    mask.WL = std::int16_t(margins[0]);
    mask.WT = std::int16_t(margins[1]);
    mask.WR = std::int16_t(margins[2]);
    mask.WB = std::int16_t(margins[3]);
    return mask;
}

TEST(SkinModelMeasures, StateImagesAndMargins) {
    struct Case {
        const char* name;
        TsMaskData mask;
        int width, height, left, top, right, bottom;
    } cases[] = {
        {"three images, one mask row", Mask({0, 0, 54, 36}, 3, 1), 18, 18, 6, 6, 6, 6},
        {"own margins first", Mask({0, 0, 54, 36}, 3, 1, 2, {1, 0, 3, 4}), 18, 18, 1, 2, 3, 4},
        {"border width next", Mask({0, 0, 54, 36}, 3, 1, 5), 18, 18, 5, 5, 5, 5},
        {"offset rectangle", Mask({10, 20, 40, 26}, 1, 0), 30, 6, 10, 2, 10, 2},
        // Malformed counts are measured as one image and no mask row: nothing divides by 0.
        {"no images", Mask({0, 0, 54, 36}, 0, 0), 54, 36, 18, 12, 18, 12},
        {"negative mask type", Mask({0, 0, 54, 36}, 1, -1), 54, 36, 18, 12, 18, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StateImageWidth(c.mask), c.width);
        EXPECT_EQ(StateImageHeight(c.mask), c.height);
        EXPECT_EQ(MaskMarginLeft(c.mask), c.left);
        EXPECT_EQ(MaskMarginTop(c.mask), c.top);
        EXPECT_EQ(MaskMarginRight(c.mask), c.right);
        EXPECT_EQ(MaskMarginBottom(c.mask), c.bottom);
    }
}

TsSkinModel Model() {
    TsSkinModel model;
    model.Loaded = true;
    for (auto [name, parent] : {std::pair{"GLOBALINFO", ""}, {"BUTTON", ""},
                                {"SPEEDBUTTON", "BUTTON"}, {"TOOLBUTTON", "SPEEDBUTTON"},
                                {"ORPHAN", "MISSING"}}) {
        TsGeneralData record;
        record.SectionName = name;
        record.ParentClass = parent;
        model.SectionTable.push_back(record);
    }
    auto add = [&](const char* section, const char* key, TacImgType type) {
        TsMaskData mask = Mask({0, 0, 9, 6}, 3, 1);
        mask.SectionName = section;
        mask.PropertyName = key;
        mask.ImgType = type;
        model.MaskTable.push_back(std::move(mask));
    };
    add("BUTTON", "BORDERSMASK", itisaBorder);
    add("BUTTON", "PATTERN", itisaTexture);
    add("SPEEDBUTTON", "PATTERN", itisaBorder);
    model.PatternTable.push_back({nullptr, "BUTTON", "HOTPATTERN"});
    return model;
}

TEST(SkinModelLookups, FindWalksTheParents) {
    const TsSkinModel model = Model();
    const int tool = model.FindSection("TOOLBUTTON");
    ASSERT_EQ(tool, 3);
    EXPECT_EQ(model.FindSection(""), -1);
    EXPECT_EQ(model.FindSection("toolbutton"), -1);
    EXPECT_EQ(model.FindMask(tool, "TOOLBUTTON", "BORDERSMASK"), 0);
    EXPECT_EQ(model.FindMaskExact("TOOLBUTTON", "BORDERSMASK"), -1);
    // The nearest parent's PATTERN is not a texture: the texture search goes on to BUTTON's.
    EXPECT_EQ(model.FindMask(tool, "TOOLBUTTON", "PATTERN"), 2);
    EXPECT_EQ(model.FindTexture(tool, "TOOLBUTTON", "PATTERN"), 1);
    EXPECT_EQ(model.FindPattern(tool, "TOOLBUTTON", "HOTPATTERN"), 0);
    EXPECT_EQ(model.FindMask(4, "ORPHAN", "BORDERSMASK"), -1);
    EXPECT_EQ(model.FindMask(-1, "BUTTON", "BORDERSMASK"), -1);
    // An index past the table still finds the exact mask; only the parent walk needs it.
    EXPECT_EQ(model.FindMask(99, "BUTTON", "BORDERSMASK"), 0);
    EXPECT_EQ(model.FindMask(99, "TOOLBUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(model.FindMask(1, "", "BORDERSMASK"), -1);
}

TEST(SkinModelLookups, ValidityNeedsALoadedSkin) {
    TsSkinModel model = Model();
    EXPECT_TRUE(model.SectionIndexValid(4));
    EXPECT_FALSE(model.SectionIndexValid(5));
    EXPECT_FALSE(model.SectionIndexValid(-1));
    EXPECT_TRUE(model.MaskIndexValid(2));
    EXPECT_FALSE(model.MaskIndexValid(3));
    model.Loaded = false;
    EXPECT_FALSE(model.SectionIndexValid(0));
    model.Clear();
    EXPECT_TRUE(model.MaskTable.empty());
}

TEST(SkinModelLookups, StateImageSizeOfOwnPictureAndOfRectangle) {
    TsSkinModel model = Model();
    model.MaskTable[1].Image = std::make_unique<TBitmap>(30, 10, pf24bit);
    EXPECT_EQ(model.StateImageSize(0), std::make_pair(3, 3));
    EXPECT_EQ(model.StateImageSize(1), std::make_pair(10, 5));
    EXPECT_EQ(model.StateImageSize(7), std::make_pair(0, 0));
}

} // namespace
} // namespace kalvo
