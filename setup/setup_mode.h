// What this run of the setup program is for, decided once at start-up from the size of its
// own file, the installation record next to it and the installed client's version.
#pragma once

#include <cstdint>

namespace kalvo {

enum TSetupMode : std::uint8_t {
    smUninstallFinished, // the uninstall-finished page alone
    smInstall,
    smUpdate,
    smUninstall
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
    }
    return "?";
}

struct TStartupFacts {
    std::uint64_t OwnSize = 0;  // bytes of the running program's file
    bool RecordExists = false;  // uninstall.ini lies next to the program
    bool ClientExists = false;  // the client the record names exists
    bool UpdatePossible = false; // its version is not newer than the one carried here
};

// A file below FullSetupMinSize is the uninstaller copy, which carries no payload: it never
// installs or updates from itself, but with a record naming no existing client it still
// offers "Install".
TSetupMode DecideSetupMode(const TStartupFacts& facts);

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
