// What this run of the setup program is for, decided once at start-up from the size of its
// own file, the installation record next to it, the installed client's version and whether
// the file's payload would unpack whole.
#pragma once

#include "setup/payload.h"

#include <cstdint>

namespace kalvo {

enum TSetupMode : std::uint8_t {
    smUninstallFinished, // the uninstall-finished page alone
    smInstall,
    smUpdate,
    smUninstall,
    smNoAction, // a damaged full setup with no installation beside it: nothing can be done
};

inline constexpr const char* SetupModeName(TSetupMode mode) {
    switch (mode) {
    case smUninstallFinished:
        return "UninstallFinished";
    case smInstall:
        return "Install";
    case smUpdate:
        return "Update";
    case smUninstall:
        return "Uninstall";
    case smNoAction:
        return "NoAction";
    }
    return "?";
}

struct TStartupFacts {
    std::uint64_t OwnSize = 0;  // bytes of the running program's file
    bool RecordExists = false;  // uninstall.ini lies next to the program
    bool ClientExists = false;  // the client the record names exists
    bool UpdatePossible = false; // its version is not newer than the one carried here
    // Whether the payload would unpack whole; looked at only where the mode needs it.
    TPayloadState Payload = psWhole;
};

// The mode by size, record, client and version; then, where the payload matters, a payload
// that is missing or damaged makes the mode give way: to Uninstall when a record lies beside
// the program, otherwise to NoAction. A file below FullSetupMinSize is the uninstaller copy:
// it never updates, and it installs only from a payload of its own.
TSetupMode DecideSetupMode(const TStartupFacts& facts);

// Whether the payload decides anything: the mode by size and record would unpack it (Install,
// Update), or the file is longer than its program image and so was meant to carry one (a
// download cut short below FullSetupMinSize is a damaged setup file, not an uninstaller).
bool PayloadMatters(const TStartupFacts& facts);

// The enabled and checked state of the action page's three choices in a mode. The
// uninstall-finished page shows none of them; their state is left as the form made it.
struct TActionChoices {
    bool InstallEnabled = false, InstallChecked = false;
    bool UpdateEnabled = false, UpdateChecked = false;
    bool UninstallEnabled = false, UninstallChecked = false;
    bool operator==(const TActionChoices&) const = default;
};
TActionChoices ActionChoices(TSetupMode mode);

} // namespace kalvo
