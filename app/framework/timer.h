// TTimer: calls OnTimer every Interval milliseconds while Enabled, from the message loop.
#pragma once

#include "app/framework/component.h"

#include <windows.h>

namespace kalvo {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    TNotifyEvent OnTimer;

    void Loaded() override;

private:
    void Update();
    static LRESULT CALLBACK TimerWndProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
};

} // namespace kalvo
