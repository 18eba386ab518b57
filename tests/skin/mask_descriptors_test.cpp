#include "skin/mask_descriptors.h"

#include "skin/skin_error.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace kalvo {
namespace {

const char* KindName(TMaskValueKind kind) {
    switch (kind) {
    case TMaskValueKind::NotAMask: return "NotAMask";
    case TMaskValueKind::Glyph: return "Glyph";
    case TMaskValueKind::Border: return "Border";
    case TMaskValueKind::Texture: return "Texture";
    case TMaskValueKind::External: return "External";
    case TMaskValueKind::BitmapFile: return "BitmapFile";
    case TMaskValueKind::JPEGFile: return "JPEGFile";
    case TMaskValueKind::Legacy: return "Legacy";
    }
    return "?";
}

// Every field of a descriptor in one line.
std::string Show(const TMaskDescriptor& m) {
    std::string out = std::string(KindName(m.Kind)) + " " + ImgTypeName(m.ImgType);
    if (!m.FileName.empty())
        out += " file=" + m.FileName;
    out += " rect(" + std::to_string(m.SourceRect.Left) + "," + std::to_string(m.SourceRect.Top) +
           "," + std::to_string(m.SourceRect.Right) + "," + std::to_string(m.SourceRect.Bottom) +
           ")";
    out += " ic" + std::to_string(m.ImageCount) + " mt" + std::to_string(m.MaskType) + " sm" +
           std::to_string(m.StretchMode) + " bw" + std::to_string(m.BorderWidth);
    out += " w(" + std::to_string(m.WL) + "," + std::to_string(m.WT) + "," + std::to_string(m.WR) +
           "," + std::to_string(m.WB) + ")";
    if (m.MarginsGiven)
        out += " given";
    return out;
}

std::string ShowParsed(const char* value) {
    const auto mask = ParseMaskDescriptor(value);
    return mask ? Show(*mask) : "none";
}

TEST(MaskDescriptorsTest, NamesImageTypes) {
    EXPECT_STREQ(ImgTypeName(itisaBorder), "itisaBorder");
    EXPECT_STREQ(ImgTypeName(itisaTexture), "itisaTexture");
    EXPECT_STREQ(ImgTypeName(itisaGlyph), "itisaGlyph");
    EXPECT_STREQ(ImgTypeName(itisaGlow), "itisaGlow");
}

TEST(MaskDescriptorsTest, ClassifiesValues) {
    struct Case {
        const char* value;
        TMaskValueKind kind;
    };
    const Case cases[] = {
        {"@0030@0002@0162@0021@3@0", TMaskValueKind::Glyph},
        {"^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^1", TMaskValueKind::Border},
        {"~0030~0000~0146~0001~01~0", TMaskValueKind::Texture},
        {"!GLOW.PNG!1!0!3", TMaskValueKind::External},
        {"!glow.png!1!0!3", TMaskValueKind::External},  // a marker first; the name is judged later
        {"@SKY.JPG", TMaskValueKind::Glyph},
        {"BUTTON.BMP", TMaskValueKind::BitmapFile},
        {"Button.Bmp", TMaskValueKind::BitmapFile},
        {"C:\\SKINS\\EDGE.BMP", TMaskValueKind::BitmapFile},
        {"SKY.JPG", TMaskValueKind::JPEGFile},
        {"sky.jpeg", TMaskValueKind::JPEGFile},
        {"SKY.BMP.JPG", TMaskValueKind::JPEGFile},
        {"SKY.JPG.BMP", TMaskValueKind::BitmapFile},
        {"#MASTER (10,20,30,40) (3,1)", TMaskValueKind::Legacy},
        {"EDGE#1.BMP", TMaskValueKind::Legacy},  // "#": never a bitmap file name
        {"##", TMaskValueKind::Legacy},
        {"#", TMaskValueKind::NotAMask},
        {"N/A", TMaskValueKind::NotAMask},
        {"", TMaskValueKind::NotAMask},
        {"16313565", TMaskValueKind::NotAMask},
        {"TRUE", TMaskValueKind::NotAMask},
        {"GLOW.PNG", TMaskValueKind::NotAMask},
        {"16777215;16313565;51;0;0", TMaskValueKind::NotAMask},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(KindName(ClassifyMaskValue(c.value)), KindName(c.kind)) << c.value;
    EXPECT_EQ(ParseMaskDescriptor("N/A"), std::nullopt);
    EXPECT_EQ(ParseMaskDescriptor(""), std::nullopt);
    EXPECT_EQ(ParseMaskDescriptor("#"), std::nullopt);
}

TEST(MaskDescriptorsTest, ReadsFixedPositionDescriptors) {
    struct Case {
        const char* value;
        const char* parsed;
    };
    const Case cases[] = {
        {"@0030@0002@0162@0021@3@0",
         "Glyph itisaGlyph rect(30,2,162,21) ic3 mt0 sm0 bw0 w(0,0,0,0)"},
        // Separators are not checked; characters after the last position are ignored.
        {"@0030-0002x0162 0021:3/1 and more",
         "Glyph itisaGlyph rect(30,2,162,21) ic3 mt1 sm0 bw0 w(0,0,0,0)"},
        {"^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^1",
         "Border itisaBorder rect(43,41,56,81) ic1 mt0 sm1 bw1 w(1,1,1,1)"},
        {"^0068^0057^0122^0093^0006^0007^0008^0009^3^1^2^4",
         "Border itisaBorder rect(68,57,122,93) ic3 mt1 sm2 bw4 w(6,7,8,9)"},
        {"~0030~0000~0146~0001~01~0",
         "Texture itisaTexture rect(30,0,146,1) ic1 mt0 sm1 bw0 w(0,0,0,0)"},
        {"~0191~0001~0234~0002~12~1",
         "Texture itisaTexture rect(191,1,234,2) ic1 mt1 sm12 bw0 w(0,0,0,0)"},
        // Cut after position 23, or after 24: MaskType 0.
        {"~0030~0000~0146~0001~01",
         "Texture itisaTexture rect(30,0,146,1) ic1 mt0 sm1 bw0 w(0,0,0,0)"},
        {"~0030~0000~0146~0001~01~",
         "Texture itisaTexture rect(30,0,146,1) ic1 mt0 sm1 bw0 w(0,0,0,0)"},
        // An empty rectangle is no inverted one.
        {"@0010@0010@0010@0010@1@0",
         "Glyph itisaGlyph rect(10,10,10,10) ic1 mt0 sm0 bw0 w(0,0,0,0)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowParsed(c.value), c.parsed) << c.value;
}

TEST(MaskDescriptorsTest, ReadsExternalPictures) {
    struct Case {
        const char* value;
        const char* parsed;
    };
    const Case cases[] = {
        {"!GLOW.PNG!1!0!3!0016!0016!0016!0016",
         "External itisaGlow file=GLOW.PNG rect(0,0,0,0) ic1 mt0 sm4 bw0 w(16,16,16,16) given"},
        {"!BUTTONHUGE.BMP!3!1!0!0047!0046!0045!0044",
         "External itisaBorder file=BUTTONHUGE.BMP rect(0,0,0,0) ic3 mt1 sm4 bw0 w(47,46,45,44) "
         "given"},
        // Four fields: no margins.
        {"!CORNER.BMP!1!1!2",
         "External itisaGlyph file=CORNER.BMP rect(0,0,0,0) ic1 mt1 sm4 bw0 w(0,0,0,0)"},
        // Five fields: the margins are given, those not written are 0.
        {"!EDGE.PNG!2!0!1!5",
         "External itisaTexture file=EDGE.PNG rect(0,0,0,0) ic2 mt0 sm4 bw0 w(5,0,0,0) given"},
        // Runs of "!" are one separator; fields past the eighth are ignored.
        {"!!GLOW.PNG!!1!!!0!3!1!2!3!4!99",
         "External itisaGlow file=GLOW.PNG rect(0,0,0,0) ic1 mt0 sm4 bw0 w(1,2,3,4) given"},
        // ImgType past the last ordinal counts as the last.
        {"!GLOW.PNG!1!0!7",
         "External itisaGlow file=GLOW.PNG rect(0,0,0,0) ic1 mt0 sm4 bw0 w(0,0,0,0)"},
        {"!GLOW.PNG!1!0!99999999999",
         "External itisaGlow file=GLOW.PNG rect(0,0,0,0) ic1 mt0 sm4 bw0 w(0,0,0,0)"},
        {"!SKINS\\MY.PNG.OLD!1!0!0",
         "External itisaBorder file=SKINS\\MY.PNG.OLD rect(0,0,0,0) ic1 mt0 sm4 bw0 w(0,0,0,0)"},
        // The name must hold ".BMP" or ".PNG" written in capitals.
        {"!glow.png!1!0!3!0016!0016!0016!0016", "none"},
        {"!Glow.Png!1!0!3", "none"},
        {"!corner.bmp!1!x!2", "none"},  // ignored before its numbers are read
        {"!GLOW.GIF!1!0!3", "none"},
        // Too few fields.
        {"!GLOW.PNG!1!0", "none"},
        {"!GLOW.PNG", "none"},
        {"!", "none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowParsed(c.value), c.parsed) << c.value;
}

TEST(MaskDescriptorsTest, ReadsPictureFileNames) {
    EXPECT_EQ(ShowParsed("Button.bmp"),
              "BitmapFile itisaBorder file=Button.bmp rect(0,0,0,0) ic3 mt1 sm0 bw0 w(0,0,0,0)");
    EXPECT_EQ(ShowParsed("SKY.JPG"),
              "JPEGFile itisaTexture file=SKY.JPG rect(0,0,0,0) ic1 mt0 sm0 bw0 w(0,0,0,0)");
    // The default margins of a whole bitmap: width div 9 and height div 6.
    auto bitmap = ParseMaskDescriptor("EDGE.BMP");
    ASSERT_TRUE(bitmap);
    ApplyDefaultMargins(*bitmap, 90, 61);
    EXPECT_EQ(Show(*bitmap),
              "BitmapFile itisaBorder file=EDGE.BMP rect(0,0,0,0) ic3 mt1 sm0 bw0 w(10,10,10,10)");
}

// Words are separated by blanks and parentheses, a parenthesised group being one word; the
// numbers of a word are separated by commas or blanks.
TEST(MaskDescriptorsTest, ReadsLegacyDescriptors) {
    struct Case {
        const char* value;
        const char* parsed;
    };
    const Case cases[] = {
        {"#MASTER (10,20,30,40) (3,1,2,1)",
         "Legacy itisaBorder rect(10,20,30,40) ic3 mt1 sm1 bw2 w(0,0,0,0)"},
        {"#M(10,20,30,40)(3,1)",
         "Legacy itisaBorder rect(10,20,30,40) ic3 mt1 sm1 bw0 w(0,0,0,0)"},
        {"#MASTER (10, 20, 30, 40) (3, 1, 2, 5)",
         "Legacy itisaBorder rect(10,20,30,40) ic3 mt1 sm5 bw2 w(0,0,0,0)"},
        {"#MASTER ( 10 20 30 40 ) ( 2 0 )",
         "Legacy itisaBorder rect(10,20,30,40) ic2 mt0 sm1 bw0 w(0,0,0,0)"},
        {"#M 10,20,30,40 3,1,4",
         "Legacy itisaBorder rect(10,20,30,40) ic3 mt1 sm1 bw4 w(0,0,0,0)"},
        {"#M (10,,20, 30 ,40,99) (3,1,2,1,77) (more)",
         "Legacy itisaBorder rect(10,20,30,40) ic3 mt1 sm1 bw2 w(0,0,0,0)"},
        // Counts below their floor are raised to it; a negative StretchMode is kept.
        {"#M (10,20,30,40) (0,-1,-4,-2)",
         "Legacy itisaBorder rect(10,20,30,40) ic1 mt0 sm-2 bw0 w(0,0,0,0)"},
        {"#M (10,20,30,40) (-3)",
         "Legacy itisaBorder rect(10,20,30,40) ic1 mt0 sm1 bw0 w(0,0,0,0)"},
        {"#M (10,20,30,40)",
         "Legacy itisaBorder rect(10,20,30,40) ic1 mt0 sm1 bw0 w(0,0,0,0)"},
        {"#M (10,20,30,40) ()",
         "Legacy itisaBorder rect(10,20,30,40) ic1 mt0 sm1 bw0 w(0,0,0,0)"},
        {"#M (10,20,30,40) (3,1",  // an unclosed group runs to the end
         "Legacy itisaBorder rect(10,20,30,40) ic3 mt1 sm1 bw0 w(0,0,0,0)"},
        // Without the four corners there is no mask.
        {"#M", "none"},
        {"#M (10,20,30)", "none"},
        {"#M () (3,1)", "none"},
        // Text that merely holds a "#" is no mask, not an error.
        {"#M (10,2a,30,40) (3,1)", "none"},
        {"#M (10,20,30,40) (3;1)", "none"},
        {"Light skin #2 by the Kalvo team", "none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowParsed(c.value), c.parsed) << c.value;
}

TEST(MaskDescriptorsTest, RejectsMalformedDescriptors) {
    const char* values[] = {
        // Too short for the fixed positions.
        "@",
        "@0030@0002@0162@0021@3@",
        "^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^",
        "~0030~0000~0146~0001~0",
        // ImageCount 0.
        "@0030@0002@0162@0021@0@0",
        "^0043^0041^0056^0081^0001^0001^0001^0001^0^0^1^1",
        "!GLOW.PNG!0!0!3",
        "!GLOW.PNG!-1!0!3",
        // Negative MaskType or ImgType.
        "!GLOW.PNG!1!-1!3",
        "!GLOW.PNG!1!0!-1",
        // Inverted or negative rectangles.
        "@0162@0002@0030@0021@3@0",
        "^0043^0081^0056^0041^0001^0001^0001^0001^1^0^1^1",
        "~0030~0005~0146~0001~01~0",
        "#M (30,20,10,40) (3,1)",
        "#M (-1,0,5,5) (1,0)",
        // Numbers that do not fit their field.
        "!GLOW.PNG!32768!0!3",
        "!GLOW.PNG!1!40000!3",
        "!GLOW.PNG!1!0!3!0016!70000!0016!0016",
        "!GLOW.PNG!1!0!3!-32769",
        "#M (0,0,5,5) (40000,1)",
        "#M (0,0,5,5) (1,1,1,99999999999999999999999)",
        "#M (0,0,2147483648,5) (1,0)",
    };
    for (const char* value : values)
        EXPECT_EQ(ShowParsed(value), "none") << value;
}

TEST(MaskDescriptorsTest, ThrowsForNonDigitsInNumberFields) {
    struct Case {
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"@0030@0002@01x2@0021@3@0", "'01x2' is not a valid integer value"},
        {"@0030@0002@0162@0021@a@0", "'a' is not a valid integer value"},
        {"@-030@0002@0162@0021@3@0", "'-030' is not a valid integer value"},
        {"@ 030@0002@0162@0021@3@0", "' 030' is not a valid integer value"},
        // Read before the value is judged: a bad field wins over a zero count.
        {"@0030@0002@0162@0021@0@?", "'?' is not a valid integer value"},
        {"^0043^0041^0056^0081^0001^0001^0001^0001^1^0^1^x", "'x' is not a valid integer value"},
        {"^0043^0041^0056^0081^00A1^0001^0001^0001^1^0^1^1", "'00A1' is not a valid integer value"},
        {"~0030~0000~0146~0001~0a~0", "'0a' is not a valid integer value"},
        // Position 25 is read once the value is longer than 24.
        {"~0030~0000~0146~0001~01~x", "'x' is not a valid integer value"},
        {"!GLOW.PNG!one!0!3", "'one' is not a valid integer value"},
        {"!GLOW.PNG!0!0!3!16px", "'16px' is not a valid integer value"},
        {"!GLOW.PNG!1!0!3!-", "'-' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        try {
            const auto mask = ParseMaskDescriptor(c.value);
            ADD_FAILURE() << "no error for " << c.value << ": "
                          << (mask ? Show(*mask) : std::string("none"));
        } catch (const EConvertError& error) {
            EXPECT_EQ(std::string(error.what()), c.message) << c.value;
        }
    }
}

TEST(MaskDescriptorsTest, CompletesMissingMargins) {
    struct Case {
        const char* value;
        int width, height;
        const char* margins;
    };
    const Case cases[] = {
        // No margins, no BorderWidth: 54 x 36 over 3 images and one mask row.
        {"^0000^0000^0054^0036^0000^0000^0000^0000^3^1^1^0", 54, 36, "w(6,6,6,6)"},
        {"^0000^0000^0054^0036^0000^0000^0000^0000^1^0^1^0", 54, 36, "w(18,12,18,12)"},
        // BorderWidth stands for all four.
        {"^0000^0000^0054^0036^0000^0000^0000^0000^3^1^1^2", 54, 36, "w(2,2,2,2)"},
        // Any margin written keeps all four as written.
        {"^0000^0000^0054^0036^0000^0003^0000^0000^3^1^1^2", 54, 36, "w(0,3,0,0)"},
        {"#M (0,0,54,36) (3,1)", 54, 36, "w(6,6,6,6)"},
        {"#M (0,0,54,36) (3,1,4)", 54, 36, "w(4,4,4,4)"},
    };
    for (const Case& c : cases) {
        auto mask = ParseMaskDescriptor(c.value);
        ASSERT_TRUE(mask) << c.value;
        ApplyDefaultMargins(*mask, c.width, c.height);
        const std::string shown = Show(*mask);
        EXPECT_EQ(shown.substr(shown.find(" w(") + 1), c.margins) << c.value;
    }
}

TEST(MaskDescriptorsTest, DefaultMarginsNeverDivideByZeroOrOverflow) {
    struct Case {
        std::int16_t image_count, mask_type;
        int width, height;
        std::int16_t horizontal, vertical;
    };
    const Case cases[] = {
        {0, -1, 30, 30, 10, 10},        // counted as 1 and 0
        {-5, -32768, 30, 30, 10, 10},
        {32767, 32767, 100, 100, 0, 0},
        {1, 0, 0, 0, 0, 0},
        {1, 0, -30, -30, -10, -10},
        {1, 0, INT_MAX, 9, 32767, 3},   // held to the 16-bit field
        {1, 0, INT_MIN, 9, -32768, 3},
    };
    for (const Case& c : cases) {
        TMaskDescriptor mask;
        mask.ImageCount = c.image_count;
        mask.MaskType = c.mask_type;
        ApplyDefaultMargins(mask, c.width, c.height);
        EXPECT_EQ(mask.WL, c.horizontal) << c.image_count << " " << c.width;
        EXPECT_EQ(mask.WR, c.horizontal) << c.image_count << " " << c.width;
        EXPECT_EQ(mask.WT, c.vertical) << c.mask_type << " " << c.height;
        EXPECT_EQ(mask.WB, c.vertical) << c.mask_type << " " << c.height;
        // The counts themselves are left as they were.
        EXPECT_EQ(mask.ImageCount, c.image_count);
        EXPECT_EQ(mask.MaskType, c.mask_type);
    }
}

} // namespace
} // namespace kalvo
