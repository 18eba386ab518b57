#include "setup/version.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

std::string Show(const TVersionBytes& v) {
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

TEST(ExtractVersionBytesTest, ParsesFieldsAndKeepsWhatConvertedBeforeAFailure) {
    struct Case {
        const wchar_t* text;
        bool ok;
        TVersionBytes expected; // starting from four zero bytes
    };
    const Case cases[] = {
        {L"1.1.0.4", true, {1, 1, 0, 4}},
        {L"1.1.0.260", true, {1, 1, 0, 4}},    // the low 8 bits
        {L"256.257.0.4", true, {0, 1, 0, 4}},
        {L"-1.1.0.4", true, {255, 1, 0, 4}},
        {L"01.002.0.4", true, {1, 2, 0, 4}},
        {L"1, 1, 0, 4", false, {0, 0, 0, 0}},  // no dots: nothing converts
        {L"1.1.0", false, {0, 0, 0, 0}},       // only two dots
        {L"", false, {0, 0, 0, 0}},
        {L"1.x.0.4", false, {1, 0, 0, 0}},     // fields before the bad one keep their values
        {L"1.1.0.4.7", false, {1, 1, 0, 0}},   // the fourth field is "4.7"
        {L"1.1.0.", false, {1, 1, 0, 0}},
        {L"1.1.0.4 ", false, {1, 1, 0, 0}},
        {L"1.1.3.99999999999", false, {1, 1, 3, 0}},
        {L"1.1.0.4beta", false, {1, 1, 0, 0}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        TVersionBytes version{};
        EXPECT_EQ(extract_version_bytes(cases[i].text, version), cases[i].ok) << "case " << i;
        EXPECT_EQ(Show(version), Show(cases[i].expected)) << "case " << i;
    }
}

TEST(ExtractVersionBytesTest, LeavesFieldsAfterAFailureAsTheCallerHadThem) {
    TVersionBytes version{9, 9, 9, 9};
    EXPECT_FALSE(extract_version_bytes(L"7.y.1.1", version));
    EXPECT_EQ(Show(version), "7.9.9.9");
}

TEST(UpdatePossibleTest, ComparesBytesFromTheFirstWithEqualCountingAsPossible) {
    struct Case {
        TVersionBytes installed;
        bool possible;
    };
    const Case cases[] = {
        {{1, 1, 0, 4}, true},   {{1, 1, 0, 3}, true},  {{1, 0, 255, 255}, true},
        {{0, 0, 0, 0}, true},   {{1, 1, 0, 5}, false}, {{1, 2, 0, 0}, false},
        {{2, 0, 0, 0}, false},  {{1, 1, 0, 200}, false}, // bytes compare unsigned
    };
    for (const Case& c : cases)
        EXPECT_EQ(UpdatePossible(AvailableVersion, c.installed), c.possible) << Show(c.installed);
}

TEST(VersionTest, FormatsTheAvailableVersion) {
    EXPECT_EQ(FormatVersion(AvailableVersion), L"1.1.0.4");
    EXPECT_EQ(FormatVersion({255, 0, 10, 200}), L"255.0.10.200");
}

} // namespace
} // namespace kalvo
