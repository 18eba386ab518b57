// A stand-in Program Manager for the setup tests: a DDE server of service "PROGMAN" and topic
// "PROGMAN" that answers the request of item "Groups" with prepared text and records every
// command block it is asked to execute, without carrying any of them out.
//
// Command line (options in any order, each at most once; all optional):
//   --title TEXT         title of its hidden top-level window (default "Kalvo PROGMAN
//                        recorder"); WM_CLOSE sent to that window ends the program;
//   --log FILE           gets "started\n" (replacing the file) once a connection to PROGMAN
//                        reaches this program, then one line per event, appended:
//                          "request ITEM\n"   a request of ITEM (any item, any format);
//                          "execute N\n"      a command block of N bytes (as recorded);
//                          "closed\n"         WM_CLOSE arrived;
//   --record FILE        made empty at start; every command block is appended to it as it
//                        came, up to but not including its terminating zero, and nothing else;
//   --groups FILE        the exact bytes of FILE answer a request of "Groups" in CF_TEXT, with
//                        a zero after them; without it the answer is empty (only the zero);
//   --groups-delay MS    waits MS milliseconds (0 to 60000) before that answer.
// Requests of other items or formats get no data.
//
// A client connects to the first server that answers its broadcast, and the window system
// offers the broadcast to top-level windows from the top of the z-order down. The program
// therefore raises its own (hidden) windows to the top once its name is registered, and then
// connects to PROGMAN itself, from a second thread, until the answer comes from its own
// process. Only then does it write "started"; when another server still answers after about
// two seconds it writes "another server answers\n" to the log and ends with exit code 4.
//
// Exit codes: 0 after WM_CLOSE; 1 when the window or the DDE service could not be made; 2 for
// a bad command line or an unreadable --groups file (no "started" then); 3 when the log or the
// record could not be written; 4 as above.
#include <string>
#include <windows.h>
// CommandLineToArgvW and the DDE management library; both build on <windows.h>.
#include <ddeml.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kWindowClass[] = L"KalvoProgmanRecorder";
constexpr wchar_t kDefaultTitle[] = L"Kalvo PROGMAN recorder";
constexpr char kProgramManager[] = "PROGMAN";
constexpr char kGroupsItem[] = "Groups";
// Posted by the checking thread to the window: wparam is 1 when this program answers.
constexpr UINT kCheckedMessage = WM_APP + 1;
constexpr int kCheckAttempts = 20;
constexpr DWORD kCheckInterval = 100;

struct TArguments {
    bool valid = false;
    std::wstring title = kDefaultTitle;
    std::wstring log;
    std::wstring record;
    std::wstring groups;
    DWORD groups_delay = 0;
};

// What the DDE callback works with; set up before the service is registered.
struct TServer {
    DWORD instance = 0;
    HSZ service = nullptr;
    HSZ groups_item = nullptr;
    std::string groups_answer; // the file's bytes and a closing zero
    DWORD groups_delay = 0;
    std::wstring log;
    std::wstring record;
    bool write_failed = false;
};

TServer server;
DWORD main_thread = 0;
HWND main_window = nullptr;
bool outranked = false;

// Writes bytes to a file: from the start of a new file, or at its end.
bool WriteFileBytes(const std::wstring& path, const char* bytes, DWORD size, bool append) {
    const HANDLE file =
        CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = size == 0 || (WriteFile(file, bytes, size, &written, nullptr) && written == size);
    if (!CloseHandle(file))
        ok = false;
    return ok;
}

void WriteLog(const std::string& line, bool append = true) {
    if (server.log.empty())
        return;
    if (!WriteFileBytes(server.log, line.data(), DWORD(line.size()), append))
        server.write_failed = true;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 16 * 1024 * 1024;
    if (ok) {
        bytes.assign(size_t(size.QuadPart), '\0');
        DWORD read = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr) &&
              read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

std::string StringName(HSZ handle) {
    const DWORD length = DdeQueryStringA(server.instance, handle, nullptr, 0, CP_WINANSI);
    std::string name(length + 1, '\0');
    DdeQueryStringA(server.instance, handle, name.data(), length + 1, CP_WINANSI);
    name.resize(length);
    return name;
}

HDDEDATA AnswerRequest(UINT format, HSZ item) {
    WriteLog("request " + StringName(item) + "\n");
    if (format != CF_TEXT || DdeCmpStringHandles(item, server.groups_item) != 0)
        return nullptr;
    if (server.groups_delay)
        Sleep(server.groups_delay);
    return DdeCreateDataHandle(server.instance,
                               reinterpret_cast<BYTE*>(server.groups_answer.data()),
                               DWORD(server.groups_answer.size()), 0, item, CF_TEXT, 0);
}

HDDEDATA RecordExecute(HDDEDATA data) {
    DWORD size = 0;
    const BYTE* bytes = DdeAccessData(data, &size);
    if (!bytes)
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FNOTPROCESSED));
    // The block is text: it ends at its first zero.
    DWORD length = 0;
    while (length < size && bytes[length] != 0)
        ++length;
    if (!server.record.empty() &&
        !WriteFileBytes(server.record, reinterpret_cast<const char*>(bytes), length, true))
        server.write_failed = true;
    DdeUnaccessData(data);
    WriteLog("execute " + std::to_string(length) + "\n");
    return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
}

