// The start-up decision: what this run of the setup program is for, from its own file, the
// installation record beside it, the installed client and the payload it carries; and the
// waits before the window appears.
#pragma once

#include "setup/installation_record_win32.h"
#include "setup/message_table.h"
#include "setup/setup_mode.h"
#include "setup/version.h"

#include <optional>
#include <string>

namespace kalvo {

struct TStartupDecision {
    TSetupMode Mode = smUninstallFinished;
    TStartupFacts Facts;
    // What the record next to the program says, when there is one.
    TInstallationRecord Installation;
    // The installed client's FileVersion text and what of it parsed, when the client exists.
    std::wstring InstalledVersionText;
    TVersionBytes InstalledVersion{};
    // Why installing or updating is not offered, when the payload made the mode give way:
    // niNoPayload for a file without one, niDamagedSetup for a damaged one.
    std::optional<TNoticeId> PayloadNotice;
};

// Reads the program's own size (the file opened with full sharing), the record next to it,
// the client's version, and, where the payload matters, checks every chunk by inflating it
// into nothing. Changes nothing on disk.
TStartupDecision decide_startup(const std::wstring& program_path);

// The wait before the window appears (2 s), then a running client is asked to close and given
// a second to do so.
void startup_wait();

} // namespace kalvo
