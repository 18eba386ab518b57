// A small window that stands in for the setup program until it exists: it proves the
// toolchain, the Win32 imaging layer (a DIB-backed back buffer painted through ScanLine and
// GDI) and the screenshot path.
#pragma once

#include <windows.h>

namespace kalvo {

inline constexpr wchar_t DemoWindowTitle[] = L"Kalvo.Net - Demo";
inline constexpr int DemoClientWidth = 480;
inline constexpr int DemoClientHeight = 300;
// Where the banner band ends, in client pixels.
inline constexpr int DemoBannerHeight = 100;

// Registers the class (once) and creates the window, hidden, centred on the screen.
// The window closes on its Close button, Enter or Esc, and ends the message loop when closed.
HWND CreateDemoWindow(HINSTANCE instance);

// Runs the message loop of a demo window until it is destroyed.
int RunDemoWindow(HWND window);

} // namespace kalvo
