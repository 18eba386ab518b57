// libFuzzer entry for the PNG decoder. Refusing a file with EInvalidGraphic is fine; any other
// exception, crash or sanitizer report is a finding. A file that decodes must agree with what
// the header reader says of it, and the picture must survive a trip through the PNG writer
// and back unchanged.
#include "imaging/graphic_error.h"
#include "imaging/png_graphic.h"
#include "imaging/png_writer.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    kalvo::TPNGGraphic graphic;
    try {
        graphic.LoadFromBytes(file);
    } catch (const kalvo::EInvalidGraphic&) {
        if (!graphic.Empty())
            std::abort();
        return 0;
    }
    const kalvo::TPNGInfo info = kalvo::ReadPNGInfo(file);
    if (info.Width != graphic.Width() || info.Height != graphic.Height())
        std::abort();

    const std::vector<std::uint8_t> again_file = kalvo::EncodePNG(graphic);
    kalvo::TPNGGraphic again;
    again.LoadFromBytes(again_file);
    if (!kalvo::SamePixels(graphic, again))
        std::abort();
    return 0;
}
