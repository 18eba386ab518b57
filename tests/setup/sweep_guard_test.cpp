#include "setup/sweep_guard.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(SweepGuardTest, RefusesRootsRelativePathsAndShellFolders) {
    const std::vector<std::wstring> shell = {
        L"C:\\users\\ann", L"C:\\users\\ann\\Desktop", L"C:\\Program Files\\", L"C:\\windows",
        L"C:\\windows\\system32"};
    struct Case {
        const wchar_t* folder;
        bool may;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\kalvo\\", true},
        {L"C:\\Program Files\\kalvo", true},
        {L"D:\\Kalvo Net\\", true},
        {L"C:\\users\\ann\\Desktop\\kalvo\\", true}, // below a shell folder is fine
        {L"\\\\server\\share\\kalvo\\", true},
        // Roots.
        {L"C:\\", false},
        {L"c:\\\\", false},
        {L"C:", false},
        {L"\\\\server\\share\\", false},
        {L"\\\\server\\share", false},
        // Not a full path: where it points depends on the current folder.
        {L"", false},
        {L"kalvo\\", false},
        {L"\\kalvo\\", false},
        {L"C:kalvo\\", false},
        // The shell folders themselves, whatever the case and closing backslashes.
        {L"C:\\users\\ann\\", false},
        {L"c:\\USERS\\Ann", false},
        {L"C:\\users\\ann\\Desktop\\", false},
        {L"C:\\Program Files", false},
        {L"C:\\Windows\\System32\\", false},
        {L"C:/windows/", false},
        // A folder that holds a shell folder holds what the user keeps there.
        {L"C:\\users\\", false},
        {L"C:\\USERS", false},
        // Extended-length and device paths reach any folder.
        {L"\\\\?\\C:\\windows\\", false},
        {L"\\\\?\\C:\\Program Files\\kalvo\\", false},
        {L"\\\\.\\C:\\users\\ann\\", false},
        // Only whole names count: a longer name beside a shell folder is another folder.
        {L"C:\\users\\anne\\", true},
        {L"C:\\windows2\\", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "folder \"" << c.folder << "\"");
        EXPECT_EQ(may_sweep(c.folder, shell), c.may);
    }
}

// The Windows folder is closed as a whole: nothing inside it may be emptied, while a shell
// folder only guards itself and what lies above it.
TEST(SweepGuardTest, RefusesEverythingInsideAClosedFolder) {
    const std::vector<std::wstring> shell = {L"C:\\users\\ann\\AppData\\Roaming"};
    const std::vector<std::wstring> closed = {L"C:\\windows\\"};
    struct Case {
        const wchar_t* folder;
        bool may;
    };
    const Case cases[] = {
        {L"C:\\windows", false},
        {L"C:\\Windows\\Temp\\kalvo\\", false},
        {L"c:/WINDOWS/fonts/x", false},
        {L"C:\\", false},
        {L"C:\\windows2\\kalvo\\", true},
        {L"C:\\users\\ann\\AppData\\", false},
        {L"C:\\users\\ann\\AppData\\Roaming\\Kalvo\\", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(may_sweep(c.folder, shell, closed), c.may) << c.folder;
}

} // namespace
} // namespace kalvo
