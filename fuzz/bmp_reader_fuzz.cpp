// libFuzzer entry for the BMP reader. Refusing a file with EInvalidGraphic is fine; any other
// exception, crash or sanitizer report is a finding. A file that decodes must also survive a
// trip through the writer and back unchanged.
#include "imaging/bmp_codec.h"
#include "imaging/graphic_error.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kalvo::TBitmap bitmap;
    try {
        bitmap = kalvo::ReadBMP(std::span<const std::uint8_t>(data, size));
    } catch (const kalvo::EInvalidGraphic&) {
        return 0;
    }
    const std::vector<std::uint8_t> file = kalvo::WriteBMP(bitmap);
    // What the writer makes, the reader must read back; EInvalidGraphic here escapes too.
    const kalvo::TBitmap again = kalvo::ReadBMP(file);
    if (!kalvo::SamePixels(bitmap, again))
        std::abort();
    return 0;
}
