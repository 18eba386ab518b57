#include "setup/setup_state.h"

namespace kalvo {

std::wstring InstallFolder;
std::wstring SetupFolder;
std::wstring ClientPath;
std::wstring GroupName;
std::wstring ShortcutPath;
std::uint8_t AlertResult = 0;
TVersionBytes InstalledVersion{};

} // namespace kalvo
