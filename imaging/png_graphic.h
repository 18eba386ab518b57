// PNG pictures for the skinning engine, decoded by our own decoder (zlib does the inflating).
//
// Every colour type and bit depth of the format is read, interlaced (Adam7) or not:
// greyscale of 1, 2, 4, 8 and 16 bits, truecolour and truecolour with alpha of 8 and 16 bits,
// indexed of 1, 2, 4 and 8 bits, greyscale with alpha of 8 and 16 bits. Samples of 16 bits
// become 8 bits as value * 255 / 65535 rounded down; greyscale of fewer bits is scaled so
// that its largest value is white.
//
// What each picture becomes: pictures with an alpha channel (truecolour or greyscale with
// alpha, and indexed pictures whose transparency table makes any entry less than opaque)
// become pf32bit bitmaps with straight alpha (B, G, R, A); everything else becomes pf24bit.
// A greyscale or truecolour picture with a transparent colour (tRNS) stays pf24bit and is
// marked Transparent with that colour, as the framework draws colour-keyed bitmaps.
//
// gAMA switches on gamma correction of the colour samples (not of alpha) for a display
// gamma of 2.2. Chunk types are compared without regard to letter case; unknown ancillary
// chunks are skipped, an unknown critical chunk (upper-case first letter) is refused. Every
// chunk's CRC is checked. Image data that ends before the last row, or that holds more
// after it, is refused; a stream that stops right after the last row loses nothing and is
// accepted. Pictures above MaxBitmapPixels are refused before any memory is taken.
//
// Failures raise EInvalidGraphic (what is wrong with the file), EGraphicCompression (zlib
// could not be set up or closed) or EColorConversionError (the colour manager was asked for
// a conversion it has no method for); a failed load leaves the graphic empty.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/color.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kalvo {

// What the header and the gamma chunk say, read without decoding pixels.
struct TPNGInfo {
    int Width = 0;
    int Height = 0;
    int BitDepth = 0;
    int ColorType = 0;
    int Compression = 0;
    int FilterMethod = 0;
    int Interlace = 0;
    bool HasGamma = false;
    double FileGamma = 1.0; // the stored value / 100000
    bool HasAlpha = false;  // colour type 4 or 6
};

// Whether the bytes begin with the PNG signature.
bool IsPNG(std::span<const std::uint8_t> file);
// The signature, the header and a gamma chunk before the image data; EInvalidGraphic when
// the bytes are not a PNG picture this decoder would start on.
TPNGInfo ReadPNGInfo(std::span<const std::uint8_t> file);

// Turns rows of unfiltered samples into bitmap pixels. The source is described once, the
// method chosen then, and every row is converted by that one method.
class TColorManager {
public:
    enum TColorScheme { csG, csGA, csRGB, csRGBA, csIndexed, csBGR, csBGRA };

    // Raises EColorConversionError for bits per sample other than 1, 2, 4, 8 and 16, a
    // sample count that is not the scheme's, a conversion between indexed and non-indexed
    // targets, or a pair it has no method for. Targets are csBGR, csBGRA (8 bits per sample)
    // and csIndexed (one byte per index). `palette` (B, G, R per entry) and `alphas` are
    // used by an indexed source; `gamma` (may be null) maps every 8-bit colour sample.
    void Configure(TColorScheme source, int bits_per_sample, int samples_per_pixel,
                   TColorScheme target);
    void SetPalette(const std::array<std::array<std::uint8_t, 3>, 256>* palette,
                    const std::array<std::uint8_t, 256>* alphas);
    void SetGamma(const std::array<std::uint8_t, 256>* gamma) { gamma_ = gamma; }

    // Converts `count` pixels of `source` (packed samples as the file holds them) into
    // `target`.
    void ConvertRow(const std::uint8_t* source, std::uint8_t* target, int count) const;

    int TargetBytesPerPixel() const;

private:
    TColorScheme source_ = csRGB;
    TColorScheme target_ = csBGR;
    int bits_ = 8;
    const std::array<std::array<std::uint8_t, 3>, 256>* palette_ = nullptr;
    const std::array<std::uint8_t, 256>* alphas_ = nullptr;
    const std::array<std::uint8_t, 256>* gamma_ = nullptr;
};

// A decoded PNG picture: an ordinary bitmap with what the file said about it. Loading
// replaces the pixels in a sibling of the current storage, so a bitmap in a DIB section
// stays one.
class TPNGGraphic : public TBitmap {
public:
    // Progress of a decode: psStarting with "Preparing..." before the rows, psRunning with
    // "Transfering..." and the percentage of rows done after each row, psEnding with 100.
    enum TProgressStage { psStarting, psRunning, psEnding };
    using TProgressEvent =
        std::function<void(TProgressStage stage, int percent, const std::string& message)>;

    TPNGGraphic() = default;

    TProgressEvent OnProgress;

    // Decodes the picture that begins at the first byte. Raises as described above; the
    // graphic is then empty.
    void LoadFromBytes(std::span<const std::uint8_t> file);

    const TPNGInfo& Info() const { return info_; }
    bool HasAlpha() const { return PixelFormat() == pf32bit; }
    // The PLTE entries as R, G, B colours (empty without PLTE).
    const std::vector<TColor>& Palette() const { return palette_; }
    // Alpha per palette entry from tRNS; entries it does not name are 255.
    const std::array<std::uint8_t, 256>& TransparencyTable() const { return transparency_; }
    // bKGD, white when the file has none.
    TColor BackgroundColor() const { return background_; }
    // Whether drawing adds the picture's reflection below it.
    bool Reflected() const { return reflected_; }
    void SetReflected(bool reflected) { reflected_ = reflected; }

private:
    TPNGInfo info_;
    std::vector<TColor> palette_;
    std::array<std::uint8_t, 256> transparency_{};
    TColor background_ = RGBColor(255, 255, 255);
    bool reflected_ = false;
};

// The copy the skin loader keeps of a picture: 32 bits per pixel (a 24-bit source becomes
// opaque), where every pixel whose colour is pure white (whatever its alpha) becomes fully
// transparent black, all four bytes 0.
TBitmap CopyWithWhiteTransparent(const TBitmap& picture);

} // namespace kalvo
