#include "setup/folders_win32.h"

#include <memory>
#include <windows.h>

namespace kalvo {

namespace {

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool ForceDirectories(const std::wstring& path) {
    std::wstring folder = path;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    if (folder.empty())
        return false;
    // A drive ("C:") or a path that already is a folder: nothing to make.
    if (FolderExists(folder + L'\\'))
        return true;
    const std::size_t slash = folder.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0 && !ForceDirectories(folder.substr(0, slash)))
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || FolderExists(folder);
}

std::wstring FullPathName(const std::wstring& path) {
    if (path.empty())
        return {};
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    return full;
}

std::wstring LongPathName(const std::wstring& path) {
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring long_path(size, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), long_path.data(), size);
    if (length == 0 || length >= size)
        return {};
    long_path.resize(length);
    return long_path;
}

std::wstring FinalPathName(const std::wstring& folder) {
    const HANDLE handle = CreateFileW(folder.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), DWORD(path.size()), 0);
    if (length >= path.size()) {
        path.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, path.data(), DWORD(path.size()), 0);
    }
    CloseHandle(handle);
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    // The system answers with an extended-length path.
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

std::wstring WithoutClosingBackslash(const std::wstring& path) {
    std::wstring trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == L'\\' || trimmed.back() == L'/') &&
           trimmed[trimmed.size() - 2] != L':')
        trimmed.pop_back();
    return trimmed;
}

void for_each_entry(const std::wstring& path,
                    const std::function<void(const std::wstring& name, unsigned long attributes)>& visit) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((path + L"\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    // Closed however the visits end.
    const std::unique_ptr<void, decltype(&FindClose)> closer(search, &FindClose);
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || name == L"." || name == L"..")
            continue;
        visit(name, entry.dwFileAttributes);
    } while (FindNextFileW(search, &entry));
}

void delete_entry(const std::wstring& path, unsigned long attributes, const TNotDeleted& not_deleted) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // The link goes, what it points at stays. A link to a folder is removed as a folder;
        // a link to a file, or a folder link the system keeps as a file, as a file.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && RemoveDirectoryW(path.c_str()))
            return;
        if (!DeleteFileW(path.c_str()) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            not_deleted(path);
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        delete_tree(path, not_deleted);
        return;
    }
    if (attributes != FILE_ATTRIBUTE_ARCHIVE)
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (!DeleteFileW(path.c_str()))
        not_deleted(path);
}

void delete_tree(const std::wstring& path, const TNotDeleted& not_deleted) {
    for_each_entry(path, [&](const std::wstring& name, unsigned long attributes) {
        delete_entry(path + L"\\" + name, attributes, not_deleted);
    });
    RemoveDirectoryW(path.c_str());
}

} // namespace kalvo
