// Read-only access to one registry key at a time. A 32-bit program on 64-bit Windows sees the
// 32-bit view of HKLM\SOFTWARE (no KEY_WOW64_* flag is given), as the platform intends.
#pragma once

#include <optional>
#include <string>
#include <windows.h>

namespace kalvo {

class TRegistry {
public:
    TRegistry() = default;
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Opens root\path for reading (KEY_READ) without creating it, closing any key open
    // before. False when the key does not exist or may not be read.
    bool OpenKeyReadOnly(HKEY root, const std::wstring& path);
    void CloseKey();
    bool IsOpen() const { return key_ != nullptr; }

    // A REG_SZ or REG_EXPAND_SZ value of the open key as stored (environment references are
    // not expanded), up to its first zero character: data need not carry a closing zero, and
    // an odd last byte is dropped. nullopt when no key is open, the value is missing or of
    // another type.
    std::optional<std::wstring> ReadString(const std::wstring& value_name) const;

private:
    HKEY key_ = nullptr;
};

} // namespace kalvo
