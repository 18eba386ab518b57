// Holds a file open the way a running program holds its files, so that the uninstall cannot
// delete it.
//
//     kalvo_file_holder FILE LOG
//
// Opens FILE for reading, sharing only reading (no deleting, no writing), writes "held\n" to LOG
// and keeps the file open until its hidden window, titled "Kalvo file holder", gets WM_CLOSE.
// Exit code 0 then; 1 when FILE cannot be opened, 2 for a wrong command line, 3 when LOG
// cannot be written.
#include <windows.h>
// CommandLineToArgvW builds on <windows.h>.
#include <shellapi.h>

namespace {

LRESULT CALLBACK HolderWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3)
        return 2;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = HolderWindowProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = L"KalvoFileHolder";
    RegisterClassW(&window_class);
    CreateWindowExW(0, window_class.lpszClassName, L"Kalvo file holder", WS_OVERLAPPEDWINDOW, 0,
                    0, 100, 100, nullptr, nullptr, instance, nullptr);
    const HANDLE log = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool logged = log != INVALID_HANDLE_VALUE && WriteFile(log, "held\n", 5, &written, nullptr) &&
                        written == 5;
    if (log != INVALID_HANDLE_VALUE)
        CloseHandle(log);
    if (!logged) {
        CloseHandle(file);
        return 3;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    CloseHandle(file);
    return 0;
}
