// The client while the setup works: a running one is asked to close, and the installed one is
// started when the user finishes.
#pragma once

#include <string>

namespace kalvo {

// Looks for the client's main window by each of its titles in turn; the first one found is
// asked to close. True when one was found. Whether it really closes is not waited for.
bool ask_running_client_to_close();

// Starts the client at `client_path` in a normal window (WinExec, ANSI command line). The path
// is quoted, so that a folder with spaces in its name starts the right program.
void launch_client(const std::wstring& client_path);

} // namespace kalvo
