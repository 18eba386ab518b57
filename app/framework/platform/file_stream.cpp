#include "app/framework/platform/file_stream.h"

#include "app/framework/platform/text_convert.h"

#include <algorithm>
#include <windows.h>

namespace kalvo {

namespace {

// Reads and writes go in pieces the 32-bit calls can take.
constexpr std::size_t MaxPiece = 1u << 30;

} // namespace

std::string SystemErrorMessage(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    return text.empty() ? "system error " + std::to_string(error) : WideToUtf8(text);
}

TFileStream::TFileStream(const std::wstring& path, TMode mode) : path_(path) {
    const bool create = mode == fmCreate;
    handle_ = CreateFileW(path.c_str(), create ? GENERIC_WRITE : GENERIC_READ,
                          create ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        const std::string reason = SystemErrorMessage(GetLastError());
        const std::string text = std::string(create ? "Cannot create file \"" : "Cannot open file \"") +
                                 WideToUtf8(path) + "\". " + reason;
        if (create)
            throw EFCreateError(text);
        throw EFOpenError(text);
    }
}

TFileStream::~TFileStream() {
    CloseHandle(handle_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const DWORD piece = DWORD(std::min(size - total, MaxPiece));
        DWORD got = 0;
        if (!ReadFile(handle_, static_cast<char*>(buffer) + total, piece, &got, nullptr))
            throw EFileStreamError("Cannot read file \"" + WideToUtf8(path_) + "\". " +
                                   SystemErrorMessage(GetLastError()));
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void TFileStream::Write(const void* data, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const DWORD piece = DWORD(std::min(size - total, MaxPiece));
        DWORD put = 0;
        if (!WriteFile(handle_, static_cast<const char*>(data) + total, piece, &put, nullptr) ||
            put == 0)
            throw EFileStreamError("Cannot write file \"" + WideToUtf8(path_) + "\". " +
                                   SystemErrorMessage(GetLastError()));
        total += put;
    }
}

void TFileStream::Flush() {
    if (!FlushFileBuffers(handle_))
        throw EFileStreamError("Cannot write file \"" + WideToUtf8(path_) + "\". " +
                               SystemErrorMessage(GetLastError()));
}

void TFileStream::Seek(std::uint64_t position) {
    LARGE_INTEGER to{};
    to.QuadPart = LONGLONG(position);
    if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN))
        throw EFileStreamError("Cannot seek in file \"" + WideToUtf8(path_) + "\". " +
                               SystemErrorMessage(GetLastError()));
}

std::uint64_t TFileStream::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size))
        throw EFileStreamError("Cannot read the size of file \"" + WideToUtf8(path_) + "\". " +
                               SystemErrorMessage(GetLastError()));
    return std::uint64_t(size.QuadPart);
}

} // namespace kalvo
