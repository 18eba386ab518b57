#include "app/demo/demo_window.h"

#include "imaging/bitmap.h"
#include "imaging/color.h"
#include "imaging/dib_section_win32.h"

#include <exception>

namespace kalvo {

namespace {

constexpr wchar_t ClassName[] = L"KalvoDemoWindow";
// The skin's palette anchors: background, text and border.
constexpr TColor PaletteBackground = 16313565;
constexpr TColor PaletteText = 3484708;
constexpr TColor PaletteBorder = 13680037;

TColor Mix(TColor from, TColor to, int step, int steps) {
    auto channel = [&](int shift) {
        const int a = int((from >> shift) & 0xFF);
        const int b = int((to >> shift) & 0xFF);
        return TColor((a * (steps - step) + b * step + steps / 2) / steps) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

void FillRows(TBitmap& image, int top, int bottom, TColor from, TColor to) {
    for (int y = top; y < bottom; ++y) {
        const TColor color = Mix(from, to, y - top, bottom - top - 1 > 0 ? bottom - top - 1 : 1);
        std::uint8_t* p = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            p[0] = BlueOf(color);
            p[1] = GreenOf(color);
            p[2] = RedOf(color);
        }
    }
}

void DrawLabel(HDC dc, const wchar_t* text, RECT box, int height, int weight, TColor color,
               UINT flags) {
    HFONT font = CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH, L"Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, color);
    DrawTextW(dc, text, -1, &box, flags);
    SelectObject(dc, old);
    DeleteObject(font);
}

// Composes the whole client area in a DIB-backed bitmap: rows are written directly, the
// border and the text through GDI on the same pixels.
void Paint(HWND window, HDC target) {
    RECT client{};
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    TBitmap image = CreateDIBBitmap(client.right, client.bottom, pf24bit);
    const int banner = DemoBannerHeight < client.bottom ? DemoBannerHeight : client.bottom;
    FillRows(image, 0, banner, RGBColor(255, 255, 255), PaletteBackground);
    FillRows(image, banner, client.bottom, PaletteBackground,
             Mix(PaletteBackground, PaletteBorder, 1, 2));

    HDC dc = CreateCompatibleDC(target);
    HGDIOBJ old_bitmap = SelectObject(dc, DIBHandle(image));
    SetBkMode(dc, TRANSPARENT);
    HPEN pen = CreatePen(PS_SOLID, 1, PaletteBorder);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    MoveToEx(dc, 0, banner, nullptr);
    LineTo(dc, client.right, banner);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, client.right, client.bottom);
    SelectObject(dc, old_pen);
    DeleteObject(pen);

    DrawLabel(dc, L"Kalvo.Net", {24, 18, client.right - 24, 60}, 30, FW_BOLD, PaletteText,
              DT_LEFT | DT_SINGLELINE);
    DrawLabel(dc, L"Share files with the people you choose", {26, 58, client.right - 24, 90}, 14,
              FW_NORMAL, PaletteText, DT_LEFT | DT_SINGLELINE);
    DrawLabel(dc,
              L"The setup program is on its way. This window shows that the build, the "
              L"bitmaps and the screenshots work.",
              {24, banner + 20, client.right - 24, client.bottom - 60}, 13, FW_NORMAL, PaletteText,
              DT_LEFT | DT_WORDBREAK);

    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old_bitmap);
    DeleteDC(dc);
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        // No exception may cross the system's frames: without a back buffer the window
        // shows its plain background colour.
        try {
            Paint(window, dc);
        } catch (const std::exception&) {
            HBRUSH brush = CreateSolidBrush(PaletteBackground);
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace

HWND CreateDemoWindow(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, ClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DemoProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.lpszClassName = ClassName;
        if (!RegisterClassExW(&wc))
            return nullptr;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, DemoClientWidth, DemoClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, ClassName, DemoWindowTitle, style, x, y,
                                  width, height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    HWND button = CreateWindowExW(
        0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        DemoClientWidth - 24 - 90, DemoClientHeight - 24 - 26, 90, 26, window,
        reinterpret_cast<HMENU>(INT_PTR(IDOK)), instance, nullptr);
    SendMessageW(button, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return window;
}

int RunDemoWindow(HWND window) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // The dialog manager gives Tab, Enter (IDOK) and Esc (IDCANCEL) their usual meaning.
        if (IsWindow(window) && IsDialogMessageW(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

} // namespace kalvo
