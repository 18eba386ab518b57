// Any bytes given to the JPEG wrapper end in a picture or in EInvalidGraphic; a decoded
// picture has the size the header announced.
#include "imaging/graphic_error.h"
#include "imaging/jpeg_decoder.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    try {
        const kalvo::TBitmap bitmap = kalvo::DecodeJPEG(file);
        const kalvo::TJPEGInfo info = kalvo::ReadJPEGInfo(file);
        if (bitmap.Width() != info.Width || bitmap.Height() != info.Height ||
            bitmap.PixelFormat() != kalvo::pf24bit)
            std::abort();
    } catch (const kalvo::EInvalidGraphic&) {
    }
    return 0;
}
