#include "app/framework/platform/ini_file.h"
#include "platform_test_support.h"
#include "setup/installation_record_win32.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kalvo {
namespace {

TEST(InstallationRecordTest, ReadsPathsAndTakesTheShortcutOnlyWithItsFlag) {
    struct Case {
        const char* text;
        TInstallationRecord expected;
    };
    const Case cases[] = {
        {"[main_section]\r\nu_path=C:\\Kalvo\\kalvo.exe\r\nu_group=Kalvo Net\r\nu_ico=1\r\n"
         "u_ico_path=C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk\r\n",
         {L"C:\\Kalvo\\kalvo.exe", L"Kalvo Net", L"C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk"}},
        // A real path without the flag: no shortcut all the same.
        {"[main_section]\r\nu_path=C:\\Kalvo\\kalvo.exe\r\nu_group=Kalvo\r\nu_ico=0\r\n"
         "u_ico_path=C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk\r\n",
         {L"C:\\Kalvo\\kalvo.exe", L"Kalvo", L"..."}},
        {"[main_section]\r\nu_path=C:\\Kalvo\\kalvo.exe\r\nu_ico=2\r\nu_ico_path=D:\\x.lnk\r\n",
         {L"C:\\Kalvo\\kalvo.exe", L"", L"..."}},
        // Missing keys read as "" and 0.
        {"[main_section]\r\nu_ico_path=D:\\x.lnk\r\n", {L"", L"", L"..."}},
        {"[other_section]\r\nu_path=C:\\Kalvo\\kalvo.exe\r\n", {L"", L"", L"..."}},
        {"", {L"", L"", L"..."}},
    };
    test::TTempFolder folder;
    const std::wstring path = folder.File(L"uninstall.ini");
    for (const Case& c : cases) {
        {
            std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
            file << c.text;
        }
        const TInstallationRecord record = read_installation_record(path);
        EXPECT_EQ(record.ClientPath, c.expected.ClientPath) << c.text;
        EXPECT_EQ(record.GroupName, c.expected.GroupName) << c.text;
        EXPECT_EQ(record.ShortcutPath, c.expected.ShortcutPath) << c.text;
    }
}

std::string ReadText(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(InstallationRecordTest, WritesTheFourKeysInOrderAndReadsThemBack) {
    test::TTempFolder folder;
    const std::wstring path = folder.File(L"uninstall.ini");
    const TInstallationRecord record{L"C:\\Program Files\\Kalvo Net\\kalvo.exe", L"Kalvo Tools",
                                     L"C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk"};
    write_installation_record(path, record, true);
    EXPECT_EQ(ReadText(path),
              "[main_section]\r\nu_path=C:\\Program Files\\Kalvo Net\\kalvo.exe\r\n"
              "u_group=Kalvo Tools\r\nu_ico=1\r\nu_ico_path=C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk\r\n");
    const TInstallationRecord back = read_installation_record(path);
    EXPECT_EQ(back.ClientPath, record.ClientPath);
    EXPECT_EQ(back.GroupName, record.GroupName);
    EXPECT_EQ(back.ShortcutPath, record.ShortcutPath);

    // Written again over the same file, without a shortcut: the keys keep their places.
    write_installation_record(path, record, false);
    EXPECT_EQ(ReadText(path),
              "[main_section]\r\nu_path=C:\\Program Files\\Kalvo Net\\kalvo.exe\r\n"
              "u_group=Kalvo Tools\r\nu_ico=0\r\nu_ico_path=...\r\n");
    EXPECT_EQ(read_installation_record(path).ShortcutPath, L"...");
}

TEST(InstallationRecordTest, ARecordThatCannotBeWrittenNamesItsFile) {
    test::TTempFolder folder;
    // A folder where the file belongs.
    const std::wstring path = folder.File(L"uninstall.ini");
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    try {
        write_installation_record(path, {L"C:\\k\\kalvo.exe", L"Kalvo", L"..."}, false);
        FAIL() << "the record was written into a folder";
    } catch (const EIniFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + test::Utf8(path));
    }
}

} // namespace
} // namespace kalvo
