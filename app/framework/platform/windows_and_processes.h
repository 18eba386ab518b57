// Windows of other programs and starting programs.
#pragma once

#include <string>
#include <windows.h>

namespace kalvo {

// Looks for a top-level window of any class whose title equals title (FindWindowW; the
// platform compares titles without regard to case) and posts it WM_CLOSE with both
// parameters 0, ignoring whether the post succeeds. True when a window was found. Whether
// the window really closes is up to its program.
bool CloseWindowByTitle(const std::wstring& title);

// Starts a command line in the ANSI code page through WinExec with show mode show
// (SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, ...). Quoting a program path that holds spaces is the
// caller's job. WinExec returns once the started program waits for input, or after a time
// limit. True when the program started.
bool RunProgram(const std::string& command_line, UINT show);

} // namespace kalvo
