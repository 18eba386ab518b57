// The part of the skin's file access that differs per system: how path text (8-bit, in the
// system code page, "\" as the separator) becomes a file system path and back, and where the
// running program lies. CMake builds one of skin_paths_win32.cpp (Windows: through the ANSI
// code page) and skin_paths_posix.cpp (elsewhere: "\" read as "/").
#pragma once

#include <filesystem>
#include <string>

namespace kalvo {

// The file system path that path text names; empty when the text cannot be converted.
std::filesystem::path SkinPathFromText(const std::string& text);

// A path (or a name) as path text; empty when it cannot be converted.
std::string SkinTextFromPath(const std::filesystem::path& path);

// The folder of the running program as path text with "\" as the separator, without a
// closing one; empty when the system cannot tell.
std::string RunningProgramFolderText();

} // namespace kalvo
