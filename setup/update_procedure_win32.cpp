#include "setup/update_procedure_win32.h"

#include "setup/install_layout.h"
#include "setup/message_table.h"
#include "setup/program_file_win32.h"
#include "setup/setup_file_win32.h"
#include "setup/setup_report.h"
#include "setup/setup_state.h"

namespace kalvo {

bool run_update(const std::wstring& client_path, TSetupFile& setup, TSetupReport& report) {
    report.Started();
    const std::wstring target = FolderOf(client_path) + ClientFileName;
    setup.Seek(SetupStubSize);
    report.Progress(20);
    try {
        replace_with_chunk(setup, target, [&] { report.Progress(60); });
    } catch (const EPayloadCorrupt&) {
        report.Tell(Notice(niDamagedSetup), nkError);
        return false;
    }
    report.Progress(100);
    return true;
}

} // namespace kalvo
