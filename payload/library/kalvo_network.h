// The demo client's network library, kalvo.dll: what it exports and how the client calls it.
#pragma once

#include <windows.h>

// The name the function is exported under on both targets (the 32-bit build links with
// --kill-at, which drops the "@0" stdcall suffix from exported names).
#define KALVO_NETWORK_STATUS_EXPORT "KalvoNetworkStatus"

extern "C" {

// The network's state as one line of text for the client's window. The text is static: it
// stays valid as long as the library is loaded, and the caller never frees it.
using TKalvoNetworkStatus = const wchar_t*(WINAPI*)();

#ifdef KALVO_NETWORK_BUILDING
__declspec(dllexport) const wchar_t* WINAPI KalvoNetworkStatus();
#endif

} // extern "C"
