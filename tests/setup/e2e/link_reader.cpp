// Reads a shell link file through the shell's link object and prints what it holds, so that
// the end-to-end tests can check a shortcut the way the shell sees it.
//
//     kalvo_link_reader LINK OUTPUT
//
// Writes to OUTPUT (UTF-8, one "key=value" line each): path, description, arguments,
// working_directory, icon_location, icon_index, show_command, hotkey. Exit code 0, or 1 when
// LINK cannot be loaded as a shell link, 2 for a wrong command line, 3 when OUTPUT cannot be
// written.
#include "app/framework/platform/text_convert.h"
#include "app/framework/platform/shell_link.h"

#include <fstream>
#include <optional>
#include <string>
#include <windows.h>

using kalvo::WideToUtf8;

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return 2;
    const std::optional<kalvo::TShellLinkInfo> link = kalvo::ReadShellLink(argv[1]);
    if (!link)
        return 1;
    std::ofstream output(argv[2], std::ios::binary);
    output << "path=" << WideToUtf8(link->path) << "\n"
           << "description=" << WideToUtf8(link->description) << "\n"
           << "arguments=" << WideToUtf8(link->arguments) << "\n"
           << "working_directory=" << WideToUtf8(link->working_directory) << "\n"
           << "icon_location=" << WideToUtf8(link->icon_location) << "\n"
           << "icon_index=" << link->icon_index << "\n"
           << "show_command=" << link->show_command << "\n"
           << "hotkey=" << link->hotkey << "\n";
    output.close();
    return output ? 0 : 3;
}
