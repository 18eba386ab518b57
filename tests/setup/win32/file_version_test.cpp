#include "app/framework/platform/version_info.h"
#include "platform_test_support.h"
#include "setup/file_version_win32.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace kalvo {
namespace {

std::wstring Probe(const std::wstring& variant) {
    return test::ProgramFolder() + L"\\kalvo_probe_" + variant + L".exe";
}

TEST(FileVersionTest, ReadsTheFileVersionTextOfTheFirstTranslation) {
    test::TTempFolder folder;
    const std::wstring text_file = folder.File(L"readme.txt");
    std::ofstream(std::filesystem::path(text_file)) << "Kalvo.Net 1.1.0.4\nnot a program\n";
    const std::wstring text_named_as_program = folder.File(L"kalvo.exe");
    std::ofstream(std::filesystem::path(text_named_as_program)) << "MZ but nothing more\n";

    struct Case {
        const char* what;
        std::wstring path;
        std::wstring expected;
        bool must_exist;
    };
    const Case cases[] = {
        {"1.1.0.4", Probe(L"1104"), L"1.1.0.4", true},
        {"1.1.0.5", Probe(L"1105"), L"1.1.0.5", true},
        {"1.2.0.0", Probe(L"1200"), L"1.2.0.0", true},
        {"1.0.0.0", Probe(L"1000"), L"1.0.0.0", true},
        {"commas and spaces, as stored", Probe(L"commas"), L"1, 1, 0, 4", true},
        {"a part above 255", Probe(L"260"), L"1.1.0.260", true},
        {"Russian translation only (041904E3)", Probe(L"russian"), L"2.0.1.7", true},
        {"FileVersion present but empty", Probe(L"empty"), L"", true},
        {"first translation has no string table", Probe(L"second_translation"), L"", true},
        {"no version resource", Probe(L"noversion"), L"", true},
        {"missing file", folder.File(L"absent.exe"), L"", false},
        {"text file", text_file, L"", true},
        {"text file named .exe", text_named_as_program, L"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A probe that was not built would also give "", so the file must be there.
        EXPECT_EQ(test::FileExists(c.path), c.must_exist) << test::Utf8(c.path);
        EXPECT_EQ(get_file_version(c.path), c.expected) << test::Utf8(c.path);
    }
}

// The probe for the second-translation case does carry an English table: only the choice of
// the first translation makes its answer "".
TEST(FileVersionTest, SecondTranslationProbeHasAnEnglishTableThatIsNotUsed) {
    const std::optional<TFileVersionInfo> info =
        TFileVersionInfo::Read(Probe(L"second_translation"));
    ASSERT_TRUE(info.has_value());
    const std::vector<TVersionTranslation> expected{{0x0407, 1252}, {0x0409, 1252}};
    EXPECT_EQ(info->Translations(), expected);
    EXPECT_EQ(info->StringValue(L"040904E4", L"FileVersion"), L"1.1.0.4");
    EXPECT_EQ(get_file_version(Probe(L"second_translation")), L"");
}

// Likewise the empty case: the value is there, with no text.
TEST(FileVersionTest, EmptyProbeStoresAnEmptyFileVersion) {
    const std::optional<TFileVersionInfo> info = TFileVersionInfo::Read(Probe(L"empty"));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->StringValue(L"040904E4", L"FileVersion"), L"");
    EXPECT_EQ(info->StringValue(L"040904E4", L"ProductName"), L"Kalvo.Net");
}

TEST(FileVersionTest, ProbeNumbersMatchTheirText) {
    struct Case {
        const wchar_t* variant;
        std::array<std::uint16_t, 4> numbers;
    };
    const Case cases[] = {
        {L"1104", {1, 1, 0, 4}}, {L"1105", {1, 1, 0, 5}},  {L"1200", {1, 2, 0, 0}},
        {L"1000", {1, 0, 0, 0}}, {L"260", {1, 1, 0, 260}}, {L"russian", {2, 0, 1, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::Utf8(c.variant));
        const std::optional<TFileVersionInfo> info = TFileVersionInfo::Read(Probe(c.variant));
        ASSERT_TRUE(info.has_value());
        const std::optional<TFixedFileInfo> fixed = info->FixedInfo();
        ASSERT_TRUE(fixed.has_value());
        EXPECT_EQ(fixed->file_version, c.numbers);
    }
}

} // namespace
} // namespace kalvo
