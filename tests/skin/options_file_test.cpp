#include "skin/options_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalvo {
namespace {

// The whole file as "[SECTION]KEY=VALUE|KEY=VALUE..." per section, in file order.
std::string Dump(const TsOptionsFile& file) {
    std::string out;
    for (const auto& section : file.Sections()) {
        out += "[" + section.Name + "]";
        for (const auto& key : section.Keys)
            out += key.Name + "=" + key.Value + "|";
    }
    return out;
}

TEST(OptionsFileTest, ReadsSectionsAndKeysInFileOrder) {
    const TsOptionsFile file(
        "; Topaz options\r\n"
        "VERSION=9.99\r\n"  // before any section: not a key of anything
        "\r\n"
        "[GLOBALINFO]\r\n"
        "  MASTERBITMAP = MASTER.BMP  \r\n"
        "VERSION=6.14\r\n"
        "   ; COLOR=1\r\n"
        "this line is no key\r\n"
        "COLOR=16313565\r\n"
        "[ BUTTON ]\r\n"
        "GRADIENTDATA=16777215;16313565;51;0;0\r\n"
        "EMPTY=\r\n"
        "FORMULA=A=B\r\n"
        "[PANEL]\r\n");
    EXPECT_EQ(Dump(file),
              "[GLOBALINFO]MASTERBITMAP=MASTER.BMP|VERSION=6.14|COLOR=16313565|"
              "[BUTTON]GRADIENTDATA=16777215;16313565;51;0;0|EMPTY=|FORMULA=A=B|"
              "[PANEL]");
}

TEST(OptionsFileTest, AnyLineBreakEndsALine) {
    const std::string expected = "[A]X=1|Y=2|[B]Z=3|";
    const char* texts[] = {
        "[A]\nX=1\nY=2\n[B]\nZ=3\n",
        "[A]\r\nX=1\r\nY=2\r\n[B]\r\nZ=3\r\n",
        "[A]\rX=1\rY=2\r[B]\rZ=3\r",
        "[A]\r\nX=1\nY=2\r[B]\r\n\r\n\n\rZ=3",  // mixed, blank lines, no break at the end
        "\t[A]\t\n X=1\n\tY\t=\t2 \n[B]\nZ=3",  // tabs and blanks around everything
    };
    for (const char* text : texts)
        EXPECT_EQ(Dump(TsOptionsFile(text)), expected) << text;
}

TEST(OptionsFileTest, KeepsTheFirstOfARepeatedSectionOrKey) {
    const TsOptionsFile file(
        "[BUTTON]\nCOLOR=1\nTRANSPARENCY=10\n"
        "[EDIT]\nCOLOR=2\n"
        "[button]\ncolor=3\nFONTCOLOR=4\n"
        "[EDIT]\nCOLOR=5\n");
    EXPECT_EQ(Dump(file), "[BUTTON]COLOR=1|TRANSPARENCY=10|FONTCOLOR=4|[EDIT]COLOR=2|");
}

TEST(OptionsFileTest, LooksUpSectionsAndKeysWithoutRegardToCase) {
    const TsOptionsFile file("[GlobalInfo]\nMasterBitmap=MASTER.BMP\n[BUTTON]\nCOLOR=7\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;  // nullptr: absent
    };
    const Case cases[] = {
        {"GLOBALINFO", "MASTERBITMAP", "MASTER.BMP"},
        {"globalinfo", "masterbitmap", "MASTER.BMP"},
        {"GlobalInfo", "MasterBitmap", "MASTER.BMP"},
        {"button", "color", "7"},
        {"BUTTON", "MASTERBITMAP", nullptr},
        {"GLOBALINFO", "COLOR", nullptr},
        {"EDIT", "COLOR", nullptr},
        {"BUTTON ", "COLOR", nullptr},
        {"", "COLOR", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        const auto* key = file.FindKey(c.section, c.key);
        EXPECT_EQ(file.KeyExists(c.section, c.key), c.value != nullptr);
        ASSERT_EQ(key != nullptr, c.value != nullptr);
        EXPECT_EQ(file.ReadString(c.section, c.key, "?"), c.value != nullptr ? c.value : "?");
        if (key != nullptr) {
            EXPECT_EQ(key->Value, c.value);
        }
    }
    // Names are kept as written.
    ASSERT_NE(file.FindSection("GLOBALINFO"), nullptr);
    EXPECT_EQ(file.FindSection("GLOBALINFO")->Name, "GlobalInfo");
    EXPECT_EQ(file.FindKey("globalinfo", "MASTERBITMAP")->Name, "MasterBitmap");
}

TEST(OptionsFileTest, AnEmptyValueIsPresentAndNotTheDefault) {
    const TsOptionsFile file("[BUTTON]\nBORDERSMASK=\n");
    EXPECT_TRUE(file.KeyExists("BUTTON", "BORDERSMASK"));
    EXPECT_EQ(file.ReadString("BUTTON", "BORDERSMASK", "?"), "");
    EXPECT_EQ(file.ReadString("BUTTON", "PATTERN", "?"), "?");
}

TEST(OptionsFileTest, OnlyBracketedLinesOpenSections) {
    const TsOptionsFile file(
        "[A]\n"
        "[B=1\n"     // no closing bracket: a key named "[B"
        "C]=2\n"     // no opening bracket: a key named "C]"
        "[D] x\n"    // does not end with "]": neither section nor key
        "E=3\n"
        "[]\n"       // a section with an empty name
        "F=4\n");
    EXPECT_EQ(Dump(file), "[A][B=1|C]=2|E=3|[]F=4|");
}

TEST(OptionsFileTest, EmptyOrSectionlessTextHasNoSections) {
    for (const char* text : {"", "\r\n\r\n", "; only a comment", "KEY=VALUE\nOTHER=1"})
        EXPECT_TRUE(TsOptionsFile(text).Sections().empty()) << text;
}

} // namespace
} // namespace kalvo
