#include "setup/running_client.h"

#include "app/framework/platform/windows_and_processes.h"
#include "setup/client_titles.h"

namespace kalvo {

bool ask_running_client_to_close() {
    for (const wchar_t* title : ClientWindowTitles)
        if (CloseWindowByTitle(title))
            return true;
    return false;
}

} // namespace kalvo
