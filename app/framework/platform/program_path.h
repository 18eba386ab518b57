// Where the running program's file lies.
#pragma once

#include <string>

namespace kalvo {

// The full path of the running program's file (GetModuleFileNameW, with a buffer that grows
// until the path fits); "" when the system cannot tell.
std::wstring RunningProgramPath();

} // namespace kalvo
