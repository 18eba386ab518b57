#include "platform_test_support.h"
#include "setup/folders_win32.h"
#include "setup/shell_integration_win32.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <vector>

namespace kalvo {
namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ForceDirectoriesTest, MakesEveryMissingFolderOnThePath) {
    test::TTempFolder folder;
    const std::wstring deep = folder.File(L"Kalvo Net\\outputlocal\\pools\\");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(IsFolder(folder.File(L"Kalvo Net\\outputlocal\\pools")));
    // Already there, with or without the closing backslash.
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(ForceDirectories(folder.File(L"Kalvo Net")));
    EXPECT_TRUE(ForceDirectories(folder.Path().substr(0, 2))); // the drive itself
}

TEST(ForceDirectoriesTest, FailsWhereAFileOrNothingCanHoldTheFolder) {
    test::TTempFolder folder;
    std::ofstream(std::filesystem::path(folder.File(L"taken"))) << "a file";
    struct Case {
        std::wstring path;
    };
    const Case cases[] = {
        {folder.File(L"taken")},                 // a file of that name
        {folder.File(L"taken\\search\\sec1\\")}, // a file where a parent belongs
        {L""},
        {L"\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::Utf8(c.path));
        EXPECT_FALSE(ForceDirectories(c.path));
    }
    EXPECT_FALSE(IsFolder(folder.File(L"taken\\search")));
}

TEST(DesktopShortcutPathTest, JoinsTheFolderAndTheFileName) {
    EXPECT_EQ(desktop_shortcut_path(L"C:\\Users\\Ann\\Desktop"),
              L"C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk");
    EXPECT_EQ(desktop_shortcut_path(L"D:\\"), L"D:\\Kalvo.Net.lnk");
    // A desktop that could not be resolved leaves the bare name.
    EXPECT_EQ(desktop_shortcut_path(L""), L"Kalvo.Net.lnk");
}

TEST(DesktopShortcutPathTest, OnlyTheShortcutsOwnNameIsTakenForIt) {
    EXPECT_TRUE(is_desktop_shortcut_name(L"C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk"));
    EXPECT_TRUE(is_desktop_shortcut_name(L"D:\\desk\\KALVO.NET.LNK"));
    EXPECT_TRUE(is_desktop_shortcut_name(L"Kalvo.Net.lnk"));
    EXPECT_FALSE(is_desktop_shortcut_name(L"C:\\Users\\Ann\\Documents\\thesis.doc"));
    EXPECT_FALSE(is_desktop_shortcut_name(L"C:\\Users\\Ann\\Desktop\\Kalvo.Net.lnk.txt"));
    EXPECT_FALSE(is_desktop_shortcut_name(L"..."));
}

TEST(DesktopShortcutPathTest, TheDesktopFolderResolves) {
    const std::wstring desktop = get_special_folder(nullptr, CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(desktop.empty());
    EXPECT_TRUE(IsFolder(desktop)) << test::Utf8(desktop);
}

TEST(DeleteTreeTest, RemovesEverythingWhateverItsAttributes) {
    test::TTempFolder folder;
    const std::wstring tree = folder.File(L"search");
    ASSERT_TRUE(ForceDirectories(tree + L"\\sec1\\deep"));
    std::ofstream(std::filesystem::path(tree + L"\\plain.txt")) << "a";
    std::ofstream(std::filesystem::path(tree + L"\\sec1\\locked.txt")) << "b";
    std::ofstream(std::filesystem::path(tree + L"\\sec1\\deep\\hidden.txt")) << "c";
    SetFileAttributesW((tree + L"\\sec1\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((tree + L"\\sec1\\deep\\hidden.txt").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // A folder with more attributes than the folder one counts as a folder.
    SetFileAttributesW((tree + L"\\sec1").c_str(),
                       FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    std::vector<std::wstring> not_deleted;
    delete_tree(tree, [&](const std::wstring& file) { not_deleted.push_back(file); });
    EXPECT_TRUE(not_deleted.empty());
    EXPECT_FALSE(IsFolder(tree));
    // A folder that is not there: nothing to report.
    delete_tree(tree, [&](const std::wstring& file) { not_deleted.push_back(file); });
    EXPECT_TRUE(not_deleted.empty());
}

TEST(DeleteTreeTest, NamesAFileItCannotDeleteAndGoesOn) {
    test::TTempFolder folder;
    const std::wstring tree = folder.File(L"media");
    ASSERT_TRUE(ForceDirectories(tree + L"\\held"));
    const std::wstring held_file = tree + L"\\held\\media1.avi";
    std::ofstream(std::filesystem::path(held_file)) << "video";
    std::ofstream(std::filesystem::path(tree + L"\\other.txt")) << "x";
    const HANDLE held = CreateFileW(held_file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> not_deleted;
    delete_tree(tree, [&](const std::wstring& file) { not_deleted.push_back(file); });
    CloseHandle(held);
    EXPECT_EQ(not_deleted, std::vector<std::wstring>{held_file});
    // Its folders stay; everything else is gone.
    EXPECT_TRUE(IsFolder(tree + L"\\held"));
    EXPECT_FALSE(test::FileExists(tree + L"\\other.txt"));
}

TEST(FolderPathTest, ClosingBackslashesGoButARootKeepsItsOwn) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Program Files\\kalvo\\", L"C:\\Program Files\\kalvo"},
        {L"C:\\kalvo\\\\", L"C:\\kalvo"},
        {L"C:\\kalvo", L"C:\\kalvo"},
        {L"E:\\", L"E:\\"},
        {L"\\", L"\\"},
        {L"", L""},
    };
    for (const auto& [path, trimmed] : cases)
        EXPECT_EQ(WithoutClosingBackslash(path), trimmed) << path;
}

// Where a folder really lies: itself for a plain folder, nothing for one that does not exist.
TEST(FolderPathTest, TheFinalPathOfAPlainFolderIsItself) {
    test::TTempFolder folder;
    const std::wstring plain = LongPathName(folder.File(L"plain"));
    ASSERT_TRUE(plain.empty());
    ASSERT_TRUE(ForceDirectories(folder.File(L"plain")));
    const std::wstring expected = LongPathName(folder.File(L"plain"));
    const std::wstring final_path = FinalPathName(folder.File(L"plain"));
    EXPECT_EQ(CompareStringOrdinal(final_path.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL)
        << "final " << test::Utf8(final_path) << ", expected " << test::Utf8(expected);
    EXPECT_EQ(FinalPathName(folder.File(L"missing")), L"");
}

} // namespace
} // namespace kalvo
