// Loading skins: masks of every encoding, patterns, section records with inheritance, unpacked
// stored skins and the common sections; a failed load keeps the previous skin.
#include "skin/skin_loader.h"

#include "imaging/bmp_codec.h"
#include "imaging/png_writer.h"
#include "skin/skin_error.h"
#include "support/fixtures.h"
#include "tests/skin/memory_skin_files.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

using testing::TMemorySkinFiles;
using Entries = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> Bitmap(int width, int height, TColor color = RGBColor(10, 20, 30)) {
    TBitmap picture(width, height, pf24bit);
    picture.Fill(color);
    return WriteBMP(picture);
}

const char* const SkinFile = "C:\\Skins\\Test.asz";

// A packed skin of the options text and pictures, loaded as the manager loads one.
struct TPacked {
    TMemorySkinFiles files;
    TsSkinModel model;
    std::vector<std::string> warnings;

    explicit TPacked(const std::string& options, Entries pictures = {},
                     bool with_master = true) {
        Entries entries = {{"Options.dat", Bytes(options)}};
        if (with_master)
            entries.push_back({"Master.bmp", Bitmap(256, 128)});
        for (auto& entry : pictures)
            entries.push_back(std::move(entry));
        files.Add(SkinFile, WritePackage(entries));
    }
    void Load() {
        ASSERT_TRUE(LoadSkinPackageFile(model, files, SkinFile, [this](const std::string& text) {
            warnings.push_back(text);
        }));
    }
    const TsMaskData& Mask(const std::string& section, const std::string& key) const {
        const int index = model.FindMaskExact(section, key);
        EXPECT_GE(index, 0) << section << "/" << key;
        return model.MaskTable.at(std::size_t(index));
    }
    const TsGeneralData& Section(const std::string& name) const {
        const int index = model.FindSection(name);
        EXPECT_GE(index, 0) << name;
        return model.SectionTable.at(std::size_t(index));
    }
};

const std::string Global = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n";

