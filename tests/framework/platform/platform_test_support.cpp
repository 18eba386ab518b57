#include "platform_test_support.h"

#include "app/framework/platform/text_convert.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kalvo::test {

TTempFolder::TTempFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("GetTempPathW failed");
    // Under its long name, as the shell gives folders back.
    wchar_t full[MAX_PATH + 1] = {};
    const DWORD full_length = GetLongPathNameW(temp, full, MAX_PATH + 1);
    const std::wstring base = full_length && full_length <= MAX_PATH
                                  ? std::wstring(full, full_length)
                                  : std::wstring(temp, length);
    path_ = base + L"kalvo_platform_" +
            std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring FixtureProgram() {
    return ProgramFolder() + L"\\kalvo_platform_fixture.exe";
}

std::string ToAnsi(const std::wstring& text) {
    return WideToAnsi(text);
}

std::wstring FromAnsi(const std::string& text) {
    return AnsiToWide(text);
}

bool AnsiCanHold(const std::wstring& text) {
    BOOL used_default = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), nullptr, 0,
                        nullptr, &used_default);
    return !used_default && FromAnsi(ToAnsi(text)) == text;
}

std::string Utf8(const std::wstring& text) {
    return WideToUtf8(text);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount64() - start >= timeout_ms)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD duration_ms) {
    PumpUntil([] { return false; }, duration_ms);
}

} // namespace kalvo::test
