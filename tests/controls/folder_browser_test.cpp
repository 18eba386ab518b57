#include "controls/folder_browser.h"
#include "platform_test_support.h"
#include "tests/framework/support/framework_fixture.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace kalvo {
namespace {

using FolderBrowserTest = test::FrameworkTest;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring PathOf(const ITEMIDLIST* list) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list, path))
        return L"<no path>";
    return path;
}

TEST_F(FolderBrowserTest, RootNamesStandForSpecialFolders) {
    const std::pair<const wchar_t*, int> names[] = {
        {L"rfDesktop", 0},
        {L"rfMyComputer", 17},
        {L"rfNetwork", 18},
        {L"rfRecycleBin", 10},
        {L"rfAppData", 26},
        {L"rfCommonDesktopDirectory", 25},
        {L"rfCommonPrograms", 23},
        {L"rfCommonStartMenu", 22},
        {L"rfCommonStartup", 24},
        {L"rfControlPanel", 3},
        {L"rfDesktopDirectory", 16},
        {L"rfFavorites", 6},
        {L"rfFonts", 20},
        {L"rfInternet", 1},
        {L"rfPersonal", 5},
        {L"rfPrinters", 4},
        {L"rfPrintHood", 27},
        {L"rfPrograms", 2},
        {L"rfRecent", 8},
        {L"rfSendTo", 9},
        {L"rfStartMenu", 11},
        {L"rfStartup", 7},
        {L"rfTemplates", 21},
    };
    for (const auto& [name, csidl] : names)
        EXPECT_EQ(RootFolderCsidl(name), csidl);
    for (const wchar_t* other : {L"", L"rfdesktop", L"rfDesktop ", L"C:\\", L"Desktop"})
        EXPECT_EQ(RootFolderCsidl(other), std::nullopt);
}

// Roots resolve to the shell's folders; a folder the shell does not know is an error.
TEST_F(FolderBrowserTest, RootsResolveOrFail) {
    const test::TTempFolder folder;
    EXPECT_NE(RootFolderIdList(L"rfDesktop"), nullptr);
    EXPECT_TRUE(SamePath(PathOf(RootFolderIdList(folder.Path()).get()), folder.Path()));
    EXPECT_TRUE(SamePath(PathOf(RootFolderIdList(L"C:").get()), L"C:\\"));
    for (const wchar_t* bad : {L"", L"C:\\No\\Such\\Folder\\Anywhere"}) {
        try {
            RootFolderIdList(bad);
            ADD_FAILURE() << "resolved a root that does not exist";
        } catch (const std::runtime_error& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("Error Setting Path"))
                << error.what();
        }
    }
    // The browser does not open for such a root.
    EXPECT_THROW(ShowFolderBrowser({nullptr, L"C:\\No\\Such\\Folder\\Anywhere", L""}),
                 std::runtime_error);
}

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Presses a button of the browser once it shows (from the browser's own message loop).
void PressWhenShown(int command, int tries = 200) {
    test::RunLater(50, [=] {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, LPARAM(&dialog));
        if (dialog)
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                         LPARAM(GetDlgItem(dialog, command)));
        else if (tries > 0)
            PressWhenShown(command, tries - 1);
    });
}

// The system's browser opens at the requested folder; OK answers it, Cancel nothing.
TEST_F(FolderBrowserTest, SystemBrowserAnswersTheSelectedFolder) {
    const test::TTempFolder folder;
    PressWhenShown(IDCANCEL);
    EXPECT_EQ(ShowFolderBrowser({nullptr, L"rfDesktop", folder.Path()}), std::nullopt);
    PressWhenShown(IDOK);
    const std::optional<std::wstring> chosen =
        ShowFolderBrowser({nullptr, L"rfDesktop", folder.Path()});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_TRUE(SamePath(*chosen, folder.Path())) << std::string(chosen->begin(), chosen->end());
}

} // namespace
} // namespace kalvo