TEST(SkinLoaderMasks, MasterDescriptorsGiveTheirFields) {
    TPacked skin(Global +
                 "[BUTTON]\n"
                 "BORDERSMASK=^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^1\n"
                 "GLYPHMASK=@0030@0002@0162@0021@3@0\n"
                 "PATTERN=~0030~0000~0146~0001~01~0\n"
                 "HOTPATTERN=~0030~0000~0146~0001~01\n"
                 "[PANEL]\n"
                 "BORDERSMASK=^0000^0000^0054^0036^0000^0000^0000^0000^3^1^1^0\n");
    skin.Load();
    struct Case {
        const char* section;
        const char* key;
        TRect rect;
        int image_count, mask_type, stretch, border_width, wl, wt, wr, wb;
        TacImgType type;
    } cases[] = {
        {"BUTTON", "BORDERSMASK", {43, 41, 56, 81}, 1, 0, 1, 1, 1, 1, 1, 1, itisaBorder},
        {"BUTTON", "GLYPHMASK", {30, 2, 162, 21}, 3, 0, 0, 0, 0, 0, 0, 0, itisaGlyph},
        {"BUTTON", "PATTERN", {30, 0, 146, 1}, 1, 0, 1, 0, 0, 0, 0, 0, itisaTexture},
        {"BUTTON", "HOTPATTERN", {30, 0, 146, 1}, 1, 0, 1, 0, 0, 0, 0, 0, itisaTexture},
        // Margins 0 and no border width over 54 x 36, three images, one mask row.
        {"PANEL", "BORDERSMASK", {0, 0, 54, 36}, 3, 1, 1, 0, 6, 6, 6, 6, itisaBorder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        const TsMaskData& mask = skin.Mask(c.section, c.key);
        EXPECT_EQ(mask.SourceRect, c.rect);
        EXPECT_EQ(mask.ImageCount, c.image_count);
        EXPECT_EQ(mask.MaskType, c.mask_type);
        EXPECT_EQ(mask.StretchMode, c.stretch);
        EXPECT_EQ(mask.BorderWidth, c.border_width);
        EXPECT_EQ((std::vector<int>{mask.WL, mask.WT, mask.WR, mask.WB}),
                  (std::vector<int>{c.wl, c.wt, c.wr, c.wb}));
        EXPECT_EQ(mask.ImgType, c.type);
        EXPECT_FALSE(mask.Image);
    }
    // The texture cut after position 24 has no mask type; at 25 characters it has one.
    EXPECT_EQ(skin.Mask("BUTTON", "PATTERN").MaskType, 0);
    const TsMaskData& margins = skin.Mask("PANEL", "BORDERSMASK");
    EXPECT_EQ(MaskMarginLeft(margins), 6);
    EXPECT_EQ(MaskMarginBottom(margins), 6);

    EXPECT_EQ(skin.model.MasterBitmap.PixelFormat(), pf24bit);
    EXPECT_TRUE(skin.model.MasterBitmap.Transparent());
    EXPECT_EQ(skin.model.MasterBitmap.TransparentColor(), TColor(0xFF00FF));
    EXPECT_EQ(skin.model.SkinData.SkinFolder, "C:\\Skins\\");
}

TEST(SkinLoaderMasks, TextureMaskTypeFromPositionTwentyFive) {
    TPacked skin(Global + "[BUTTON]\nPATTERN=~0030~0000~0146~0001~01~1\n");
    skin.Load();
    EXPECT_EQ(skin.Mask("BUTTON", "PATTERN").MaskType, 1);
}

TEST(SkinLoaderMasks, MalformedDescriptorsMakeNoMask) {
    TPacked skin(Global +
                 "[BUTTON]\n"
                 "A=^0000^0000^0054^0036^0000^0000^0000^0000^0^1^1^0\n"  // no images
                 "B=@0030@0002@0162@0021@0@0\n"                          // no images
                 "C=^0000^0000^0300^0036^0000^0000^0000^0000^3^1^1^0\n"  // past the master
                 "D=^0054^0000^0000^0036^0000^0000^0000^0000^3^1^1^0\n"  // inverted
                 "E=N/A\n"
                 "F=\n"
                 "G=#\n");
    skin.Load();
    EXPECT_TRUE(skin.model.MaskTable.empty());
}

TEST(SkinLoaderMasks, WithoutMasterBitmapCutMasksAreAbsent) {
    TPacked skin("[GLOBALINFO]\nMASTERBITMAP=MISSING.BMP\n[BUTTON]\n"
                 "BORDERSMASK=^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^1\n");
    skin.Load();
    EXPECT_TRUE(skin.model.MasterBitmap.Empty());
    EXPECT_TRUE(skin.model.MaskTable.empty());
}

TEST(SkinLoaderMasks, ExternalPngFoundByUpperCasedEntryName) {
    // Pure white of any alpha becomes transparent black; near-white stays.
    TBitmap glow(4, 1, pf32bit);
    glow.SetPixel(0, 0, RGBColor(255, 255, 255), 255);
    glow.SetPixel(1, 0, RGBColor(255, 255, 255), 90);
    glow.SetPixel(2, 0, RGBColor(254, 255, 255), 255);
    glow.SetPixel(3, 0, RGBColor(10, 20, 30), 128);
    TPacked skin(Global +
                     "[BUTTON]\n"
                     "GLOW0=!GLOW.PNG!1!0!3!0016!0015!0014!0013\n"
                     "GLOW1=!glow.png!1!0!3!0016!0016!0016!0016\n",
                 {{"Glow.png", EncodePNG(glow)}});
    skin.Load();
    EXPECT_LT(skin.model.FindMaskExact("BUTTON", "GLOW1"), 0) << "a lower-case name is ignored";
    const TsMaskData& mask = skin.Mask("BUTTON", "GLOW0");
    ASSERT_TRUE(mask.Image);
    EXPECT_EQ(mask.Image->PixelFormat(), pf32bit);
    EXPECT_EQ(mask.SourceRect, (TRect{0, 0, 4, 1}));
    EXPECT_EQ(mask.StretchMode, 4);
    EXPECT_EQ(mask.ImgType, itisaGlow);
    EXPECT_EQ((std::vector<int>{mask.WL, mask.WT, mask.WR, mask.WB}),
              (std::vector<int>{16, 15, 14, 13}));
    const TBitmap& image = *mask.Image;
    for (int x : {0, 1}) {
        EXPECT_EQ(image.Pixel(x, 0), TColor(0)) << x;
        EXPECT_EQ(image.Alpha(x, 0), 0) << x;
    }
    EXPECT_EQ(image.Pixel(2, 0), RGBColor(254, 255, 255));
    EXPECT_EQ(image.Alpha(2, 0), 255);
    EXPECT_EQ(image.Pixel(3, 0), RGBColor(10, 20, 30));
    EXPECT_EQ(image.Alpha(3, 0), 128);
}

TEST(SkinLoaderMasks, ExternalAndBitmapFilePictures) {
    TPacked skin(Global +
                     "[BUTTON]\n"
                     "BORDERSMASK=!BUTTONHUGE.BMP!3!1!0!0047!0046!0045!0044\n"
                     "IMGTOPLEFT=!CORNER.BMP!1!1!2\n"
                     "PATTERN=!CORNER.BMP!1!0!1\n"
                     "[Panel]\n"
                     "Skin=CORNER.BMP\n"
                     "OTHER=NOWHERE.BMP\n"
                     "MIXED=Corner.bmp\n",
                 {{"ButtonHuge.bmp", Bitmap(90, 60)},
                  {"Corner.bmp", Bitmap(36, 24)}});
    skin.Load();
    const TsMaskData& border = skin.Mask("BUTTON", "BORDERSMASK");
    ASSERT_TRUE(border.Image);
    EXPECT_EQ(border.Image->PixelFormat(), pf24bit);
    EXPECT_EQ(border.SourceRect, (TRect{0, 0, 90, 60}));
    EXPECT_EQ((std::vector<int>{border.ImageCount, border.MaskType, border.WL, border.WB}),
              (std::vector<int>{3, 1, 47, 44}));
    // Fewer than five fields: a third of a state image.
    const TsMaskData& corner = skin.Mask("BUTTON", "IMGTOPLEFT");
    EXPECT_EQ(corner.ImgType, itisaGlyph);
    EXPECT_EQ((std::vector<int>{corner.WL, corner.WT, corner.WR, corner.WB}),
              (std::vector<int>{12, 4, 12, 4}));
    // A bitmap file name alone: a border of three images over one mask row, names upper-cased.
    const TsMaskData& file = skin.Mask("PANEL", "SKIN");
    ASSERT_TRUE(file.Image);
    EXPECT_EQ((std::vector<int>{file.ImageCount, file.MaskType, file.WL, file.WT, file.WR,
                                file.WB}),
              (std::vector<int>{3, 1, 4, 4, 4, 4}));
    EXPECT_EQ(file.ImgType, itisaBorder);
    EXPECT_LT(skin.model.FindMaskExact("PANEL", "OTHER"), 0);
    // Entry names are upper-cased for the comparison, the value is not.
    EXPECT_LT(skin.model.FindMaskExact("PANEL", "MIXED"), 0);
}

TEST(SkinLoaderMasks, LegacyDescriptorCutFromTheMaster) {
    TPacked skin(Global + "[Button]\nBordersMask=#MASTER (10,20,40,38) (3,1)\n");
    skin.Load();
    const TsMaskData& mask = skin.Mask("BUTTON", "BORDERSMASK");
    EXPECT_EQ(mask.SourceRect, (TRect{10, 20, 40, 38}));
    EXPECT_EQ((std::vector<int>{mask.ImageCount, mask.MaskType, mask.BorderWidth,
                                mask.StretchMode, mask.WL, mask.WT}),
              (std::vector<int>{3, 1, 0, 1, 3, 3}));
}

TEST(SkinLoaderPatterns, LargeJPEGIsAPatternSmallOneATexture) {
    TPacked skin(Global + "[FORM]\nPATTERN=BIG.JPG\nHOTPATTERN=SMALL.JPEG\n",
                 {{"big.jpg", test::FixtureBytes("skin_pattern_300x300.jpg")},
                  {"SMALL.JPEG", test::FixtureBytes("skin_pattern_299x300.jpg")}});
    skin.Load();
    ASSERT_EQ(skin.model.PatternTable.size(), 1u);
    const TsPatternData& pattern = skin.model.PatternTable[0];
    EXPECT_EQ(pattern.PropertyName, "PATTERN");
    ASSERT_TRUE(pattern.Image);
    EXPECT_EQ(pattern.Image->Width(), 300);
    const int section = skin.model.FindSection("FORM");
    EXPECT_EQ(skin.model.FindPattern(section, "FORM", "PATTERN"), 0);
    EXPECT_LT(skin.model.FindPattern(section, "FORM", "HOTPATTERN"), 0);
    const int texture = skin.model.FindTexture(section, "FORM", "HOTPATTERN");
    ASSERT_GE(texture, 0);
    const TsMaskData& mask = skin.model.MaskTable[std::size_t(texture)];
    EXPECT_EQ(mask.ImageCount, 1);
    ASSERT_TRUE(mask.Image);
    EXPECT_EQ(mask.Image->Width(), 299);
    EXPECT_EQ(mask.Image->PixelFormat(), pf24bit);
}

// ---- section records --------------------------------------------------------------------

TEST(SkinLoaderSections, GlobalValues) {
    TPacked skin(
        "[GLOBALINFO]\nVERSION=6.14\nCOLOR=16313565\nFONTCOLOR=3484708\nHOTCOLOR=16777215\n"
        "BORDERCOLOR=13680037\nSHADOW1COLOR=7493437\nSHADOW1OFFSET=1\nSHADOW1BLUR=2\n"
        "BISPACE=-1\nBIVALIGN=1\nBILEFT=2\nBIRIGHT=2\nBICONCLOSEGLOW=1\nBICONCLOSEGLOWMARGIN=9\n"
        "AUTHOR=Someone\nDESCRIPTION=Light blue-grey #2, see (c) 2026\n",
        {}, false);
    skin.Load();
    const TsSkinData& data = skin.model.SkinData;
    EXPECT_DOUBLE_EQ(data.Version, 6.14);
    EXPECT_EQ(data.BorderColor, 13680037u);
    EXPECT_EQ(data.Shadow1Color, 7493437u);
    EXPECT_EQ((std::vector<int>{data.Shadow1Offset, data.Shadow1Blur, data.Shadow1Transparency,
                                data.BISpace, data.BIVAlign, data.BILeft, data.BIRight,
                                data.CloseGlowCount, data.CloseGlowMargin, data.MaxGlowCount}),
              (std::vector<int>{1, 2, 0, -1, 1, 2, 2, 1, 9, 0}));
    EXPECT_EQ(data.Author, "Someone");
    // A "#" in a text makes no mask and no error.
    EXPECT_EQ(data.Description, "Light blue-grey #2, see (c) 2026");
    EXPECT_TRUE(skin.model.MaskTable.empty());
    EXPECT_TRUE(skin.warnings.empty());
    const TsGeneralData& global = skin.Section("GLOBALINFO");
    EXPECT_EQ(global.Color, 16313565u);
    EXPECT_EQ(global.FontColor.Color, 3484708u);
    EXPECT_EQ(global.HotColor, 16777215u);
}

TEST(SkinLoaderSections, DefaultsWithoutGlobalInfo) {
    TPacked skin("[BUTTON]\n", {}, false);
    skin.Load();
    EXPECT_EQ(skin.model.SkinData.Shadow1Blur, -1);
    const TsGeneralData& button = skin.Section("BUTTON");
    EXPECT_EQ(button.Color, 0xFFFFFFu);
    EXPECT_EQ(button.HotColor, 0xFFFFFFu);
    EXPECT_EQ(button.FadingIterations, 5);
    EXPECT_EQ(button.GradientData, " ");
    EXPECT_TRUE(button.GradientSteps.empty());
    EXPECT_EQ(button.HotGradientData, "");
    EXPECT_EQ(button.FontColor.TCLeft, clNone);
    EXPECT_EQ(button.BordersMaskIndex, -1);
}

TEST(SkinLoaderSections, NewerVersionInformsAndGoesOn) {
    for (const auto& [version, informs] :
         std::vector<std::pair<std::string, bool>>{{"6.29", false}, {"6.30", true}}) {
        TPacked skin("[GLOBALINFO]\nVERSION=" + version + "\n[BUTTON]\n", {}, false);
        skin.Load();
        EXPECT_EQ(skin.warnings.size(), informs ? 1u : 0u) << version;
        EXPECT_GE(skin.model.FindSection("BUTTON"), 0);
    }
}

TEST(SkinLoaderSections, ParentClassInheritance) {
    TPacked skin(Global +
                 "[CHECKBOX]\nFONTCOLOR=255\nTCLEFT=65280\nGIVEOWNFONT=TRUE\n"
                 "GRADIENTDATA=16777215;16313565;51;0;0\n"
                 "BORDERSMASK=^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^1\n"
                 "[RADIOBUTTON]\n"
                 "[RADIOBUTTON2]\nPARENTCLASS=CHECKBOX\nBORDERSMASK=N/A\nFONTCOLOR=-1\n"
                 "[GRANDCHILD]\nPARENTCLASS=RADIOBUTTON2\nTCLEFT=12\n"
                 "[SELF]\nPARENTCLASS=SELF\nCOLOR=$0000FF\n"
                 "[LOOPA]\nPARENTCLASS=LOOPB\n"
                 "[LOOPB]\nPARENTCLASS=LOOPA\n");
    skin.Load();
    const TsGeneralData& alone = skin.Section("RADIOBUTTON");
    EXPECT_EQ(alone.FontColor.Color, 0u);
    EXPECT_EQ(alone.FontColor.TCLeft, clNone);
    EXPECT_EQ(alone.BordersMaskIndex, -1);

    const TsGeneralData& child = skin.Section("RADIOBUTTON2");
    EXPECT_EQ(child.ParentClass, "CHECKBOX");
    EXPECT_EQ(child.FontColor.Color, 255u);
    EXPECT_EQ(child.FontColor.TCLeft, 65280u);
    EXPECT_TRUE(child.GiveOwnFont);
    ASSERT_EQ(child.GradientSteps.size(), 1u);
    const int parent_mask = skin.model.FindMaskExact("CHECKBOX", "BORDERSMASK");
    ASSERT_GE(parent_mask, 0);
    EXPECT_EQ(child.BordersMaskIndex, parent_mask);
    EXPECT_EQ(skin.model.FindMask(skin.model.FindSection("RADIOBUTTON2"), "RADIOBUTTON2",
                                  "BORDERSMASK"),
              parent_mask);

    const TsGeneralData& grandchild = skin.Section("GRANDCHILD");
    EXPECT_EQ(grandchild.FontColor.Color, 255u);
    EXPECT_EQ(grandchild.FontColor.TCLeft, 12u);
    EXPECT_EQ(grandchild.BordersMaskIndex, parent_mask);

    const TsGeneralData& self = skin.Section("SELF");
    EXPECT_EQ(self.Color, 0xFFu);
    EXPECT_EQ(self.FontColor.Color, 0u);
    EXPECT_EQ(self.FadingIterations, 5);

    // A chain that comes back counts as absent.
    const TsGeneralData& loop = skin.Section("LOOPA");
    EXPECT_EQ(loop.Color, 0xFFFFFFu);
    EXPECT_EQ(skin.model.FindMask(skin.model.FindSection("LOOPA"), "LOOPA", "BORDERSMASK"), -1);
}

TEST(SkinLoaderSections, SectionNamesAreKeptAsWritten) {
    TPacked skin("[Button]\nCOLOR=1\n", {}, false);
    skin.Load();
    EXPECT_EQ(skin.model.FindSection("BUTTON"), -1);
    EXPECT_EQ(skin.model.FindSection("Button"), 0);
}

TEST(SkinLoaderSections, GradientDataOfElevenWordsGivesTwoSteps) {
    TPacked skin("[FORM]\nGRADIENTDATA=16777215;16313565;51;0;0;16313565;16114894;140;1;0;7\n"
                 "HOTGRADIENTDATA=1;2;3;2;0\n",
                 {}, false);
    skin.Load();
    const TsGeneralData& form = skin.Section("FORM");
    ASSERT_EQ(form.GradientSteps.size(), 2u);
    EXPECT_EQ(form.GradientSteps[0], (GradientStep{16777215, 16313565, 51, 0}));
    EXPECT_EQ(form.GradientSteps[1], (GradientStep{16313565, 16114894, 100, 1}));
    ASSERT_EQ(form.HotGradientSteps.size(), 1u);
    EXPECT_EQ(form.HotGradientSteps[0].Mode, 2);
}

// ---- failures keep the previous skin ---------------------------------------------------

TEST(SkinLoaderFailures, ErrorsLeaveThePreviousModel) {
    TPacked good("[GLOBALINFO]\nAUTHOR=Good\n[BUTTON]\n", {}, false);
    good.Load();
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        bool throws;
    };
    std::vector<std::uint8_t> truncated =
        WritePackage({{"Options.dat", Bytes("[GLOBALINFO]\nAUTHOR=Bad\n")}});
    truncated.resize(truncated.size() - 6);
    const Case cases[] = {
        {"strict integer",
         WritePackage({{"Options.dat", Bytes("[GLOBALINFO]\nAUTHOR=Bad\nSHADOW1OFFSET=x\n")}}),
         true},
        {"descriptor digits",
         WritePackage({{"Options.dat", Bytes("[A]\nB=@00x0@0002@0162@0021@3@0\n")}}), true},
        {"truncated package", truncated, true},
        {"wrong signature", Bytes("PK\x03\x04 not a skin at all"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        good.files.Add("C:\\Skins\\Bad.asz", c.file);
        std::vector<std::string> warnings;
        bool loaded = true;
        auto load = [&] {
            loaded = LoadSkinPackageFile(good.model, good.files, "C:\\Skins\\Bad.asz",
                                         [&](const std::string& t) { warnings.push_back(t); });
        };
        if (c.throws) {
            EXPECT_ANY_THROW(load());
        } else {
            load();
            EXPECT_FALSE(loaded);
            EXPECT_EQ(warnings, std::vector<std::string>{NotASkinPackageWarning});
        }
        EXPECT_EQ(good.model.SkinData.Author, "Good");
        EXPECT_EQ(good.model.FindSection("BUTTON"), 1);
    }
}

TEST(SkinLoaderFailures, PackageWithoutOptionsLoadsAnEmptySkin) {
    TMemorySkinFiles files;
    files.Add(SkinFile, WritePackage({{"Master.bmp", Bitmap(8, 8)}}));
    TsSkinModel model;
    ASSERT_TRUE(LoadSkinPackageFile(model, files, SkinFile, {}));
    EXPECT_TRUE(model.SectionTable.empty());
    EXPECT_TRUE(model.MaskTable.empty());
    EXPECT_TRUE(model.Loaded);
}

// ---- folder skins -----------------------------------------------------------------------

TEST(SkinLoaderFolder, PicturesFromTheSkinFolder) {
    TMemorySkinFiles files;
    files.Add("C:\\Skins\\Blue\\Options.dat",
              Global + "[BUTTON]\nBORDERSMASK=!EDGE.BMP!3!1!0\nIMGTOPLEFT=D:\\Art\\CORNER.BMP\n"
                       "BORDERSMASK2=^0000^0000^0054^0036^0000^0000^0000^0000^3^1^1^0\n");
    files.Add("C:\\Skins\\Blue\\MASTER.BMP", Bitmap(64, 64));
    files.Add("C:\\Skins\\Blue\\EDGE.BMP", Bitmap(30, 12));
    files.Add("D:\\Art\\CORNER.BMP", Bitmap(9, 6));
    TsSkinModel model;
    ASSERT_TRUE(LoadSkinFolder(model, files, "C:\\Skins\\Blue", {}));
    EXPECT_EQ(model.SkinData.SkinFolder, "C:\\Skins\\Blue\\");
    EXPECT_EQ(model.MasterBitmap.Width(), 64);
    EXPECT_GE(model.FindMaskExact("BUTTON", "BORDERSMASK"), 0);
    EXPECT_GE(model.FindMaskExact("BUTTON", "IMGTOPLEFT"), 0);
    EXPECT_GE(model.FindMaskExact("BUTTON", "BORDERSMASK2"), 0);
    EXPECT_FALSE(LoadSkinFolder(model, files, "C:\\Skins\\Red", {}));
    EXPECT_EQ(model.SkinData.SkinFolder, "C:\\Skins\\Blue\\");
}

// ---- unpacked stored skins and common sections -------------------------------------------

TEST(SkinLoaderStored, UnpackedStoredSkin) {
    TsStoredSkin stored;
    stored.Version = 6.1;
    stored.Author = "Stored";
    stored.BorderColor = 123;
    stored.MasterBitmap = TBitmap(100, 50, pf32bit);
    auto picture = std::make_shared<TBitmap>(12, 6, pf32bit);
    TsSkinImage own;
    own.Name = "edge";
    own.Image = picture;
    own.SectionName = "Button";
    own.PropertyName = "BordersMask";
    own.ImageCount = 3;
    own.MaskType = 1;
    TsSkinImage cut;
    cut.Left = 10;
    cut.Top = 0;
    cut.Right = 64;
    cut.Bottom = 36;
    cut.SectionName = "PANEL";
    cut.PropertyName = "BORDERSMASK";
    TsSkinImage outside = cut;
    outside.Right = 200;
    outside.PropertyName = "IMGTOPLEFT";
    stored.Images = {own, cut, outside};
    auto texture = std::make_shared<TBitmap>(400, 300, pf24bit);
    stored.Patterns = {{"tex", nullptr, "form", "hotpattern"},
                       {"tex", texture, "FORM", "PATTERN"},
                       {"none", nullptr, "FORM", "OTHER"}};
    TsSkinGeneral button;
    button.SectionName = "BUTTON";
    button.FontColor = "1;2;3;4;5";
    button.HotFontColor = "1;2;3";
    button.GradientData = "1;2;3;4;5";
    TsSkinGeneral panel;
    panel.SectionName = "PANEL";
    stored.GeneralData = {button, panel};

    TsSkinModel model;
    TSkinLoadSource source;
    source.Stored = &stored;
    source.SkinFolder = "ignored\\";
    LoadSkin(model, source);
    EXPECT_EQ(model.SkinData.Author, "Stored");
    EXPECT_EQ(model.SkinData.BorderColor, 123u);
    EXPECT_EQ(model.SkinData.SkinFolder, "");
    EXPECT_EQ(model.MasterBitmap.PixelFormat(), pf24bit);
    ASSERT_EQ(model.MaskTable.size(), 2u) << "a rectangle past the master is dropped";
    const TsMaskData& first = model.MaskTable[0];
    EXPECT_EQ(first.SectionName, "BUTTON");
    EXPECT_EQ(first.PropertyName, "BORDERSMASK");
    ASSERT_TRUE(first.Image);
    EXPECT_EQ(first.Image->PixelFormat(), pf24bit);
    EXPECT_EQ(first.SourceRect, (TRect{0, 0, 12, 6}));
    const TsMaskData& second = model.MaskTable[1];
    EXPECT_FALSE(second.Image);
    // ImageCount 0 becomes three images over one mask row; margins follow the border rule.
    EXPECT_EQ((std::vector<int>{second.ImageCount, second.MaskType, second.WL, second.WT}),
              (std::vector<int>{3, 1, 6, 6}));
    ASSERT_EQ(model.PatternTable.size(), 2u) << "a pattern without any picture is dropped";
    EXPECT_EQ(model.PatternTable[0].Image, texture) << "the picture of the same name is shared";
    EXPECT_EQ(model.PatternTable[0].SectionName, "FORM");
    const TsGeneralData& b = model.SectionTable[0];
    EXPECT_EQ((std::vector<TColor>{b.FontColor.Color, b.FontColor.TCLeft, b.FontColor.TCBottom}),
              (std::vector<TColor>{1, 2, 5}));
    EXPECT_EQ(b.HotFontColor.Color, 0u);
    EXPECT_EQ(b.HotFontColor.TCTop, clNone);
    EXPECT_EQ(b.GradientSteps.size(), 1u);
    EXPECT_EQ(b.BordersMaskIndex, 0);
    EXPECT_EQ(model.SectionTable[1].BordersMaskIndex, 1);
}

TEST(SkinLoaderCommon, CommonSectionsOverrideAndAdd) {
    const std::string options = Global + "[BUTTON]\nCOLOR=10\nFONTCOLOR=20\n";
    TMemorySkinFiles files;
    files.Add(SkinFile, WritePackage({{"Options.dat", Bytes(options)},
                                      {"Master.bmp", Bitmap(64, 64)},
                                      {"Extra.bmp", Bitmap(18, 12)}}));
    std::unique_ptr<TacSkinConvertor> package;
    ASSERT_TRUE(LoadPackageFile(files, SkinFile, package, true, {}));
    const TsOptionsFile parsed(std::string_view(
        reinterpret_cast<const char*>(package->OptionsData->Bytes().data()),
        package->OptionsData->Bytes().size()));
    TSkinLoadSource source;
    source.Options = &parsed;
    source.Package = package.get();
    source.CommonSections = {"[BUTTON]", "COLOR = 30", "[MYBUTTON]", "PARENTCLASS=button",
                             "HOTCOLOR=40", "BORDERSMASK = EXTRA.BMP",
                             "GLYPH=@0030@0002@0162@0021@3@0", "; a comment = kept"};
    TsSkinModel model;
    LoadSkin(model, source);
    const TsGeneralData& button = model.SectionTable.at(std::size_t(model.FindSection("BUTTON")));
    EXPECT_EQ(button.Color, 30u);
    EXPECT_EQ(button.FontColor.Color, 20u);
    const int added = model.FindSection("MYBUTTON");
    ASSERT_GE(added, 0);
    const TsGeneralData& mine = model.SectionTable[std::size_t(added)];
    EXPECT_EQ(mine.Color, 30u) << "based on its parent";
    EXPECT_EQ(mine.FontColor.Color, 20u);
    EXPECT_EQ(mine.HotColor, 40u);
    EXPECT_EQ(mine.ParentClass, "button");
    // Only bitmap files and legacy descriptors of the common lines become masks.
    EXPECT_GE(model.FindMaskExact("MYBUTTON", "BORDERSMASK"), 0);
    EXPECT_LT(model.FindMaskExact("MYBUTTON", "GLYPH"), 0);
    EXPECT_EQ(mine.BordersMaskIndex, model.FindMaskExact("MYBUTTON", "BORDERSMASK"));
}

} // namespace
} // namespace kalvo
