// png-decode IN.png OUT.bmp: decodes a PNG picture with the skin decoder and writes it as a
// BMP file (32 bits with alpha for pictures that have alpha, 24 bits otherwise). A picture
// the decoder refuses prints the decoder's message and ends with exit code 1.
#include "imaging/bmp_codec.h"
#include "imaging/file_bytes.h"
#include "imaging/png_graphic.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: png-decode IN.png OUT.bmp\n");
        return 2;
    }
    try {
        kalvo::TPNGGraphic graphic;
        graphic.LoadFromBytes(kalvo::ReadFileBytes(argv[1]));
        kalvo::WriteFileBytes(argv[2], kalvo::WriteBMP(graphic));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
