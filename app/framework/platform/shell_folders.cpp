#include "app/framework/platform/shell_folders.h"

// The shell's interfaces build on those of <windows.h>.
#include <shlobj.h>

namespace kalvo {

std::wstring SpecialFolderPath(HWND owner, int csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &list)) || !list)
        return {};
    wchar_t path[MAX_PATH] = {};
    std::wstring result;
    if (SHGetPathFromIDListW(list, path))
        result = path;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
    return result;
}

} // namespace kalvo
