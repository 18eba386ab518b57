#include "setup/installation_record_win32.h"

#include "app/framework/platform/ini_file.h"
#include "setup/setup_state.h"

namespace kalvo {

TInstallationRecord read_installation_record(const std::wstring& path) {
    const TIniFile ini(path);
    TInstallationRecord record;
    record.ClientPath = ini.ReadString(RecordSection, RecordClientPathKey, L"");
    record.GroupName = ini.ReadString(RecordSection, RecordGroupKey, L"");
    // A path without the flag names no shortcut.
    record.ShortcutPath = ini.ReadInteger(RecordSection, RecordShortcutFlagKey, 0) == 1
                              ? ini.ReadString(RecordSection, RecordShortcutPathKey, L"")
                              : NoShortcut;
    return record;
}

void write_installation_record(const std::wstring& path, const TInstallationRecord& record,
                               bool desktop_shortcut) {
    TIniFile ini(path);
    ini.WriteString(RecordSection, RecordClientPathKey, record.ClientPath);
    ini.WriteString(RecordSection, RecordGroupKey, record.GroupName);
    ini.WriteInteger(RecordSection, RecordShortcutFlagKey, desktop_shortcut ? 1 : 0);
    ini.WriteString(RecordSection, RecordShortcutPathKey,
                    desktop_shortcut ? record.ShortcutPath : NoShortcut);
}

} // namespace kalvo
