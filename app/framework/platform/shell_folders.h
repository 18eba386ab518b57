// File-system paths of the shell's special folders.
#pragma once

#include <string>
#include <windows.h>

namespace kalvo {

// The path of special folder csidl (CSIDL_DESKTOPDIRECTORY = 16, ...): the shell's item
// identifier list (SHGetSpecialFolderLocation, owner for any dialog the shell shows),
// turned into a path of at most MAX_PATH characters (SHGetPathFromIDListW) and freed
// through the shell's allocator (SHGetMalloc). "" when the folder cannot be resolved or has
// no file-system path.
std::wstring SpecialFolderPath(HWND owner, int csidl);

} // namespace kalvo
