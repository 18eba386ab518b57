// Finding a skin by name, and listing the skins a manager can offer. All path text uses "\"
// as written by the manager's properties; ISkinFiles turns it into real paths.
#include "skin/skin_sources.h"

#include "skin/skin_package.h"

#include <algorithm>

namespace kalvo {

namespace {

const char* const OptionsFileName = "Options.dat";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The parent of a folder given with its trailing separator, again with its separator; a
// root folder is its own parent.
std::string ParentFolder(const std::string& folder) {
    std::size_t end = folder.size();
    while (end > 0 && IsSeparator(folder[end - 1]))
        --end;
    std::size_t cut = end;
    while (cut > 0 && !IsSeparator(folder[cut - 1]))
        --cut;
    if (cut == 0)
        return folder;
    return folder.substr(0, cut);
}

std::string FolderWithSeparator(const std::string& folder) {
    if (!folder.empty() && IsSeparator(folder.back()))
        return folder;
    return folder + "\\";
}

} // namespace

std::string SkinDirectoryAsWritten(const std::string& directory) {
    if (directory.empty() || directory.back() == '\\')
        return directory;
    if (directory.back() == '/')
        return directory.substr(0, directory.size() - 1) + "\\";
    if (directory.size() == 1)
        return directory + ":\\";
    return directory + "\\";
}

std::string FullSkinDirectory(const std::string& directory, const std::string& program_folder) {
    const std::string program = FolderWithSeparator(program_folder);
    if (directory.compare(0, 2, "..") == 0)
        return ParentFolder(program) + (directory.size() > 3 ? directory.substr(3) : "");
    if (directory.compare(0, 2, ".\\") == 0 || directory.compare(0, 2, "./") == 0)
        return program + directory.substr(2);
    if (directory.find(':') == std::string::npos && directory.find("\\\\") == std::string::npos)
        return program + directory;
    return directory;
}

TSkinSource FindSkinSource(const ISkinFiles& files, const std::string& skin_directory,
                           const std::string& skin_name,
                           const std::vector<std::string>& internal_names) {
    TSkinSource source;
    source.SkinName = skin_name;

    const std::string packed = SkinDirectoryAsWritten(skin_directory) + skin_name + ".asz";
    const std::string full = FullSkinDirectory(skin_directory, files.ProgramFolder());
    if (files.FileExists(packed)) {
        source.Kind = TSkinSourceKind::PackedFile;
        source.Path = packed;
        source.SkinFolder = full + "\\";
        return source;
    }

    const std::string folder = full + "\\" + skin_name + "\\";
    if (files.FileExists(folder + OptionsFileName)) {
        source.Kind = TSkinSourceKind::Folder;
        source.Path = folder + OptionsFileName;
        source.SkinFolder = folder;
        return source;
    }

    if (internal_names.empty())
        return source;
    const auto match = std::find(internal_names.begin(), internal_names.end(), skin_name);
    source.Kind = TSkinSourceKind::Internal;
    source.InternalIndex =
        match == internal_names.end() ? 0 : int(match - internal_names.begin());
    source.SkinName = internal_names[std::size_t(source.InternalIndex)];
    return source;
}

std::string ListSkinNames(const ISkinFiles& files, const std::string& skin_directory,
                          const std::vector<std::string>& internal_names, int kind,
                          std::vector<std::string>& list) {
    list.clear();
    std::vector<std::string> names = internal_names;
    bool found = !internal_names.empty();
    std::string first = found ? internal_names.front() : std::string();

    const bool folders = kind == slFolders || kind == slBoth;
    const bool packed = kind == slPacked || kind == slBoth;
    const std::string full = FullSkinDirectory(skin_directory, files.ProgramFolder());
    if ((folders || packed) && files.DirectoryExists(full)) {
        for (const TSkinDirEntry& entry : files.ListDirectory(full)) {
            if (entry.Name.empty() || entry.Name.front() == '.')
                continue;
            std::string name;
            if (entry.IsDirectory) {
                if (!folders ||
                    !files.FileExists(full + "\\" + entry.Name + "\\" + OptionsFileName))
                    continue;
                name = entry.Name;
            } else {
                const std::size_t last_dot = entry.Name.rfind('.');
                if (!packed || last_dot == std::string::npos ||
                    entry.Name.compare(last_dot, std::string::npos, ".asz") != 0)
                    continue;
                name = entry.Name.substr(0, entry.Name.find('.'));
            }
            if (!found) {
                found = true;
                first = name;
            }
            names.push_back(std::move(name));
        }
    }

    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return SkinUpperCase(a) < SkinUpperCase(b);
    });
    list = std::move(names);
    return first;
}

} // namespace kalvo
