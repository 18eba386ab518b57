// What a window shows, read back through its own device context.
#pragma once

#include "imaging/bitmap.h"

#include <windows.h>

namespace kalvo {

// The whole window, frame included (GetWindowDC), as a pf24bit DIB-backed bitmap.
// Throws std::runtime_error when the window has no size or cannot be read.
TBitmap CaptureWindow(HWND window);
// The client area only (GetDC).
TBitmap CaptureClient(HWND window);

} // namespace kalvo
