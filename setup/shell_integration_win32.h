// The setup program's dealings with the shell: the desktop folder, the desktop shortcut, and
// the Program Manager conversation (service and topic "PROGMAN") for the group and its items.
// None of them reports a failure: an installation goes on without a shortcut or a group.
#pragma once

#include "setup/program_manager.h"

#include <string>
#include <vector>
#include <windows.h>

namespace kalvo {

class TDdeClientConv;

// The file-system path of special folder csidl (CSIDL_DESKTOPDIRECTORY for the install), the
// shell asked with `owner` as the window of any dialog it shows; "" when it cannot be resolved.
std::wstring get_special_folder(HWND owner, int csidl);

// The shortcut's file: desktop_folder, a backslash when it does not end in one, and
// "Kalvo.Net.lnk". A desktop that could not be resolved ("") gives the bare file name.
std::wstring desktop_shortcut_path(const std::wstring& desktop_folder);

// Whether a path names a file called "Kalvo.Net.lnk" (in any letter case), as every shortcut
// the install makes is called.
bool is_desktop_shortcut_name(const std::wstring& path);

// Creates the shortcut at link_path to `client` with the description "Click here to start
// Kalvo.Net" and nothing else set.
void create_desktop_shortcut(const std::wstring& client, const std::wstring& link_path);

// Program Manager over a DDE conversation (service and topic "PROGMAN"), opened for each
// request and closed after it. Groups waits at most 10 s for the answer; Execute sends the
// lines as one block (each followed by CR LF) without waiting for the server's answer.
// Nothing is sent when no server answers.
class TDdeProgramManager : public TProgramManagerLink {
public:
    explicit TDdeProgramManager(TDdeClientConv& conversation) : conversation_(conversation) {}
    std::wstring Groups() override;
    void Execute(const std::vector<std::wstring>& lines) override;

private:
    bool Open();
    TDdeClientConv& conversation_;
};

} // namespace kalvo
