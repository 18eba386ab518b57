// A small program that the platform tests start and inspect. It carries a version resource
// (fixture.rc) and, by its arguments:
//   --marker FILE   writes FILE and ends;
//   KALVOSTART      serves DDE as service "kalvo_platform_fixture", topic "KALVOSTART":
//                   item "Items" answers "Started\r\n", an execute of "[Quit]" ends the
//                   program, and it ends by itself after 30 seconds.
// It is a windowed program so that WinExec waits until it waits for input, as it would for
// a real DDE server program.
#include <cstring>
#include <fstream>
#include <windows.h>
// DDEML's declarations build on those of <windows.h>.
#include <ddeml.h>

namespace {

DWORD instance = 0;
HSZ service = nullptr;
HSZ topic = nullptr;
HSZ items = nullptr;

HDDEDATA CALLBACK ServerCallback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                 ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(
            static_cast<ULONG_PTR>(DdeCmpStringHandles(hsz1, topic) == 0));
    case XTYP_REQUEST:
        if (format == CF_TEXT && DdeCmpStringHandles(hsz2, items) == 0) {
            static char answer[] = "Started\r\n";
            return DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(answer), sizeof answer, 0,
                                       hsz2, CF_TEXT, 0);
        }
        return nullptr;
    case XTYP_EXECUTE: {
        char command[16] = {};
        DdeGetData(data, reinterpret_cast<BYTE*>(command), sizeof command - 1, 0);
        if (std::strcmp(command, "[Quit]") == 0)
            PostQuitMessage(0);
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
    }
    default:
        return nullptr;
    }
}

int Serve() {
    if (DdeInitializeA(&instance, ServerCallback,
                       APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR)
        return 1;
    service = DdeCreateStringHandleA(instance, "kalvo_platform_fixture", CP_WINANSI);
    topic = DdeCreateStringHandleA(instance, "KALVOSTART", CP_WINANSI);
    items = DdeCreateStringHandleA(instance, "Items", CP_WINANSI);
    DdeNameService(instance, service, nullptr, DNS_REGISTER);
    const UINT_PTR timer = SetTimer(nullptr, 0, 30000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.wParam == timer)
            break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, timer);
    DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeFreeStringHandle(instance, items);
    DdeUninitialize(instance);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--marker") == 0) {
        std::ofstream(argv[2], std::ios::binary) << "started\n";
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "KALVOSTART") == 0)
        return Serve();
    return 2;
}
