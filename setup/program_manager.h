// The Program Manager side of an installation, as text: the group name the install settles
// on, the command lines of the install and the uninstall, and the link that carries them (the
// setup window's DDE conversation; a recording stand-in in tests).
#pragma once

#include <string>
#include <vector>

namespace kalvo {

inline constexpr const wchar_t* DefaultGroupName = L"Kalvo";

// The group for an installation: the field's text, or DefaultGroupName when it is empty;
// " Client" is appended when a line of `groups` (the answer to the "Groups" request, one
// name per line) equals it exactly, and " 2" when a line equals that name too. Nothing is
// checked after that.
std::wstring choose_group_name(const std::wstring& field_text, const std::wstring& groups);

// The install's lines: create and show the group, add the client, the help file and the
// uninstaller. `folder` ends in a backslash. Names and paths go in as they are.
std::vector<std::wstring> InstallCommands(const std::wstring& group, const std::wstring& folder);
// The uninstall's lines: show the group, delete its three items, delete the group.
std::vector<std::wstring> UninstallCommands(const std::wstring& group);

// Whether the name can go into a command line as it is: no double quote and no square
// bracket, which would end the command and let the rest of the name be read as commands of
// its own, and no control character (a line break would split the block).
bool is_safe_group_name(const std::wstring& group);

// One execute block: every line followed by CR LF.
std::wstring CommandBlock(const std::vector<std::wstring>& lines);

// The conversation with Program Manager. Neither call reports a failure: an installation goes
// on without its group.
class TProgramManagerLink {
public:
    virtual ~TProgramManagerLink() = default;
    // The names of the groups, one per line; "" when no server answers.
    virtual std::wstring Groups() = 0;
    // Sends the lines as one execute block.
    virtual void Execute(const std::vector<std::wstring>& lines) = 0;
};

} // namespace kalvo
