#include "setup/running_client_win32.h"

#include "app/framework/platform/windows_and_processes.h"
#include "app/framework/platform/text_convert.h"
#include "setup/client_titles.h"

#include <windows.h>

namespace kalvo {

bool ask_running_client_to_close() {
    for (const wchar_t* title : ClientWindowTitles)
        if (CloseWindowByTitle(title))
            return true;
    return false;
}

void launch_client(const std::wstring& client_path) {
    RunProgram(WideToAnsi(L"\"" + client_path + L"\""), SW_SHOWNORMAL);
}

} // namespace kalvo
