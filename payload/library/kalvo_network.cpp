// The demo client's network library. The demo has no network: the library reports its own
// version and that the client is not connected.
#define KALVO_NETWORK_BUILDING
#include "kalvo_network.h"

extern "C" __declspec(dllexport) const wchar_t* WINAPI KalvoNetworkStatus() {
    return L"Network library 1.1.0.4: not connected (demo)";
}
