// Skin path text on systems whose separator is "/": the bytes are the file system's own, a
// "\" is read as "/", and the program folder is written with "\" so that the rest of the
// skin code treats every path alike.
#include "skin/skin_paths.h"

#include <system_error>

namespace kalvo {

namespace fs = std::filesystem;

fs::path SkinPathFromText(const std::string& text) {
    std::string native = text;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return fs::path(native);
}

std::string SkinTextFromPath(const fs::path& path) {
    return path.native();
}

std::string RunningProgramFolderText() {
    // Without /proc, the current folder stands in.
    std::error_code error;
    const fs::path program = fs::canonical("/proc/self/exe", error);
    const fs::path folder = error ? fs::current_path(error) : program.parent_path();
    if (error)
        return {};
    std::string text = folder.native();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

} // namespace kalvo
