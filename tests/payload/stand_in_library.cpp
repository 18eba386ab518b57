// Libraries the client tests put in place of kalvo.dll, one per variant (CMake defines one
// KALVO_STAND_IN_<NAME> per library):
//   NO_STATUS     exports no network status: a library of another kind under the same name;
//   STATUS        exports one whose text the tests recognise (not the payload's);
//   EMPTY_STATUS  exports one that gives no text.
#include <windows.h>

#if defined(KALVO_STAND_IN_NO_STATUS)
extern "C" __declspec(dllexport) int WINAPI KalvoOtherLibraryVersion() {
    return 1;
}
#elif defined(KALVO_STAND_IN_STATUS)
extern "C" __declspec(dllexport) const wchar_t* WINAPI KalvoNetworkStatus() {
    return L"Stand-in library: \u0441\u0435\u0442\u044c 42 users";
}
#elif defined(KALVO_STAND_IN_EMPTY_STATUS)
extern "C" __declspec(dllexport) const wchar_t* WINAPI KalvoNetworkStatus() {
    return nullptr;
}
#else
#error "no stand-in variant defined"
#endif
