#include "setup/sweep_guard.h"

#include <algorithm>
#include <cwctype>

namespace kalvo {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring WithoutClosingSeparators(std::wstring path) {
    while (!path.empty() && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

bool SameCharacter(wchar_t p, wchar_t q) {
    if (IsSeparator(p) && IsSeparator(q))
        return true;
    return std::towupper(std::wint_t(p)) == std::towupper(std::wint_t(q));
}

// Whether `folder` is `guarded` or a folder above it.
bool SameOrAbove(const std::wstring& folder, const std::wstring& guarded) {
    const std::wstring x = WithoutClosingSeparators(folder);
    const std::wstring y = WithoutClosingSeparators(guarded);
    if (x.empty() || x.size() > y.size() || !std::equal(x.begin(), x.end(), y.begin(), SameCharacter))
        return false;
    return x.size() == y.size() || IsSeparator(y[x.size()]);
}

// Where the part below the root starts ("C:\" -> 3, "\\server\share\" -> after the share),
// or npos when the path is not a full one.
std::size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && std::iswalpha(std::wint_t(path[0])) && path[1] == L':' &&
        IsSeparator(path[2]))
        return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        const std::size_t server_end = path.find_first_of(L"\\/", 2);
        if (server_end == std::wstring::npos || server_end == 2)
            return std::wstring::npos;
        const std::size_t share_end = path.find_first_of(L"\\/", server_end + 1);
        if (share_end == server_end + 1)
            return std::wstring::npos;
        return share_end == std::wstring::npos ? path.size() : share_end + 1;
    }
    return std::wstring::npos;
}

} // namespace

bool may_sweep(const std::wstring& folder, const std::vector<std::wstring>& shell_folders,
               const std::vector<std::wstring>& closed_folders) {
    // "\\?\C:\..." and "\\.\C:\..." reach any folder past the checks below.
    if (folder.size() >= 4 && IsSeparator(folder[0]) && IsSeparator(folder[1]) &&
        (folder[2] == L'?' || folder[2] == L'.') && IsSeparator(folder[3]))
        return false;
    const std::size_t root = RootLength(folder);
    if (root == std::wstring::npos)
        return false;
    // Nothing below the root: the root itself.
    if (WithoutClosingSeparators(folder).size() < root ||
        folder.find_first_not_of(L"\\/", root) == std::wstring::npos)
        return false;
    return std::none_of(shell_folders.begin(), shell_folders.end(),
                        [&](const std::wstring& shell) { return SameOrAbove(folder, shell); }) &&
           std::none_of(closed_folders.begin(), closed_folders.end(),
                        [&](const std::wstring& closed) { return SameOrAbove(closed, folder); });
}

} // namespace kalvo
