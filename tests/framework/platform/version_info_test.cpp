#include "app/framework/platform/version_info.h"
#include "platform_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(VersionInfoTest, FormatsTranslationKeysLanguageFirst) {
    struct Case {
        TVersionTranslation translation;
        const wchar_t* key;
    };
    const Case cases[] = {
        {{0x0409, 1252}, L"040904E4"},   {{0x0419, 1251}, L"041904E3"},
        {{0x0C0A, 0x04B0}, L"0C0A04B0"}, {{0, 0}, L"00000000"},
        {{0xFFFF, 0xFFFF}, L"FFFFFFFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslationKey(c.translation), c.key) << test::Utf8(c.key);
}

// The fixture program carries FILEVERSION 1,1,0,4 with an English and a Russian string
// table, and lists a German translation that has none.
class VersionResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        info = TFileVersionInfo::Read(test::FixtureProgram());
        ASSERT_TRUE(info.has_value())
            << "no version resource in " << test::Utf8(test::FixtureProgram());
    }
    std::optional<TFileVersionInfo> info;
};

TEST_F(VersionResourceTest, ListsTheTranslationsInStoredOrder) {
    const std::vector<TVersionTranslation> expected{{0x0409, 1252}, {0x0419, 1251}, {0x0407, 1252}};
    ASSERT_EQ(info->Translations(), expected);
    EXPECT_EQ(TranslationKey(info->Translations().front()), L"040904E4");
}

TEST_F(VersionResourceTest, ReadsStringValues) {
    struct Case {
        const wchar_t* table;
        const wchar_t* name;
        std::optional<std::wstring> expected;
    };
    const Case cases[] = {
        {L"040904E4", L"FileVersion", L"1.1.0.4"},
        {L"040904E4", L"ProductName", L"Kalvo.Net"},
        {L"040904E4", L"Comments", L""},
        {L"041904E3", L"ProductName", L"\u041a\u0430\u043b\u0432\u043e.Net"},
        {L"041904E3", L"FileVersion", L"1.1.0.4"},
        {L"040904E4", L"CompanyName", std::nullopt},
        {L"040904E4", L"FileVer", std::nullopt},
        {L"040704E4", L"FileVersion", std::nullopt}, // translation listed, no table
        {L"040904B0", L"FileVersion", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(info->StringValue(c.table, c.name), c.expected)
            << test::Utf8(c.table) << "\\" << test::Utf8(c.name);
    EXPECT_EQ(info->StringValue(TVersionTranslation{0x0409, 1252}, L"FileVersion"), L"1.1.0.4");
}

TEST_F(VersionResourceTest, ReadsTheFixedNumbers) {
    const std::optional<TFixedFileInfo> fixed = info->FixedInfo();
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->file_version, (std::array<std::uint16_t, 4>{1, 1, 0, 4}));
    EXPECT_EQ(fixed->product_version, (std::array<std::uint16_t, 4>{1, 1, 0, 0}));
    EXPECT_EQ(fixed->file_flags_mask, 0x3Fu);
    EXPECT_EQ(fixed->file_flags, 0u);
    EXPECT_EQ(fixed->file_os, 0x40004u); // VOS_NT_WINDOWS32
    EXPECT_EQ(fixed->file_type, 1u);     // VFT_APP
    EXPECT_EQ(fixed->file_subtype, 0u);
}

TEST(VersionInfoTest, FilesWithoutAVersionResourceHaveNone) {
    test::TTempFolder folder;
    const std::wstring text_file = folder.File(L"kalvo.exe");
    std::ofstream(std::filesystem::path(text_file)) << "not a program\n";
    wchar_t own_path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own_path, MAX_PATH);
    // The test program itself is built without a version resource.
    EXPECT_FALSE(TFileVersionInfo::Read(own_path).has_value());
    EXPECT_FALSE(TFileVersionInfo::Read(text_file).has_value());
    EXPECT_FALSE(TFileVersionInfo::Read(folder.File(L"absent.exe")).has_value());
}

} // namespace
} // namespace kalvo
