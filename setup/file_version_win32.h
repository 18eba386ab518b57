// The version text a program file carries in its version resource.
#pragma once

#include <string>

namespace kalvo {

// The "FileVersion" string of the file's version resource, as stored (e.g. "1.1.0.4"), read
// from the string table of the first translation the resource lists. "" when the file cannot
// be read, has no version resource, lists no translation, or that translation's table has no
// FileVersion value.
std::wstring get_file_version(const std::wstring& path);

} // namespace kalvo
