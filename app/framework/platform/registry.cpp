#include "app/framework/platform/registry.h"

#include <cstring>
#include <vector>

namespace kalvo {

bool TRegistry::OpenKeyReadOnly(HKEY root, const std::wstring& path) {
    CloseKey();
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    key_ = key;
    return true;
}

void TRegistry::CloseKey() {
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

std::optional<std::wstring> TRegistry::ReadString(const std::wstring& value_name) const {
    if (!key_)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key_, value_name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data;
    // The value may grow between the two calls; ask again until it fits.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return std::nullopt;
        data.resize(size + sizeof(wchar_t));
        size = DWORD(data.size());
        status = RegQueryValueExW(key_, value_name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ)
                return std::nullopt;
            std::wstring text(size / sizeof(wchar_t), L'\0');
            std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
            const size_t end = text.find(L'\0');
            if (end != std::wstring::npos)
                text.resize(end);
            return text;
        }
    }
    return std::nullopt;
}

} // namespace kalvo
