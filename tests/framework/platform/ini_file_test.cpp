#include "app/framework/platform/ini_file.h"
#include "platform_test_support.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kalvo {
namespace {

using test::TTempFolder;

void WriteText(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

// A record as another program might have written it, with the oddities the platform's
// reader deals with.
const char SampleRecord[] = "[main_section]\r\n"
                            "u_path=  C:\\kalvo\\kalvo.exe  \r\n"
                            "u_quoted=\"  spaced  \"\r\n"
                            "u_empty=\r\n"
                            "u_ico=1\r\n"
                            "[numbers]\r\n"
                            "negative=-7\r\n"
                            "trailing=12abc\r\n"
                            "hex=0x10\r\n"
                            "too_big=2147483648\r\n"
                            "largest=2147483647\r\n"
                            "smallest=-2147483648\r\n"
                            "plus=+5\r\n"
                            "plus_minus=+-5\r\n"
                            "spaced= 42 \r\n"
                            "word=one\r\n";

class IniFileTest : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(IniFileTest, WritesANewFileInTheAnsiCodePageAndReadsItBack) {
    const std::wstring path = folder.File(L"uninstall.ini");
    // A group name with a character outside ASCII, when the code page has one for it.
    const std::wstring group =
        test::AnsiCanHold(L"Kalvo Caf\u00e9") ? L"Kalvo Caf\u00e9" : L"Kalvo";
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.FileName(), path);
        ini.WriteString(L"main_section", L"u_path", L"C:\\Program Files\\kalvo\\kalvo.exe");
        ini.WriteString(L"main_section", L"u_group", group);
        ini.WriteInteger(L"main_section", L"u_ico", 1);
        ini.WriteString(L"main_section", L"u_ico_path", L"...");
    }
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString(L"main_section", L"u_path", L""),
              L"C:\\Program Files\\kalvo\\kalvo.exe");
    EXPECT_EQ(ini.ReadString(L"main_section", L"u_group", L""), group);
    EXPECT_EQ(ini.ReadInteger(L"main_section", L"u_ico", 0), 1);
    EXPECT_EQ(ini.ReadString(L"main_section", L"u_ico_path", L""), L"...");

    // One byte per character, no byte-order mark: the ANSI code page.
    const std::string bytes = test::ReadBytes(path);
    EXPECT_EQ(bytes.rfind("[main_section]", 0), 0u) << bytes;
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    EXPECT_NE(bytes.find("u_group=" + test::ToAnsi(group) + "\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("u_ico=1\r\n"), std::string::npos) << bytes;
}

TEST_F(IniFileTest, OverwritesAValueInPlace) {
    TIniFile ini(folder.File(L"record.ini"));
    ini.WriteString(L"main_section", L"u_group", L"First");
    ini.WriteString(L"main_section", L"u_ico", L"0");
    ini.WriteString(L"Main_Section", L"U_GROUP", L"Second");
    EXPECT_EQ(ini.ReadString(L"main_section", L"u_group", L""), L"Second");
    EXPECT_EQ(ini.KeyNames(L"main_section"), (std::vector<std::wstring>{L"u_group", L"u_ico"}));
}

TEST_F(IniFileTest, LongValuesAndManySectionsComeBackWhole) {
    TIniFile ini(folder.File(L"long.ini"));
    std::wstring long_value;
    for (int i = 0; long_value.size() < 3000; ++i)
        long_value += L"part" + std::to_wstring(i) + L";";
    ini.WriteString(L"main_section", L"long", long_value);
    EXPECT_EQ(ini.ReadString(L"main_section", L"long", L""), long_value);

    std::vector<std::wstring> sections;
    for (int i = 0; i < 60; ++i) {
        sections.push_back(L"section_number_" + std::to_wstring(i));
        ini.WriteString(sections.back(), L"k", L"v");
    }
    std::vector<std::wstring> expected{L"main_section"};
    expected.insert(expected.end(), sections.begin(), sections.end());
    EXPECT_EQ(ini.SectionNames(), expected);
}

TEST_F(IniFileTest, ReadsStringsAndDefaults) {
    const std::wstring path = folder.File(L"sample.ini");
    WriteText(path, SampleRecord);
    const TIniFile ini(path);
    const TIniFile missing_file(folder.File(L"absent.ini"));
    struct Case {
        const TIniFile* file;
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* default_value;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {&ini, L"main_section", L"u_path", L"-", L"C:\\kalvo\\kalvo.exe"},
        {&ini, L"MAIN_SECTION", L"U_PATH", L"-", L"C:\\kalvo\\kalvo.exe"},
        {&ini, L"main_section", L"u_quoted", L"-", L"  spaced  "},
        {&ini, L"main_section", L"u_empty", L"fallback", L""},
        {&ini, L"main_section", L"u_absent", L"fallback", L"fallback"},
        {&ini, L"main_section", L"u_absent", L"", L""},
        {&ini, L"absent_section", L"u_path", L"fallback", L"fallback"},
        {&missing_file, L"main_section", L"u_path", L"fallback", L"fallback"},
        {&missing_file, L"main_section", L"u_path", L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.file->ReadString(c.section, c.key, c.default_value), c.expected)
            << test::Utf8(c.section) << "/" << test::Utf8(c.key);
}

TEST_F(IniFileTest, ReadsIntegersOnlyFromWholeDecimalNumbers) {
    const std::wstring path = folder.File(L"sample.ini");
    WriteText(path, SampleRecord);
    const TIniFile ini(path);
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        int expected;
    };
    const Case cases[] = {
        {L"main_section", L"u_ico", 1},     {L"numbers", L"negative", -7},
        {L"numbers", L"largest", INT_MAX},  {L"numbers", L"smallest", INT_MIN},
        {L"numbers", L"plus", 5},           {L"numbers", L"spaced", 42},
        {L"numbers", L"trailing", 99},      {L"numbers", L"hex", 99},
        {L"numbers", L"too_big", 99},       {L"numbers", L"plus_minus", 99},
        {L"numbers", L"word", 99},          {L"main_section", L"u_empty", 99},
        {L"main_section", L"u_absent", 99}, {L"absent_section", L"u_ico", 99},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadInteger(c.section, c.key, 99), c.expected) << test::Utf8(c.key);
    EXPECT_EQ(TIniFile(folder.File(L"absent.ini")).ReadInteger(L"main_section", L"u_ico", 0), 0);
}

TEST_F(IniFileTest, TellsWhichSectionsAndValuesExist) {
    const std::wstring path = folder.File(L"sample.ini");
    WriteText(path, SampleRecord + std::string("[empty]\r\n"));
    const TIniFile ini(path);
    EXPECT_TRUE(ini.SectionExists(L"main_section"));
    EXPECT_TRUE(ini.SectionExists(L"NUMBERS"));
    EXPECT_TRUE(ini.SectionExists(L"empty"));
    EXPECT_FALSE(ini.SectionExists(L"main"));
    EXPECT_FALSE(ini.SectionExists(L"main_section_2"));
    EXPECT_TRUE(ini.ValueExists(L"main_section", L"u_path"));
    EXPECT_TRUE(ini.ValueExists(L"main_section", L"U_ICO"));
    EXPECT_TRUE(ini.ValueExists(L"main_section", L"u_empty")) << "present with an empty value";
    EXPECT_FALSE(ini.ValueExists(L"main_section", L"u_ic"));
    EXPECT_FALSE(ini.ValueExists(L"main_section", L"negative")) << "belongs to another section";
    EXPECT_FALSE(ini.ValueExists(L"empty", L"u_path"));
    EXPECT_FALSE(ini.ValueExists(L"absent_section", L"u_path"));
    EXPECT_EQ(ini.KeyNames(L"main_section"),
              (std::vector<std::wstring>{L"u_path", L"u_quoted", L"u_empty", L"u_ico"}));

    const TIniFile missing(folder.File(L"absent.ini"));
    EXPECT_FALSE(missing.SectionExists(L"main_section"));
    EXPECT_FALSE(missing.ValueExists(L"main_section", L"u_path"));
    EXPECT_TRUE(missing.SectionNames().empty());
}

TEST_F(IniFileTest, AWriteThatFailsNamesTheFile) {
    const std::wstring path = folder.File(L"no such folder\\uninstall.ini");
    TIniFile ini(path);
    try {
        ini.WriteString(L"main_section", L"u_path", L"C:\\kalvo\\kalvo.exe");
        FAIL() << "the write into a missing folder succeeded";
    } catch (const EIniFileError& error) {
        EXPECT_EQ(error.FileName(), path);
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + test::Utf8(path));
    }
    EXPECT_THROW(ini.WriteInteger(L"main_section", L"u_ico", 1), EIniFileError);
    EXPECT_FALSE(test::FileExists(path));
}

} // namespace
} // namespace kalvo
