// The running program's own file, and the few file tests the start-up routine makes.
#pragma once

#include <string>

namespace kalvo {

// Full path of the running program (the process image).
std::wstring ProgramFilePath();
// The folder part of a path, up to and including its last backslash.
std::wstring FolderOf(const std::wstring& path);
// Whether path names an existing file (not a folder).
bool FileExists(const std::wstring& path);

} // namespace kalvo
