#include "setup/program_file_win32.h"

#include "app/framework/platform/program_path.h"

#include <stdexcept>
#include <windows.h>

namespace kalvo {

std::wstring ProgramFilePath() {
    std::wstring path = RunningProgramPath();
    if (path.empty())
        throw std::runtime_error("cannot find the path of the running program");
    return path;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool FileExists(const std::wstring& path) {
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace kalvo
