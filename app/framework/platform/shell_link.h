// Shell link files (".lnk") through the shell's link object.
#pragma once

#include <optional>
#include <string>

namespace kalvo {

// Creates a link at link_path to target with a description and nothing else set. The target
// and description are handed over in the ANSI code page (IShellLinkA); the file name is
// UTF-16. The steps, in order: CoInitialize; CoCreateInstance of the shell link object for
// IShellLinkA (on failure straight to the last step); SetPath; SetDescription; IPersistFile
// (on failure straight to the release); Save with remember set; release; CoUninitialize.
// True only when every step succeeded and the file was saved.
bool CreateShellLink(const std::string& target, const std::string& description,
                     const std::wstring& link_path);

// What a link file holds, read through IShellLinkW and IPersistFile::Load.
struct TShellLinkInfo {
    std::wstring path; // the target
    std::wstring description;
    std::wstring arguments;
    std::wstring working_directory;
    std::wstring icon_location;
    int icon_index = 0;
    int show_command = 0;
    unsigned short hotkey = 0;
};

// nullopt when the file cannot be loaded as a shell link.
std::optional<TShellLinkInfo> ReadShellLink(const std::wstring& link_path);

} // namespace kalvo
