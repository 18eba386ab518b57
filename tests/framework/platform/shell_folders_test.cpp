#include "app/framework/platform/shell_folders.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace kalvo {
namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(SpecialFoldersTest, ResolvesFileSystemFolders) {
    struct Case {
        int csidl;
        const wchar_t* ending;
    };
    const Case cases[] = {
        {16, L"\\Desktop"}, // CSIDL_DESKTOPDIRECTORY, where the installer puts its shortcut
        {CSIDL_PROGRAMS, L"\\Start Menu\\Programs"},
    };
    for (const Case& c : cases) {
        for (HWND owner : {HWND(nullptr), GetDesktopWindow()}) {
            const std::wstring path = SpecialFolderPath(owner, c.csidl);
            SCOPED_TRACE("CSIDL " + std::to_string(c.csidl) + ": " + test::Utf8(path));
            EXPECT_TRUE(EndsWith(path, c.ending));
            EXPECT_EQ(path.find(L'\0'), std::wstring::npos);
            EXPECT_TRUE(test::FolderExists(path));
            EXPECT_EQ(path.rfind(L"C:\\", 0), 0u);
        }
    }
}

TEST(SpecialFoldersTest, FoldersWithoutAPathGiveNothing) {
    // My Computer and the printers are shell folders without a file-system path; 0x7E is no
    // special folder at all.
    struct Case {
        int csidl;
        bool wine_differs;
    };
    const Case cases[] = {
        {CSIDL_DRIVES, false},
        // Wine's SHGetPathFromIDListW succeeds for the printers folder and gives its parsing
        // name "::{20d04fe0-...}\\::{2227a280-...}"; Windows fails for it.
        {CSIDL_PRINTERS, true},
        {0x7E, false},
    };
    for (const Case& c : cases) {
        if (c.wine_differs && test::RunningUnderWine())
            continue;
        EXPECT_EQ(SpecialFolderPath(nullptr, c.csidl), L"") << "CSIDL " << c.csidl;
    }
}

} // namespace
} // namespace kalvo
