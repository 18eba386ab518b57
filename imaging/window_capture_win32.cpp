#include "imaging/window_capture_win32.h"

#include "imaging/dib_section_win32.h"

#include <stdexcept>

namespace kalvo {

namespace {

using GetDCFunction = HDC(WINAPI*)(HWND);

// The bitmap is made before the device context is taken, so nothing can throw while the
// context is held.
TBitmap Capture(HWND window, GetDCFunction get_dc, int width, int height) {
    if (width <= 0 || height <= 0)
        throw std::runtime_error("the window has no size");
    TBitmap image = CreateDIBBitmap(width, height, pf24bit);
    HDC source = get_dc(window);
    if (!source)
        throw std::runtime_error("cannot get the window's device context");
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, DIBHandle(image));
    const BOOL copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, source);
    GdiFlush();
    if (!copied)
        throw std::runtime_error("cannot copy the window's pixels");
    return image;
}

} // namespace

TBitmap CaptureWindow(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return Capture(window, GetWindowDC, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

TBitmap CaptureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return Capture(window, GetDC, client.right, client.bottom);
}

} // namespace kalvo
