// Takes Wine's own Program Manager server out of a test session and waits for it to return,
// for the case of an install on a system without one.
//
//     kalvo_shell_dde silence    closes the DDE name windows of every other process (under
//                                Wine the shell's server in the desktop process, explorer,
//                                registers "Progman", "Shell" and "Folders" through them), then
//                                waits up to 5 s until nothing answers PROGMAN/PROGMAN.
//     kalvo_shell_dde wait       waits up to 30 s until a server answers PROGMAN/PROGMAN.
//
// Exit code 0 when the state was reached, 1 when not, 2 for a wrong command line. Wine's
// desktop process brings its server back when it starts anew, which it does with the first
// window of the session after its last window has gone; a window of some other program kept
// open meanwhile holds the server away.
//
// The class name of the name windows is Wine's own; on Windows this program has nothing to do.
#include <string>
#include <windows.h>
// The DDE management library builds on <windows.h>.
#include <ddeml.h>

namespace {

constexpr wchar_t kNameWindowClass[] = L"WineDdeServerName";

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// Whether a server answers PROGMAN/PROGMAN now; nothing is started when none does.
bool ProgramManagerAnswers() {
    DWORD instance = 0;
    if (DdeInitializeW(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ name = DdeCreateStringHandleW(instance, L"PROGMAN", CP_WINUNICODE);
    HCONV conversation = DdeConnect(instance, name, name, nullptr);
    if (conversation)
        DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return conversation != nullptr;
}

BOOL CALLBACK CloseNameWindow(HWND window, LPARAM) {
    wchar_t name[64] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() && GetClassNameW(window, name, 64) &&
        std::wstring(name) == kNameWindowClass)
        PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Polls until answers() equals `wanted`, handling this thread's messages meanwhile.
bool WaitFor(bool wanted, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (ProgramManagerAnswers() == wanted)
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(100);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    const std::wstring command = argv[1];
    if (command == L"silence") {
        EnumWindows(CloseNameWindow, 0);
        return WaitFor(false, 5000) ? 0 : 1;
    }
    if (command == L"wait") {
        // A window of this program starts the desktop process when it is not running.
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        return WaitFor(true, 30000) ? 0 : 1;
    }
    return 2;
}
