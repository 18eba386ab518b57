// The installation record, uninstall.ini: where the client is, its Program Manager group and
// its desktop shortcut. An INI file in the ANSI code page with one section and four keys.
#pragma once

#include <string>

namespace kalvo {

struct TInstallationRecord {
    std::wstring ClientPath; // u_path; "" when missing
    std::wstring GroupName;  // u_group; "" when missing
    std::wstring ShortcutPath; // u_ico_path when u_ico is exactly 1, otherwise NoShortcut
};

TInstallationRecord read_installation_record(const std::wstring& path);

// Writes the four keys in their order: u_path, u_group, u_ico (1 with a desktop shortcut,
// else 0) and u_ico_path (the shortcut's path, else NoShortcut). Throws EIniFileError
// ("Unable to write to " and the file name) when the file cannot be written.
void write_installation_record(const std::wstring& path, const TInstallationRecord& record,
                               bool desktop_shortcut);

} // namespace kalvo
