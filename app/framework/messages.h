// Messages as the framework passes them to controls, and the framework's own notifications.
#pragma once

#include <functional>
#include <windows.h>

namespace kalvo {

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

using TWndMethod = std::function<void(TMessage&)>;

// Notifications the framework sends to controls with Perform; they never reach a window
// class's own procedure. The range stays clear of the skin engine's command message.
enum : UINT {
    CM_BASE = 0xB000,
    CM_MOUSEENTER = CM_BASE + 1, // the mouse came over the control
    CM_MOUSELEAVE = CM_BASE + 2, // the mouse left it
    CM_ENABLEDCHANGED = CM_BASE + 3,
    CM_VISIBLECHANGED = CM_BASE + 4,
    CM_TEXTCHANGED = CM_BASE + 5,
    CM_FONTCHANGED = CM_BASE + 6,
    CM_COLORCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    // Notifications a window sends its parent, handed back to the control they concern:
    // CN_COMMAND carries WM_COMMAND's parameters, CN_NOTIFY WM_NOTIFY's.
    CN_COMMAND = CM_BASE + 0x20,
    CN_NOTIFY = CM_BASE + 0x21,
    CN_CTLCOLOR = CM_BASE + 0x22, // wParam the DC; answer a brush
    CN_DRAWITEM = CM_BASE + 0x23, // WM_DRAWITEM's parameters: an owner-drawn window paints
    CM_LAST = CM_BASE + 0xFF
};

} // namespace kalvo
