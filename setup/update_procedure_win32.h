// The update: the installed client replaced by the one this setup file carries. Nothing else of
// the installation changes.
#pragma once

#include <string>

namespace kalvo {

class TSetupFile;
class TSetupReport;

// Writes chunk 0 of `setup` beside the client at `client_path` ("kalvo.exe" in its folder) and
// puts it in the client's place only once it came out whole. True when the client was
// replaced. A damaged chunk (told through `report`) leaves the installed client as it was and
// returns false; a client that cannot be replaced throws the framework's file-creation error.
// Progress: 20 once the chunk is found, 60 once the new file exists, 100 when it is in place.
bool run_update(const std::wstring& client_path, TSetupFile& setup, TSetupReport& report);

} // namespace kalvo
