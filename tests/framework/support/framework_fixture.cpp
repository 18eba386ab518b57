#include "tests/framework/support/framework_fixture.h"

#include <map>

namespace kalvo::test {

void PumpMessages(int rounds) {
    MSG msg;
    for (int round = 0; round < rounds; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

namespace {

std::map<UINT_PTR, std::function<void()>>& Pending() {
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto node = Pending().extract(id);
    if (!node.empty())
        node.mapped()();
}

} // namespace

void RunLater(int delay_ms, std::function<void()> action) {
    const UINT_PTR id = SetTimer(nullptr, 0, UINT(delay_ms), Fire);
    Pending()[id] = std::move(action);
}

} // namespace kalvo::test
