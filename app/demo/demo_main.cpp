// The demo program. With KALVO_DEMO_SCREENSHOT set to a file name it shows its window, writes
// what the window shows as a PNG there and ends; otherwise it waits for the user to close it.
#include "app/demo/demo_window.h"
#include "imaging/file_bytes.h"
#include "imaging/png_writer.h"
#include "imaging/window_capture_win32.h"

#include <cstdlib>
#include <exception>
#include <string>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    HWND window = kalvo::CreateDemoWindow(instance);
    if (!window) {
        MessageBoxW(nullptr, L"The demo window could not be created.", L"Kalvo.Net", MB_ICONERROR);
        return 1;
    }
    const wchar_t* screenshot = _wgetenv(L"KALVO_DEMO_SCREENSHOT");
    ShowWindow(window, screenshot ? SW_SHOWNORMAL : show);
    UpdateWindow(window);
    if (screenshot && *screenshot) {
        try {
            kalvo::WriteFileBytes(screenshot, kalvo::EncodePNG(kalvo::CaptureWindow(window)));
        } catch (const std::exception& error) {
            const std::string text = error.what();
            MessageBoxW(window, std::wstring(text.begin(), text.end()).c_str(), L"Kalvo.Net",
                        MB_ICONERROR);
            DestroyWindow(window);
            return 1;
        }
        DestroyWindow(window);
    }
    return kalvo::RunDemoWindow(window);
}
