// The setup program's dealings with the shell: the desktop folder, the desktop shortcut, and
// the Program Manager conversation (service and topic "PROGMAN") for the group and its items.
// None of them reports a failure: an installation goes on without a shortcut or a group.
#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace kalvo {

class TDdeClientConv;

// The file-system path of special folder csidl (CSIDL_DESKTOPDIRECTORY for the install), the
// shell asked with `owner` as the window of any dialog it shows; "" when it cannot be resolved.
std::wstring get_special_folder(HWND owner, int csidl);

// The folders an uninstall never empties: the user's profile, desktop, documents, downloads,
// music, pictures and videos, the program files folders, the Windows folder and the system
// folders, as far as the shell resolves them.
std::vector<std::wstring> folders_never_swept(HWND owner);

// The shortcut's file: desktop_folder, a backslash when it does not end in one, and
// "Kalvo.Net.lnk". A desktop that could not be resolved ("") gives the bare file name.
std::wstring desktop_shortcut_path(const std::wstring& desktop_folder);

// Whether a path names a file called "Kalvo.Net.lnk" (in any letter case), as every shortcut
// the install makes is called.
bool is_desktop_shortcut_name(const std::wstring& path);

// Creates the shortcut at link_path to `client` with the description "Click here to start
// Kalvo.Net" and nothing else set.
void create_desktop_shortcut(const std::wstring& client, const std::wstring& link_path);

// The names of Program Manager's groups, one per line: the answer to the "Groups" request,
// waited for at most 10 s. "" when no server answers or no answer comes.
std::wstring program_manager_groups(TDdeClientConv& conversation);

// Sends the lines as one execute block (each followed by CR LF), without waiting for the
// server's answer. Nothing is sent when no server answers.
void program_manager_execute(TDdeClientConv& conversation, const std::vector<std::wstring>& lines);

} // namespace kalvo
