#include "app/framework/platform/shell_link.h"
#include "platform_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <objbase.h>

namespace kalvo {
namespace {

class ShellLinkTest : public ::testing::Test {
protected:
    test::TTempFolder folder;
};

TEST_F(ShellLinkTest, SavesTargetAndDescriptionAndNothingElse) {
    const std::wstring accented = L"Click here to start Kalvo.Net \u00e0 la caf\u00e9";
    struct Case {
        std::string target;
        std::wstring description;
    };
    std::vector<Case> cases{
        {test::ToAnsi(test::FixtureProgram()), L"Click here to start Kalvo.Net"},
        // The installer writes the link once the target exists, but a missing target is
        // still a valid link.
        {"C:\\Program Files\\kalvo\\kalvo.exe", L"Click here to start Kalvo.Net"},
        {"C:\\Program Files\\kalvo\\kalvo.exe", L""},
    };
    if (test::AnsiCanHold(accented))
        cases.push_back({"C:\\Program Files\\kalvo\\kalvo.exe", accented});
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target + " / " + test::Utf8(c.description));
        const std::wstring link = folder.File(L"Kalvo.Net " + std::to_wstring(++number) + L".lnk");
        ASSERT_TRUE(CreateShellLink(c.target, test::ToAnsi(c.description), link));
        ASSERT_TRUE(test::FileExists(link));
        const std::optional<TShellLinkInfo> info = ReadShellLink(link);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->path, test::FromAnsi(c.target));
        EXPECT_EQ(info->description, c.description);
        EXPECT_EQ(info->arguments, L"");
        EXPECT_EQ(info->working_directory, L"");
        EXPECT_EQ(info->icon_location, L"");
        EXPECT_EQ(info->icon_index, 0);
        EXPECT_EQ(info->show_command, SW_SHOWNORMAL);
        EXPECT_EQ(info->hotkey, 0);
    }
}

TEST_F(ShellLinkTest, ReplacesAnExistingLink) {
    const std::wstring link = folder.File(L"Kalvo.Net.lnk");
    ASSERT_TRUE(CreateShellLink("C:\\old\\kalvo.exe", "Old", link));
    ASSERT_TRUE(CreateShellLink("C:\\new\\kalvo.exe", "New", link));
    const std::optional<TShellLinkInfo> info = ReadShellLink(link);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->path, L"C:\\new\\kalvo.exe");
    EXPECT_EQ(info->description, L"New");
}

TEST_F(ShellLinkTest, ReportsASaveThatFails) {
    const std::wstring link = folder.File(L"no such folder\\Kalvo.Net.lnk");
    EXPECT_FALSE(CreateShellLink("C:\\kalvo\\kalvo.exe", "Click here to start Kalvo.Net", link));
    EXPECT_FALSE(test::FileExists(link));
}

TEST_F(ShellLinkTest, ReadingSomethingElseGivesNothing) {
    const std::wstring text = folder.File(L"not a link.lnk");
    std::ofstream(std::filesystem::path(text)) << "plain text, not a shell link\n";
    EXPECT_FALSE(ReadShellLink(text).has_value());
    EXPECT_FALSE(ReadShellLink(folder.File(L"absent.lnk")).has_value());
}

TEST_F(ShellLinkTest, LeavesTheThreadsComStateAsItFoundIt) {
    // A thread that had no COM: after the call, CoInitialize starts it afresh (S_OK), which
    // it would not (S_FALSE) had the call left it initialised.
    const std::wstring link = folder.File(L"Kalvo.Net.lnk");
    ASSERT_TRUE(CreateShellLink("C:\\kalvo\\kalvo.exe", "Kalvo", link));
    ASSERT_TRUE(ReadShellLink(link).has_value());
    const HRESULT fresh = CoInitialize(nullptr);
    EXPECT_EQ(fresh, S_OK);
    // Inside a caller's apartment the calls still work and leave it in place.
    ASSERT_TRUE(CreateShellLink("C:\\kalvo\\kalvo.exe", "Kalvo", link));
    EXPECT_TRUE(ReadShellLink(link).has_value());
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "the caller's apartment is still there";
    CoUninitialize();
    if (SUCCEEDED(fresh))
        CoUninitialize();
}

} // namespace
} // namespace kalvo