HDDEDATA CALLBACK DdeCallback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                              ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT:
        // hsz1 is the topic, hsz2 the service; the service and the topic share one name.
        return reinterpret_cast<HDDEDATA>(
            static_cast<ULONG_PTR>(DdeCmpStringHandles(hsz1, server.service) == 0));
    case XTYP_REQUEST:
        return AnswerRequest(format, hsz2);
    case XTYP_EXECUTE:
        return RecordExecute(data);
    default:
        return nullptr;
    }
}

BOOL CALLBACK RaiseWindow(HWND window, LPARAM) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

// Puts the windows of the main thread, among them those DDEML made for the service, on top.
void RaiseOwnWindows() {
    EnumThreadWindows(main_thread, RaiseWindow, 0);
}

HDDEDATA CALLBACK CheckCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// Whether a connection to PROGMAN made now reaches this process.
bool ConnectionReachesUs(DWORD instance, HSZ name) {
    const HCONV conversation = DdeConnect(instance, name, name, nullptr);
    if (!conversation)
        return false;
    CONVINFO info{};
    info.cb = sizeof info;
    DWORD process = 0;
    if (DdeQueryConvInfo(conversation, QID_SYNC, &info))
        GetWindowThreadProcessId(info.hwndPartner, &process);
    DdeDisconnect(conversation);
    return process == GetCurrentProcessId();
}

DWORD WINAPI CheckThread(LPVOID) {
    bool ours = false;
    DWORD instance = 0;
    if (DdeInitializeA(&instance, CheckCallback,
                       APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) == DMLERR_NO_ERROR) {
        if (const HSZ name = DdeCreateStringHandleA(instance, kProgramManager, CP_WINANSI)) {
            for (int attempt = 0; attempt < kCheckAttempts && !ours; ++attempt) {
                if (attempt > 0) {
                    Sleep(kCheckInterval);
                    RaiseOwnWindows();
                }
                ours = ConnectionReachesUs(instance, name);
            }
            DdeFreeStringHandle(instance, name);
        }
        DdeUninitialize(instance);
    }
    PostMessageW(main_window, kCheckedMessage, ours ? 1 : 0, 0);
    return 0;
}

LRESULT CALLBACK RecorderWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CLOSE:
        WriteLog("closed\n");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case kCheckedMessage:
        if (wparam) {
            WriteLog("started\n", false);
        } else {
            WriteLog("another server answers\n", false);
            outranked = true;
            DestroyWindow(window);
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

bool ParseDelay(const std::wstring& text, DWORD& delay) {
    if (text.empty() || text.size() > 5)
        return false;
    DWORD value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + DWORD(c - L'0');
    }
    if (value > 60000)
        return false;
    delay = value;
    return true;
}

TArguments ParseArguments() {
    TArguments result;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return result;
    bool valid = true;
    bool has_title = false;
    bool has_delay = false;
    for (int i = 1; i < count && valid; i += 2) {
        const std::wstring option = arguments[i];
        if (i + 1 >= count) {
            valid = false;
            break;
        }
        const std::wstring value = arguments[i + 1];
        if (option == L"--title" && !has_title) {
            result.title = value;
            has_title = true;
        } else if (option == L"--log" && result.log.empty() && !value.empty())
            result.log = value;
        else if (option == L"--record" && result.record.empty() && !value.empty())
            result.record = value;
        else if (option == L"--groups" && result.groups.empty() && !value.empty())
            result.groups = value;
        else if (option == L"--groups-delay" && !has_delay)
            valid = has_delay = ParseDelay(value, result.groups_delay);
        else
            valid = false;
    }
    result.valid = valid;
    LocalFree(arguments);
    return result;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const TArguments arguments = ParseArguments();
    if (!arguments.valid)
        return 2;
    if (!arguments.groups.empty() && !ReadWholeFile(arguments.groups, server.groups_answer))
        return 2;
    server.groups_answer.push_back('\0');
    server.groups_delay = arguments.groups_delay;
    server.log = arguments.log;
    server.record = arguments.record;
    if (!server.record.empty() && !WriteFileBytes(server.record, "", 0, false))
        return 3;

    WNDCLASSW wc{};
    wc.lpfnWndProc = RecorderWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassW(&wc))
        return 1;
    // Never shown: it only gives the tests something to find by title and close.
    const HWND window = CreateWindowExW(0, kWindowClass, arguments.title.c_str(),
                                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 160, 80,
                                        nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    main_thread = GetCurrentThreadId();
    main_window = window;

    if (DdeInitializeA(&server.instance, DdeCallback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR)
        return 1;
    server.service = DdeCreateStringHandleA(server.instance, kProgramManager, CP_WINANSI);
    server.groups_item = DdeCreateStringHandleA(server.instance, kGroupsItem, CP_WINANSI);
    if (!server.service || !server.groups_item ||
        !DdeNameService(server.instance, server.service, nullptr, DNS_REGISTER)) {
        DdeUninitialize(server.instance);
        return 1;
    }
    RaiseOwnWindows();
    const HANDLE check = CreateThread(nullptr, 0, CheckThread, nullptr, 0, nullptr);
    if (!check) {
        DdeUninitialize(server.instance);
        return 1;
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The check may still be connecting; its conversations need this thread's messages.
    while (MsgWaitForMultipleObjects(1, &check, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    CloseHandle(check);
    DdeNameService(server.instance, server.service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(server.instance, server.groups_item);
    DdeFreeStringHandle(server.instance, server.service);
    DdeUninitialize(server.instance);
    if (outranked)
        return 4;
    return server.write_failed ? 3 : 0;
}
