#include "setup/startup_win32.h"

#include "setup/file_version_win32.h"
#include "setup/program_file_win32.h"
#include "setup/running_client_win32.h"
#include "setup/setup_file_win32.h"
#include "setup/setup_state.h"

#include <windows.h>

namespace kalvo {

namespace {

// A fixed pause before the window appears, and a moment for a client that was asked to close.
constexpr DWORD StartupWait = 2000;
constexpr DWORD ClientCloseWait = 1000;

} // namespace

TStartupDecision decide_startup(const std::wstring& program_path) {
    TStartupDecision decision;
    TStartupFacts& facts = decision.Facts;
    // Opened once, shared for reading and writing by others, so that it works on the running
    // program itself: its size now, its payload below.
    TSetupFile setup(program_path);
    facts.OwnSize = setup.Size();
    const std::wstring record = FolderOf(program_path) + RecordFileName;
    facts.RecordExists = FileExists(record);
    if (facts.RecordExists) {
        decision.Installation = read_installation_record(record);
        facts.ClientExists = FileExists(decision.Installation.ClientPath);
        if (facts.ClientExists) {
            decision.InstalledVersionText = get_file_version(decision.Installation.ClientPath);
            // Whatever fields convert count; the rest stay 0.
            extract_version_bytes(decision.InstalledVersionText, decision.InstalledVersion);
            facts.UpdatePossible = UpdatePossible(AvailableVersion, decision.InstalledVersion);
        }
    }
    if (PayloadMatters(facts)) {
        setup.Seek(SetupStubSize);
        facts.Payload = CheckPayload(setup);
        if (facts.Payload != psWhole)
            decision.PayloadNotice = facts.Payload == psNone ? niNoPayload : niDamagedSetup;
    }
    decision.Mode = DecideSetupMode(facts);
    return decision;
}

void startup_wait() {
    Sleep(StartupWait);
    if (ask_running_client_to_close())
        Sleep(ClientCloseWait);
}

} // namespace kalvo
