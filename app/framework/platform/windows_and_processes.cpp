#include "app/framework/platform/windows_and_processes.h"

namespace kalvo {

bool CloseWindowByTitle(const std::wstring& title) {
    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window)
        return false;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return true;
}

bool RunProgram(const std::string& command_line, UINT show) {
    // WinExec reports success with a value above 31.
    return WinExec(command_line.c_str(), show) > 31;
}

} // namespace kalvo
