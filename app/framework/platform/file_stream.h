// TFileStream: a file opened for reading or made anew for writing, through the wide file
// functions, with the framework's error texts:
//   Cannot open file "NAME". REASON      (EFOpenError)
//   Cannot create file "NAME". REASON    (EFCreateError)
// where REASON is the system's message for the failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kalvo {

class EFileStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EFOpenError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
};
class EFCreateError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
};

// The system's message for an error code, without its closing full stop and line break.
std::string SystemErrorMessage(unsigned long error);

class TFileStream {
public:
    enum TMode {
        fmOpenReadShared, // an existing file, for reading; others may read and write it
        fmCreate,         // a new file, replacing one of that name, for writing
    };
    TFileStream(const std::wstring& path, TMode mode);
    ~TFileStream();
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // Up to `size` bytes; fewer only at the end of the file.
    std::size_t Read(void* buffer, std::size_t size);
    // All of them, or throws EFileStreamError.
    void Write(const void* data, std::size_t size);
    // Makes the system write what was written so far to the disk (FlushFileBuffers), or throws
    // EFileStreamError.
    void Flush();
    void Seek(std::uint64_t position);
    std::uint64_t Size() const;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    void* handle_;
};

} // namespace kalvo
