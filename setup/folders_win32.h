// Folders of an installation on disk: making them, and removing them with what they hold.
#pragma once

#include <functional>
#include <string>

namespace kalvo {

// Creates the folder `path` (a trailing backslash is allowed) and every missing folder above
// it. True when the folder exists afterwards.
bool ForceDirectories(const std::wstring& path);

// The full path of `path`, its "." and ".." resolved (GetFullPathNameW); "" when it has none.
std::wstring FullPathName(const std::wstring& path);
// The long form of an existing path, short (8.3) names expanded; "" when it has none.
std::wstring LongPathName(const std::wstring& path);
// Where an existing folder really lies, links (junctions, symbolic links) resolved, as a plain
// path (a drive letter or a share, without the extended-length prefix); "" when the system
// cannot tell.
std::wstring FinalPathName(const std::wstring& folder);
// The path without its closing backslashes; a drive's root keeps its own ("E:" and "\").
std::wstring WithoutClosingBackslash(const std::wstring& path);

// Called with the full name of a file that could not be deleted; the removal goes on after.
using TNotDeleted = std::function<void(const std::wstring& file)>;

// Removes one entry of a folder being emptied: a folder with everything in it (delete_tree),
// a link to a folder (a symbolic link or junction) by itself, without looking inside, or a
// file, made plain (attributes 32, archive only) first.
void delete_entry(const std::wstring& path, unsigned long attributes, const TNotDeleted& not_deleted);

// Removes the folder `path` (without a closing backslash) with all its files and subfolders,
// then the folder itself. Links inside are removed, never followed. Failures are reported
// only through not_deleted (files) or leave the folder in place (folders).
void delete_tree(const std::wstring& path, const TNotDeleted& not_deleted);

// Calls visit(name, attributes) for every entry of folder `path` (hidden, system and
// read-only ones included), with the entry's own name, skipping "." and "..".
void for_each_entry(const std::wstring& path,
                    const std::function<void(const std::wstring& name, unsigned long attributes)>& visit);

} // namespace kalvo
