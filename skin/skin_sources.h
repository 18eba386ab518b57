// Where a skin comes from: a packed file in the skin directory, a skin folder there, or one
// of the internal skins stored with the form; and the list of all skins available.
#pragma once

#include "skin/skin_files.h"

#include <string>
#include <vector>

namespace kalvo {

// The skin directory as written, with a separator appended ("" stays "", "x\" stays,
// a final "/" becomes "\", a drive letter "c" gets ":\", anything else gets "\").
std::string SkinDirectoryAsWritten(const std::string& directory);

// The skin directory resolved against the program's folder (`program_folder` ends in "\");
// the result has no trailing separator of its own.
std::string FullSkinDirectory(const std::string& directory, const std::string& program_folder);

enum class TSkinSourceKind { None, PackedFile, Folder, Internal };

struct TSkinSource {
    TSkinSourceKind Kind = TSkinSourceKind::None;
    std::string Path;        // the ".asz" file, or the folder skin's Options.dat
    std::string SkinFolder;  // what TsSkinData.SkinFolder becomes
    int InternalIndex = -1;  // the internal skin taken
    std::string SkinName;    // the name asked for, or the internal skin's name taken instead
};

// Looks for `skin_name` as a packed file, then as a skin folder, then among the internal
// skins (given by their names, in collection order). Kind None when there are no internal
// skins and neither file nor folder exists.
TSkinSource FindSkinSource(const ISkinFiles& files, const std::string& skin_directory,
                           const std::string& skin_name,
                           const std::vector<std::string>& internal_names);

// Kind of ListSkinNames: 0 folder skins, 1 packed files, 2 both.
enum TSkinListKind { slFolders = 0, slPacked = 1, slBoth = 2 };

// Fills `list` with the internal skins' names and the skins found in the full skin
// directory, sorted case-insensitively; returns the first name found.
std::string ListSkinNames(const ISkinFiles& files, const std::string& skin_directory,
                          const std::vector<std::string>& internal_names, int kind,
                          std::vector<std::string>& list);

} // namespace kalvo
