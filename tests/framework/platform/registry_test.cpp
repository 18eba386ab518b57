#include "app/framework/platform/registry.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kalvo {
namespace {

const wchar_t CurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

TEST(RegistryTest, ReadsTheProgramFilesFolder) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(HKEY_LOCAL_MACHINE, CurrentVersionKey));
    const std::optional<std::wstring> folder = registry.ReadString(L"ProgramFilesDir");
    ASSERT_TRUE(folder.has_value());
    // A 64-bit program sees the 64-bit view: "C:\Program Files" on Windows and under Wine.
    EXPECT_EQ(*folder, L"C:\\Program Files");
    EXPECT_TRUE(test::FolderExists(*folder));
    EXPECT_FALSE(registry.ReadString(L"KalvoNoSuchValue").has_value());
}

TEST(RegistryTest, AMissingKeyIsNotCreated) {
    const std::wstring path = L"Software\\KalvoNoSuchKey_" + std::to_wstring(GetCurrentProcessId());
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKeyReadOnly(HKEY_CURRENT_USER, path));
    EXPECT_FALSE(registry.IsOpen());
    EXPECT_FALSE(registry.ReadString(L"").has_value());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

// Values of every shape, written as raw bytes into a key of the test's own.
class RegistryValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key)
            RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    }
    void Set(const wchar_t* name, DWORD type, const void* data, size_t bytes) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), DWORD(bytes)),
                  ERROR_SUCCESS);
    }
    void SetText(const wchar_t* name, DWORD type, const std::wstring& text, size_t bytes) {
        Set(name, type, text.c_str(), bytes);
    }

    const std::wstring path =
        L"Software\\KalvoPlatformTest_" + std::to_wstring(GetCurrentProcessId());
    HKEY key = nullptr;
};

TEST_F(RegistryValuesTest, ReadsStringValuesOfEveryShape) {
    const std::wstring long_text(5000, L'x');
    const DWORD number = 7;
    const BYTE binary[] = {'a', 0, 'b', 0, 0, 0};
    const wchar_t multi[] = L"one\0two\0";
    const std::wstring cyrillic = L"\u041a\u0430\u043b\u0432\u043e";
    SetText(L"plain", REG_SZ, L"alpha", 12);
    SetText(L"unterminated", REG_SZ, L"alpha", 10);
    SetText(L"expand", REG_EXPAND_SZ, L"%SystemRoot%\\kalvo", 38);
    SetText(L"empty_sz", REG_SZ, L"", 0);
    SetText(L"only_zero", REG_SZ, L"", 2);
    SetText(L"odd_size", REG_SZ, L"abc", 5);
    SetText(L"embedded_zero", REG_SZ, std::wstring(L"ab\0cd", 5), 12);
    SetText(L"long", REG_SZ, long_text, (long_text.size() + 1) * 2);
    SetText(L"cyrillic", REG_SZ, cyrillic, (cyrillic.size() + 1) * 2);
    Set(L"dword", REG_DWORD, &number, sizeof number);
    Set(L"binary", REG_BINARY, binary, sizeof binary);
    Set(L"multi", REG_MULTI_SZ, multi, sizeof multi);
    Set(L"", REG_SZ, L"default", 16);

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(HKEY_CURRENT_USER, path));
    struct Case {
        const wchar_t* name;
        std::optional<std::wstring> expected;
    };
    const Case cases[] = {
        {L"plain", L"alpha"},      {L"unterminated", L"alpha"}, {L"expand", L"%SystemRoot%\\kalvo"},
        {L"empty_sz", L""},        {L"only_zero", L""},         {L"odd_size", L"ab"},
        {L"embedded_zero", L"ab"}, {L"long", long_text},        {L"cyrillic", cyrillic},
        {L"", L"default"},         {L"dword", std::nullopt},    {L"binary", std::nullopt},
        {L"multi", std::nullopt},  {L"absent", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(registry.ReadString(c.name), c.expected)
            << "value '" << test::Utf8(c.name) << "'";
}

TEST_F(RegistryValuesTest, OpeningAnotherKeyOrClosingLetsGoOfTheFirst) {
    SetText(L"plain", REG_SZ, L"alpha", 12);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(HKEY_CURRENT_USER, path));
    EXPECT_EQ(registry.ReadString(L"plain"), L"alpha");
    ASSERT_TRUE(registry.OpenKeyReadOnly(HKEY_LOCAL_MACHINE, CurrentVersionKey));
    EXPECT_FALSE(registry.ReadString(L"plain").has_value());
    EXPECT_FALSE(registry.OpenKeyReadOnly(HKEY_CURRENT_USER, path + L"\\absent"));
    EXPECT_FALSE(registry.IsOpen());
    EXPECT_FALSE(registry.ReadString(L"ProgramFilesDir").has_value());
    ASSERT_TRUE(registry.OpenKeyReadOnly(HKEY_CURRENT_USER, path));
    registry.CloseKey();
    EXPECT_FALSE(registry.IsOpen());
    EXPECT_FALSE(registry.ReadString(L"plain").has_value());
}

} // namespace
} // namespace kalvo
