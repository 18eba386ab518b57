#include "imaging/window_capture_win32.h"

#include "imaging/dib_section_win32.h"

#include <stdexcept>

namespace kalvo {

namespace {

TBitmap Capture(HWND window, HDC source, int width, int height) {
    if (!source)
        throw std::runtime_error("cannot get the window's device context");
    if (width <= 0 || height <= 0) {
        ReleaseDC(window, source);
        throw std::runtime_error("the window has no size");
    }
    TBitmap image = CreateDIBBitmap(width, height, pf24bit);
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
    return Capture(window, GetWindowDC(window), bounds.right - bounds.left,
                   bounds.bottom - bounds.top);
}

TBitmap CaptureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return Capture(window, GetDC(window), client.right, client.bottom);
}

} // namespace kalvo
