#include "app/framework/controls/progress_bar.h"

#include "app/framework/class_info.h"

#include <algorithm>
#include <commctrl.h>

namespace kalvo {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    width_ = 150;
    height_ = 17;
}

void TProgressBar::CreateParams(TCreateParams& params) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    TWinControl::CreateParams(params);
    params.ClassName = PROGRESS_CLASSW;
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(WindowHandle(), PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
    SendMessageW(WindowHandle(), PBM_SETPOS, WPARAM(position_), 0);
}

void TProgressBar::SetRange(int min, int max) {
    if (max < min)
        std::swap(min, max);
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, max_);
    if (HWND window = WindowHandle()) {
        SendMessageW(window, PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
        SendMessageW(window, PBM_SETPOS, WPARAM(position_), 0);
    }
}

void TProgressBar::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    if (HWND window = WindowHandle())
        SendMessageW(window, PBM_SETPOS, WPARAM(position_), 0);
}

const TClassInfo& TProgressBar::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TProgressBar>("TProgressBar", &TWinControl::StaticClassInfo())
            .Creatable()
            .Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin)
            .Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax)
            .Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition)
            .Build();
    return info;
}

} // namespace kalvo
