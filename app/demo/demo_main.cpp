// The demo program. With KALVO_DEMO_SCREENSHOT set to a file name it shows its window, writes
// what the window shows as a PNG there and ends; otherwise it waits for the user to close it.
// A screenshot run has nobody to answer a message box, so it reports failures on stderr and
// in its exit code.
#include "app/demo/demo_window.h"
#include "imaging/file_bytes.h"
#include "imaging/png_writer.h"
#include "imaging/window_capture_win32.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <windows.h>

namespace {

int TakeScreenshot(HWND window, const wchar_t* path) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    int status = 0;
    try {
        kalvo::WriteFileBytes(path, kalvo::EncodePNG(kalvo::CaptureWindow(window)));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kalvo_demo: no screenshot: %s\n", error.what());
        status = 1;
    }
    DestroyWindow(window);
    return status;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const wchar_t* screenshot = _wgetenv(L"KALVO_DEMO_SCREENSHOT");
    const bool unattended = screenshot && *screenshot;
    HWND window = kalvo::CreateDemoWindow(instance);
    if (!window) {
        if (unattended)
            std::fputs("kalvo_demo: the window could not be created\n", stderr);
        else
            MessageBoxW(nullptr, L"The demo window could not be created.", L"Kalvo.Net",
                        MB_ICONERROR);
        return 1;
    }
    if (unattended)
        return TakeScreenshot(window, screenshot);
    ShowWindow(window, show);
    UpdateWindow(window);
    return kalvo::RunDemoWindow(window);
}
