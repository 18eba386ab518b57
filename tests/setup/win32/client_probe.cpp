// A small windowed program that stands in for a running client in the setup tests. Its
// variants differ only in their version resource (client_probe.rc).
//
// Command line:
//   (no arguments)            ends at once with exit code 0;
//   --title TEXT --log FILE   shows a top-level window titled exactly TEXT, then writes
//                             "started\n" to FILE (replacing it); on WM_CLOSE it appends
//                             "closed\n" to FILE and ends with exit code 0 (3 if FILE could
//                             not be written).
// The two options may come in either order; --log may be left out. Anything else ends the
// program with exit code 2 and no window.
#include <string>
#include <windows.h>
// CommandLineToArgvW; its declarations build on those of <windows.h>.
#include <shellapi.h>

namespace {

constexpr wchar_t kWindowClass[] = L"KalvoClientProbe";

std::wstring log_path;
bool log_failed = false;

// Writes text to the log: from the start of a new file, or at its end.
void WriteLog(const char* text, bool append) {
    if (log_path.empty())
        return;
    const HANDLE file =
        CreateFileW(log_path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        log_failed = true;
        return;
    }
    const DWORD length = DWORD(std::char_traits<char>::length(text));
    DWORD written = 0;
    if (!WriteFile(file, text, length, &written, nullptr) || written != length)
        log_failed = true;
    if (!CloseHandle(file))
        log_failed = true;
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CLOSE:
        WriteLog("closed\n", true);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

struct TArguments {
    bool valid = false;
    bool empty = false;
    std::wstring title;
    std::wstring log;
};

TArguments ParseArguments() {
    TArguments result;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return result;
    bool has_title = false;
    bool valid = true;
    for (int i = 1; i < count && valid; i += 2) {
        const std::wstring option = arguments[i];
        if (i + 1 >= count)
            valid = false;
        else if (option == L"--title" && !has_title) {
            result.title = arguments[i + 1];
            has_title = true;
        } else if (option == L"--log" && result.log.empty() && arguments[i + 1][0] != L'\0')
            result.log = arguments[i + 1];
        else
            valid = false;
    }
    result.empty = count <= 1;
    result.valid = valid && has_title;
    LocalFree(arguments);
    return result;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const TArguments arguments = ParseArguments();
    if (arguments.empty)
        return 0;
    if (!arguments.valid)
        return 2;
    log_path = arguments.log;

    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassW(&wc))
        return 1;
    const HWND window = CreateWindowExW(0, kWindowClass, arguments.title.c_str(),
                                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 160,
                                        nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    // The first call follows how the starter asked to be shown; the window is visible
    // whatever that was.
    ShowWindow(window, show);
    if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    WriteLog("started\n", false);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return log_failed ? 3 : 0;
}
