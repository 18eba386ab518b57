#include "app/demo/demo_window.h"
#include "imaging/file_bytes.h"
#include "imaging/png_writer.h"
#include "imaging/window_capture_win32.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace kalvo {
namespace {

void PumpMessages() {
    MSG msg;
    for (int round = 0; round < 20; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

int Distance(TColor a, TColor b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

std::filesystem::path ScreenshotDir() {
    const char* dir = std::getenv("KALVO_SCREENSHOT_DIR");
    return dir && *dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

bool timed_out = false;
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    timed_out = true;
    PostQuitMessage(1);
}

TEST(DemoWindowTest, ShowsItsPictureAndClosesOnEscape) {
    HWND window = CreateDemoWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpMessages();

    // The client area as the window's DC shows it.
    const TBitmap client = CaptureClient(window);
    ASSERT_EQ(client.Width(), DemoClientWidth);
    ASSERT_EQ(client.Height(), DemoClientHeight);
    EXPECT_LE(Distance(client.Pixel(10, 3), RGBColor(255, 255, 255)), 8) << "banner starts white";
    EXPECT_LE(Distance(client.Pixel(10, DemoBannerHeight - 1), 16313565), 3)
        << "banner ends in the palette background";
    EXPECT_EQ(client.Pixel(0, 150), TColor(13680037)) << "border";
    EXPECT_EQ(client.Pixel(200, DemoBannerHeight), TColor(13680037)) << "line under the banner";
    int text_pixels = 0;
    for (int y = 18; y < 60; ++y)
        for (int x = 24; x < 240; ++x)
            text_pixels += Distance(client.Pixel(x, y), 3484708) < 40;
    EXPECT_GT(text_pixels, 200) << "the title is drawn in the text colour";

    // The whole window, frame included, written where a person can look at it.
    const TBitmap whole = CaptureWindow(window);
    EXPECT_GE(whole.Width(), DemoClientWidth);
    EXPECT_GE(whole.Height(), DemoClientHeight);
    const std::filesystem::path png = ScreenshotDir() / "demo_window.png";
    WriteFileBytes(png, EncodePNG(whole));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);

    // Esc reaches the dialog manager and closes the window, which ends the loop.
    HWND button = FindWindowExW(window, nullptr, L"Button", L"Close");
    ASSERT_NE(button, nullptr);
    SetFocus(button);
    PostMessageW(button, WM_KEYDOWN, VK_ESCAPE, 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 5000, GiveUp);
    RunDemoWindow(window);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(timed_out);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
} // namespace kalvo
