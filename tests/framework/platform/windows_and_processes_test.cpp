#include "app/framework/platform/windows_and_processes.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

int close_requests = 0;

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
        ++close_requests;
        EXPECT_EQ(wparam, 0u);
        EXPECT_EQ(lparam, 0);
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// A top-level window that records the close requests it gets and closes on them.
HWND CreateRecordingWindow(const std::wstring& title) {
    static const ATOM window_class = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KalvoPlatformTestWindow";
        return RegisterClassW(&wc);
    }();
    if (!window_class)
        return nullptr;
    return CreateWindowExW(0, L"KalvoPlatformTestWindow", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                           200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(WindowsTest, ClosesTheWindowWithExactlyThatTitle) {
    const std::wstring title =
        L"Kalvo.Net - platform test " + std::to_wstring(GetCurrentProcessId());
    close_requests = 0;
    HWND window = CreateRecordingWindow(title);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);

    // Only the whole title matches.
    for (const std::wstring& other :
         {title.substr(0, title.size() - 1), title + L" ", std::wstring(L"Kalvo.Net")})
        EXPECT_FALSE(CloseWindowByTitle(other)) << test::Utf8(other);
    test::PumpFor(100);
    EXPECT_EQ(close_requests, 0);
    EXPECT_TRUE(IsWindow(window));

    EXPECT_TRUE(CloseWindowByTitle(title));
    // The request is posted: nothing happens before the window's thread reads its messages.
    EXPECT_EQ(close_requests, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(window); }, 5000));
    EXPECT_EQ(close_requests, 1);
    EXPECT_FALSE(CloseWindowByTitle(title)) << "the window is gone";
}

TEST(WindowsTest, FindsNothingWhenNoWindowHasTheTitle) {
    EXPECT_FALSE(CloseWindowByTitle(L"Kalvo.Net - no such window " +
                                    std::to_wstring(GetCurrentProcessId())));
}

TEST(ProcessesTest, StartsAProgram) {
    test::TTempFolder folder;
    const std::wstring marker = folder.File(L"started.txt");
    // Quoting paths with spaces is the caller's part.
    const std::string command = "\"" + test::ToAnsi(test::FixtureProgram()) + "\" --marker \"" +
                                test::ToAnsi(marker) + "\"";
    ASSERT_TRUE(RunProgram(command, SW_SHOWNORMAL)) << command;
    EXPECT_TRUE(test::PumpUntil([&] { return test::FileExists(marker); }, 10000))
        << "the program did not run: " << command;
    EXPECT_EQ(test::ReadBytes(marker), "started\n");
}

TEST(ProcessesTest, ReportsAProgramThatCannotStart) {
    test::TTempFolder folder;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(RunProgram(test::ToAnsi(folder.File(L"absent.exe")), SW_SHOWNORMAL));
    EXPECT_FALSE(RunProgram("kalvo_no_such_program_anywhere", SW_SHOWMINNOACTIVE));
    EXPECT_FALSE(RunProgram("", SW_SHOWNORMAL));
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

} // namespace
} // namespace kalvo
