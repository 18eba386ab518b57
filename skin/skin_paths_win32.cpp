// Skin path text on Windows: 8-bit text in the ANSI code page, converted to and from the
// UTF-16 of the file system, so that skin names outside ASCII reach the right files.
#include "app/framework/platform/program_path.h"
#include "app/framework/platform/text_convert.h"
#include "skin/skin_paths.h"

namespace kalvo {

std::filesystem::path SkinPathFromText(const std::string& text) {
    return std::filesystem::path(AnsiToWide(text));
}

std::string SkinTextFromPath(const std::filesystem::path& path) {
    return WideToAnsi(path.native());
}

std::string RunningProgramFolderText() {
    const std::wstring program = RunningProgramPath();
    if (program.empty())
        return {};
    return SkinTextFromPath(std::filesystem::path(program).parent_path());
}

} // namespace kalvo
