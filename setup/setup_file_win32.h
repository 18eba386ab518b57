// The running setup file, opened once per procedure, and the two things a procedure takes
// from it: a payload chunk unpacked into a file, and the uninstaller copy.
#pragma once

#include "app/framework/platform/file_stream.h"
#include "setup/payload.h"

#include <functional>
#include <string>

namespace kalvo {

// The setup file read from its current position on. Opened for reading with full sharing,
// so that it works on the running program itself.
class TSetupFile : public TByteSource {
public:
    explicit TSetupFile(const std::wstring& path) : file_(path, TFileStream::fmOpenReadShared) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        return file_.Read(buffer, size);
    }
    void Seek(std::uint64_t position) { file_.Seek(position); }
    std::uint64_t Size() const { return file_.Size(); }

private:
    TFileStream file_;
};

// Unpacks the chunk next in `setup` into the file `target`, made anew (EFCreateError when it
// cannot be). A damaged chunk leaves what was written before the damage and throws
// EPayloadCorrupt; `setup` is then at no defined place.
void unpack_chunk(TSetupFile& setup, const std::wstring& target);

// Unpacks the chunk next in `setup` into a new file beside `target` ("<target>.new") and,
// only once the chunk has come out whole, puts that file in the target's place. Until then the
// target stays exactly as it was: a damaged chunk throws EPayloadCorrupt, a target that
// cannot be replaced (a client still running) EFCreateError with the target's name, and the
// new file is removed in both cases. `created` runs once the new file exists.
void replace_with_chunk(TSetupFile& setup, const std::wstring& target,
                        const std::function<void()>& created);

// Writes the first SetupStubSize bytes of `setup`, the program image, into the file `target`.
void make_uninstaller_copy(TSetupFile& setup, const std::wstring& target);

} // namespace kalvo
