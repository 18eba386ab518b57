#include "app/framework/platform/shell_link.h"

#include <windows.h>
// The shell's interfaces build on those of <windows.h>.
#include <shlobj.h>

namespace kalvo {

namespace {

// COM for the calling thread for the lifetime of the object. A thread already in another
// apartment (RPC_E_CHANGED_MODE) keeps it and may still create in-process objects.
class TComScope {
public:
    TComScope() : result_(CoInitialize(nullptr)) {}
    ~TComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    HRESULT result_;
};

} // namespace

bool CreateShellLink(const std::string& target, const std::string& description,
                     const std::wstring& link_path) {
    TComScope com;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(target.c_str()));
    ok = SUCCEEDED(link->SetDescription(description.c_str())) && ok;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        ok = SUCCEEDED(file->Save(link_path.c_str(), TRUE)) && ok;
        file->Release();
    } else {
        ok = false;
    }
    link->Release();
    return ok;
}

std::optional<TShellLinkInfo> ReadShellLink(const std::wstring& link_path) {
    TComScope com;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return std::nullopt;
    std::optional<TShellLinkInfo> result;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(link_path.c_str(), STGM_READ))) {
            TShellLinkInfo info;
            // INFOTIPSIZE (1024) bounds descriptions; paths and arguments get the same room.
            wchar_t text[INFOTIPSIZE] = {};
            if (link->GetPath(text, INFOTIPSIZE, nullptr, SLGP_RAWPATH) == S_OK)
                info.path = text;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetDescription(text, INFOTIPSIZE)))
                info.description = text;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetArguments(text, INFOTIPSIZE)))
                info.arguments = text;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetWorkingDirectory(text, INFOTIPSIZE)))
                info.working_directory = text;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetIconLocation(text, INFOTIPSIZE, &info.icon_index)))
                info.icon_location = text;
            link->GetShowCmd(&info.show_command);
            WORD hotkey = 0;
            link->GetHotkey(&hotkey);
            info.hotkey = hotkey;
            result = info;
        }
        file->Release();
    }
    link->Release();
    return result;
}

} // namespace kalvo
