#include "app/framework/timer.h"

#include "app/framework/application.h"
#include "app/framework/class_info.h"

#include <map>

namespace kalvo {

namespace {

// All timers share one message-only window; the timer identifier finds the object.
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

UINT_PTR NextId() {
    static UINT_PTR next = 1;
    return next++;
}

HWND TimerWindow(WNDPROC procedure) {
    static HWND window = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KalvoTimerWindow";
        RegisterClassExW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    }();
    return window;
}

} // namespace

LRESULT CALLBACK TTimer::TimerWndProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_TIMER) {
        const auto it = Timers().find(wparam);
        if (it != Timers().end() && it->second->OnTimer) {
            // A copy: the handler may free its timer.
            const TNotifyEvent handler = it->second->OnTimer;
            try {
                handler(it->second);
            } catch (...) {
                HandleFrameworkException(std::current_exception());
            }
        }
        return 0;
    }
    return DefWindowProcW(window, msg, wparam, lparam);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    Update();
}

TTimer::~TTimer() {
    enabled_ = false;
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(unsigned interval) {
    interval_ = interval;
    Update();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    Update();
}

// Runs only when enabled, with an interval, and not while a definition is being read.
void TTimer::Update() {
    HWND window = TimerWindow(&TimerWndProc);
    if (id_) {
        KillTimer(window, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (enabled_ && interval_ > 0 && !HasState(csLoading) && !HasState(csDestroying)) {
        id_ = NextId();
        Timers()[id_] = this;
        SetTimer(window, id_, interval_, nullptr);
    }
}

const TClassInfo& TTimer::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTimer>("TTimer", &TComponent::StaticClassInfo())
            .Creatable()
            .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
            .Integer(
                "Interval", [](const TTimer& t) { return int(t.Interval()); },
                [](TTimer& t, int interval) {
                    t.SetInterval(unsigned(interval < 0 ? 0 : interval));
                })
            .Event("OnTimer", &TTimer::OnTimer)
            .Build();
    return info;
}

} // namespace kalvo
