#include "app/framework/platform/program_path.h"

#include <windows.h>

namespace kalvo {

std::wstring RunningProgramPath() {
    // The longest path the system has is 32767 characters.
    constexpr std::size_t Longest = 32768;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        // A path that does not fit comes back cut to the buffer's size.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= Longest)
            return {};
        path.resize(path.size() * 2);
    }
}

} // namespace kalvo
