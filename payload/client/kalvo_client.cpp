// The demo client: one window that shows the client's version and the status line of its
// network library, kalvo.dll, loaded from the program's own folder. Without the library (a
// partial installation) the window still opens and says what is wrong.
#include "../kalvo_version.h"
#include "../library/kalvo_network.h"

#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"KalvoNetDemoClient";
constexpr wchar_t kWindowTitle[] = L"Kalvo.Net - peer-to-peer file sharing";
constexpr wchar_t kLibraryName[] = L"kalvo.dll";

// The lines of the window, top to bottom; the identifiers let other programs read them.
enum TLine : int { kVersionLine = 101, kDescriptionLine = 102, kStatusLine = 103 };

constexpr COLORREF kBackground = RGB(221, 236, 248);
constexpr COLORREF kAccent = RGB(52, 96, 150);
constexpr COLORREF kText = RGB(30, 42, 56);
constexpr int kMargin = 16;

HBRUSH background_brush = nullptr;
HFONT text_font = nullptr;
HFONT heading_font = nullptr;
int line_height = 20;
std::wstring status_text;

std::wstring Widen(const char* text) {
    std::wstring result;
    while (*text)
        result += wchar_t(static_cast<unsigned char>(*text++));
    return result;
}

// The folder of the running program, without a closing backslash; "" if it cannot be told.
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // Truncated: a long path. Try again with more room.
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Loads kalvo.dll from the program's folder and asks it for its status line. The library
// stays loaded for the program's life. Every way this can fail gives a line that says so.
std::wstring LoadNetworkStatus() {
    const std::wstring folder = ProgramFolder();
    if (folder.empty())
        return L"The network library cannot be found: the program's folder is unknown.";
    const std::wstring path = folder + L"\\" + kLibraryName;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return L"The network library kalvo.dll is missing from the program's folder.";
    }
    // A damaged file gives an error code, never a system message box.
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE library = LoadLibraryW(path.c_str());
    const DWORD load_error = GetLastError();
    SetErrorMode(previous_mode);
    if (!library)
        return L"The network library kalvo.dll could not be loaded (error " +
               std::to_wstring(load_error) + L").";
    const auto status = reinterpret_cast<TKalvoNetworkStatus>(
        reinterpret_cast<void*>(GetProcAddress(library, KALVO_NETWORK_STATUS_EXPORT)));
    if (!status)
        return L"The network library kalvo.dll has no network status: it is damaged or of "
               L"another version.";
    const wchar_t* text = status();
    if (!text || !*text)
        return L"The network library kalvo.dll gave no network status.";
    return text;
}

void MakeFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    else
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    text_font = CreateFontIndirectW(&font);
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight < 0 ? font.lfHeight * 4 / 3 : font.lfHeight;
    heading_font = CreateFontIndirectW(&font);

    // Lines as high as the larger font, with some room between them.
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, heading_font ? heading_font : text_font);
    TEXTMETRICW text_metrics{};
    if (GetTextMetricsW(screen, &text_metrics))
        line_height = text_metrics.tmHeight + text_metrics.tmExternalLeading + 6;
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
}

void FreeFonts() {
    if (heading_font)
        DeleteObject(heading_font);
    if (text_font)
        DeleteObject(text_font);
    heading_font = text_font = nullptr;
}

void AddLine(HWND parent, int id, int index, const std::wstring& text, HFONT font) {
    RECT client{};
    GetClientRect(parent, &client);
    const HWND line = CreateWindowExW(
        0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kMargin,
        kMargin + index * line_height, client.right - 2 * kMargin, line_height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (line && font)
        SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// The lines follow the window's width.
void LayOutLines(HWND window, int width) {
    const int ids[] = {kVersionLine, kDescriptionLine, kStatusLine};
    for (int index = 0; index < 3; ++index) {
        const HWND line = GetDlgItem(window, ids[index]);
        if (line)
            SetWindowPos(line, nullptr, kMargin, kMargin + index * line_height,
                         width > 2 * kMargin ? width - 2 * kMargin : 0, line_height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK ClientWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        AddLine(window, kVersionLine, 0,
                Widen(KALVO_PRODUCT_NAME) + L" " + Widen(KALVO_VERSION_TEXT), heading_font);
        AddLine(window, kDescriptionLine, 1, L"Demo client", text_font);
        AddLine(window, kStatusLine, 2, status_text, text_font);
        return 0;
    case WM_SIZE:
        LayOutLines(window, LOWORD(lparam));
        return 0;
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wparam);
        const bool heading = GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == kVersionLine;
        SetTextColor(dc, heading ? kAccent : kText);
        SetBkColor(dc, kBackground);
        return reinterpret_cast<LRESULT>(background_brush);
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        // WM_CLOSE included: the default destroys the window, which ends the program.
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    status_text = LoadNetworkStatus();
    background_brush = CreateSolidBrush(kBackground);
    MakeFonts();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ClientWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground =
        background_brush ? background_brush : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc)) {
        MessageBoxW(nullptr, L"Kalvo.Net could not register its window class.", kWindowTitle,
                    MB_OK | MB_ICONERROR);
        return 1;
    }

    // Room for three lines and the status text at its full length.
    RECT bounds{0, 0, 460, 2 * kMargin + 3 * line_height};
    const DWORD style = WS_OVERLAPPEDWINDOW;
    AdjustWindowRectEx(&bounds, style, FALSE, 0);
    const HWND window =
        CreateWindowExW(0, kWindowClass, kWindowTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                        bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                        instance, nullptr);
    if (!window) {
        MessageBoxW(nullptr, L"Kalvo.Net could not open its window.", kWindowTitle,
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    ShowWindow(window, show);
    // However the starter asked for the window, it is shown.
    if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG msg{};
    int result;
    while ((result = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    FreeFonts();
    if (background_brush)
        DeleteObject(background_brush);
    return result < 0 ? 1 : int(msg.wParam);
}
