#include "setup/setup_file_win32.h"

#include "app/framework/platform/text_convert.h"
#include "setup/setup_state.h"

#include <windows.h>

namespace kalvo {

namespace {

class TTargetFile : public TByteSink {
public:
    explicit TTargetFile(const std::wstring& path) : file_(path, TFileStream::fmCreate) {}
    void Write(const std::uint8_t* data, std::size_t size) override { file_.Write(data, size); }
    void Flush() { file_.Flush(); }

private:
    TFileStream file_;
};

} // namespace

void unpack_chunk(TSetupFile& setup, const std::wstring& target) {
    TTargetFile file(target);
    UnpackChunk(setup, file);
}

void replace_with_chunk(TSetupFile& setup, const std::wstring& target,
                        const std::function<void()>& created) {
    const std::wstring fresh = target + L".new";
    try {
        {
            TTargetFile file(fresh);
            created();
            UnpackChunk(setup, file);
            // On the disk before it takes the old client's place.
            file.Flush();
        }
        if (!MoveFileExW(fresh.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            throw EFCreateError("Cannot create file \"" + WideToUtf8(target) + "\". " +
                                SystemErrorMessage(error));
        }
    } catch (...) {
        DeleteFileW(fresh.c_str());
        throw;
    }
}

void make_uninstaller_copy(TSetupFile& setup, const std::wstring& target) {
    setup.Seek(0);
    TTargetFile file(target);
    CopyBytes(setup, file, SetupStubSize);
}

} // namespace kalvo
