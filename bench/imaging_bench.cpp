// Picture codecs against copying the bytes they produce.
#include "bench/bench.h"
#include "imaging/bmp_codec.h"
#include "imaging/png_writer.h"

#include <cstring>
#include <memory>
#include <vector>

namespace kalvo::bench {
namespace {

// A picture the size of the setup window's side picture, with some detail in it.
TBitmap SamplePicture(TPixelFormat format) {
    TBitmap bitmap(480, 322, format);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.SetPixel(
                x, y, RGBColor(std::uint8_t(x), std::uint8_t(y * 3), std::uint8_t((x ^ y) * 5)),
                std::uint8_t(x + y));
    return bitmap;
}

// Copying the decoded picture's bytes once: what any decoder has to do at least.
Body CopyBytes(std::size_t size) {
    return [source = std::vector<std::uint8_t>(size, 7),
            target = std::vector<std::uint8_t>(size)]() mutable {
        std::memcpy(target.data(), source.data(), source.size());
        Consume(target.data());
    };
}

const std::size_t PictureBytes24 = RowBytes(480, pf24bit) * 322;
const std::size_t PictureBytes32 = RowBytes(480, pf32bit) * 322;

Register read_bmp24({"ReadBMP 24-bit 480x322", "copying the pixels", CopyBytes(PictureBytes24),
                     [file = WriteBMP(SamplePicture(pf24bit))] {
                         Consume(ReadBMP(file).Row0());
                     }});

Register read_bmp32({"ReadBMP 32-bit 480x322", "copying the pixels", CopyBytes(PictureBytes32),
                     [file = WriteBMP(SamplePicture(pf32bit))] {
                         Consume(ReadBMP(file).Row0());
                     }});

Register encode_png({"EncodePNG 24-bit 480x322", "copying the pixels", CopyBytes(PictureBytes24),
                     [picture = std::make_shared<TBitmap>(SamplePicture(pf24bit))] {
                         Consume(EncodePNG(*picture).data());
                     }});

} // namespace
} // namespace kalvo::bench
