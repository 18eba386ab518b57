// The uninstall empties the installation folder that its record names. A damaged or foreign
// record could name a folder that holds far more than an installation; this guard says which
// folders the uninstall never empties.
#pragma once

#include <string>
#include <vector>

namespace kalvo {

// False for a folder the uninstall must not empty: an empty or relative path, a device or
// extended-length path ("\\?\", "\\.\"), a drive root ("C:\"), a share root
// ("\\server\share"), any of `shell_folders` (the user's profile, desktop, documents and so
// on) and any folder that holds one of them ("C:\Users"), and any folder inside one of
// `closed_folders` (the Windows folder), compared without regard to letter case or closing
// backslashes. `folder` should be a full path, "." and ".." resolved. The install refuses the
// same folders, so that every installation can be removed again.
bool may_sweep(const std::wstring& folder, const std::vector<std::wstring>& shell_folders,
               const std::vector<std::wstring>& closed_folders = {});

} // namespace kalvo
