#include "controls/folder_browser.h"

#include "app/framework/platform/text_convert.h"

#include <stdexcept>
#include <utility>

namespace kalvo {

namespace {

const std::pair<std::wstring_view, int> RootNames[] = {
    {L"rfDesktop", 0},
    {L"rfMyComputer", 17},
    {L"rfNetwork", 18},
    {L"rfRecycleBin", 10},
    {L"rfAppData", 26},
    {L"rfCommonDesktopDirectory", 25},
    {L"rfCommonPrograms", 23},
    {L"rfCommonStartMenu", 22},
    {L"rfCommonStartup", 24},
    {L"rfControlPanel", 3},
    {L"rfDesktopDirectory", 16},
    {L"rfFavorites", 6},
    {L"rfFonts", 20},
    {L"rfInternet", 1},
    {L"rfPersonal", 5},
    {L"rfPrinters", 4},
    {L"rfPrintHood", 27},
    {L"rfPrograms", 2},
    {L"rfRecent", 8},
    {L"rfSendTo", 9},
    {L"rfStartMenu", 11},
    {L"rfStartup", 7},
    {L"rfTemplates", 21},
};

// COM for the calling thread while the object lives. The new-style browser needs a
// single-threaded apartment; a thread already in the multithreaded one keeps it and gets the
// old-style browser.
class TComApartment {
public:
    TComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

    bool SingleThreaded() const { return result_ != RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

[[noreturn]] void FailRoot(const std::wstring& root) {
    throw std::runtime_error("Error Setting Path: " + WideToUtf8(root));
}

// Preselects the requested folder once the browser's window exists. A named function, not a
// lambda: the shell calls it with the stdcall convention.
int CALLBACK BrowseCallbackProc(HWND window, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED) {
        const auto* folder = reinterpret_cast<const std::wstring*>(data);
        if (folder && !folder->empty())
            SendMessageW(window, BFFM_SETSELECTIONW, TRUE, LPARAM(folder->c_str()));
    }
    return 0;
}

} // namespace

std::optional<int> RootFolderCsidl(std::wstring_view root) {
    for (const auto& [name, csidl] : RootNames)
        if (name == root)
            return csidl;
    return std::nullopt;
}

TItemIdList RootFolderIdList(const std::wstring& root) {
    TComApartment com;
    ITEMIDLIST* list = nullptr;
    if (const std::optional<int> csidl = RootFolderCsidl(root)) {
        if (FAILED(SHGetFolderLocation(nullptr, *csidl, nullptr, 0, &list)) || !list)
            FailRoot(root);
        return TItemIdList(list);
    }
    std::wstring path = root;
    if (!path.empty() && path.back() == L':')
        path += L'\\';
    const DWORD size = path.empty() ? 0 : GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        FailRoot(root);
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    if (full.empty() || FAILED(SHParseDisplayName(full.c_str(), nullptr, &list, 0, nullptr)) ||
        !list)
        FailRoot(root);
    return TItemIdList(list);
}

std::optional<std::wstring> ShowFolderBrowser(const TFolderBrowseRequest& request) {
    TComApartment com;
    const TItemIdList root = RootFolderIdList(request.Root);
    wchar_t display_name[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = request.Owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = display_name;
    info.ulFlags = BIF_RETURNONLYFSDIRS | (com.SingleThreaded() ? BIF_NEWDIALOGSTYLE : 0);
    info.lpfn = BrowseCallbackProc;
    info.lParam = LPARAM(&request.InitialFolder);
    const TItemIdList chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path) || !path[0])
        return std::nullopt;
    return std::wstring(path);
}

} // namespace kalvo
