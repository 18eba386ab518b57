// The payload behind the setup program's image: chunks, each a 32-bit little-endian signed
// length and that many bytes of a zlib stream holding one file. Nothing points to them; they
// are found by walking the lengths from the end of the image.
//
// The reader streams: the compressed bytes pass through a fixed buffer on their way to
// inflate, so memory stays the same whatever the size of the payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace kalvo {

// Where the bytes come from: the setup file, read from its current position on.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Up to `size` bytes; fewer only at the end of the data. Throws when reading fails.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// Where they go: a target file.
class TByteSink {
public:
    virtual ~TByteSink() = default;
    // All of them, or throws.
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

// A chunk that is not a complete zlib stream: damaged data, a wrong checksum, or a file
// that ends before the chunk does.
class EPayloadCorrupt : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Unpacks the chunk whose length prefix is next in `setup` into `target` and leaves `setup`
// right after the chunk. A length of 0 or less writes nothing. At the end of the data the
// prefix reads as 0, so a file without payload yields empty files. Throws EPayloadCorrupt
// for a damaged chunk, after writing what came out of it before the damage. Returns the
// number of bytes written.
std::uint64_t UnpackChunk(TByteSource& setup, TByteSink& target);

// A setup file carries six chunks, one per installed file.
inline constexpr int PayloadChunkCount = 6;

enum TPayloadState : std::uint8_t {
    psWhole,   // six chunks, each a complete zlib stream (or empty)
    psNone,    // nothing behind the program image: the uninstaller copy
    psDamaged, // a chunk is cut short or fails zlib's checks, or fewer than six are there
};

// Inflates the six chunks that follow in `setup` into nothing, so that zlib's own check values
// say whether they would unpack whole. Bytes after the sixth chunk are not looked at. A source
// that cannot be read throws as it does.
TPayloadState CheckPayload(TByteSource& setup);

// Copies `count` bytes of `source` to `target` (the program image, for the uninstaller copy);
// throws EPayloadCorrupt when the source ends first.
void CopyBytes(TByteSource& source, TByteSink& target, std::uint64_t count);

} // namespace kalvo
