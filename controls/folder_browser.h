// The platform's folder browser, as the folder field uses it: rooted at a shell special folder
// named like "rfDesktop" or at a folder path, a folder preselected, only file-system folders
// accepted.
#pragma once

#include <windows.h>
// The shell's types build on those of <windows.h>.
#include <functional>
#include <memory>
#include <optional>
#include <shlobj.h>
#include <string>
#include <string_view>

namespace kalvo {

struct TFolderBrowseRequest {
    HWND Owner = nullptr;       // the window the browser is modal to, or none
    std::wstring Root;          // a root name ("rfDesktop", ...) or a folder path
    std::wstring InitialFolder; // selected when the browser opens; empty for none
};

// Answers the chosen folder's path, or nothing when the user cancels.
using TFolderBrowser = std::function<std::optional<std::wstring>(const TFolderBrowseRequest&)>;

// The special folder (CSIDL) a root name stands for; nothing for any other text.
std::optional<int> RootFolderCsidl(std::wstring_view root);

struct TItemIdListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using TItemIdList = std::unique_ptr<ITEMIDLIST, TItemIdListFree>;

// The shell's item identifier list for a root: the special folder a root name stands for, or
// a folder path ("C:" is taken as "C:\", relative paths from the current folder). Throws
// std::runtime_error ("Error Setting Path: ...") when the shell knows no such folder.
TItemIdList RootFolderIdList(const std::wstring& root);

// Shows the system's folder browser (SHBrowseForFolderW) modally. Errors of the root as
// RootFolderIdList raises them.
std::optional<std::wstring> ShowFolderBrowser(const TFolderBrowseRequest& request);

} // namespace kalvo
