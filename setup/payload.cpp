#include "setup/payload.h"

#include <algorithm>
#include <memory>
#include <new>
#include <zlib.h>

namespace kalvo {

namespace {

// Large enough that reading and writing cost little next to inflating.
constexpr std::size_t BufferSize = 256 * 1024;

// Reads a chunk's length prefix and returns how many of its four bytes there were; missing
// bytes at the end of the data count as 0.
std::size_t ReadLength(TByteSource& setup, std::int32_t& length) {
    std::uint8_t bytes[4] = {0, 0, 0, 0};
    std::size_t have = 0;
    while (have < 4) {
        const std::size_t got = setup.Read(bytes + have, 4 - have);
        if (got == 0)
            break;
        have += got;
    }
    length = std::int32_t(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                          std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
    return have;
}

// Reads and drops `count` bytes; false when the source ends first.
bool Skip(TByteSource& setup, std::uint64_t count, std::uint8_t* buffer) {
    while (count > 0) {
        const std::size_t got = setup.Read(buffer, std::size_t(std::min<std::uint64_t>(count, BufferSize)));
        if (got == 0)
            return false;
        count -= got;
    }
    return true;
}

class TInflater {
public:
    TInflater() {
        if (inflateInit(&stream_) != Z_OK)
            throw std::bad_alloc();
    }
    ~TInflater() { inflateEnd(&stream_); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream* operator->() { return &stream_; }
    z_stream& get() { return stream_; }

private:
    z_stream stream_{};
};

// Drops what it is given: the payload check inflates into it.
class TNullSink : public TByteSink {
public:
    void Write(const std::uint8_t*, std::size_t) override {}
};

// Inflates the `length` compressed bytes that come next in `setup` into `target`.
std::uint64_t InflateChunk(TByteSource& setup, std::int32_t length, TByteSink& target) {
    if (length <= 0)
        return 0;
    const auto input = std::make_unique<std::uint8_t[]>(BufferSize);
    const auto output = std::make_unique<std::uint8_t[]>(BufferSize);
    std::uint64_t remaining = std::uint64_t(length); // compressed bytes still in the file
    std::uint64_t written = 0;
    TInflater inflater;
    for (;;) {
        if (inflater->avail_in == 0) {
            if (remaining == 0)
                throw EPayloadCorrupt("the compressed data of a chunk ends before its stream does");
            const std::size_t got =
                setup.Read(input.get(), std::size_t(std::min<std::uint64_t>(remaining, BufferSize)));
            if (got == 0)
                throw EPayloadCorrupt("the setup file ends inside a chunk");
            remaining -= got;
            inflater->next_in = input.get();
            inflater->avail_in = uInt(got);
        }
        inflater->next_out = output.get();
        inflater->avail_out = uInt(BufferSize);
        const int status = inflate(&inflater.get(), Z_NO_FLUSH);
        const std::size_t produced = BufferSize - inflater->avail_out;
        if (produced) {
            target.Write(output.get(), produced);
            written += produced;
        }
        if (status == Z_STREAM_END)
            break;
        if (status == Z_MEM_ERROR)
            throw std::bad_alloc();
        if (status != Z_OK && status != Z_BUF_ERROR)
            throw EPayloadCorrupt(std::string("a chunk's compressed data is damaged: ") +
                                  (inflater->msg ? inflater->msg : "zlib error"));
    }
    // Bytes after the end of the stream belong to the chunk all the same.
    if (!Skip(setup, remaining, input.get()))
        throw EPayloadCorrupt("the setup file ends inside a chunk");
    return written;
}

} // namespace

std::uint64_t UnpackChunk(TByteSource& setup, TByteSink& target) {
    std::int32_t length = 0;
    ReadLength(setup, length);
    return InflateChunk(setup, length, target);
}

TPayloadState CheckPayload(TByteSource& setup) {
    TNullSink nothing;
    for (int chunk = 0; chunk < PayloadChunkCount; ++chunk) {
        std::int32_t length = 0;
        const std::size_t have = ReadLength(setup, length);
        if (have < 4)
            // Not one byte behind the image: a file without payload rather than a damaged one.
            return chunk == 0 && have == 0 ? psNone : psDamaged;
        try {
            InflateChunk(setup, length, nothing);
        } catch (const EPayloadCorrupt&) {
            return psDamaged;
        }
    }
    return psWhole;
}

void CopyBytes(TByteSource& source, TByteSink& target, std::uint64_t count) {
    const auto buffer = std::make_unique<std::uint8_t[]>(BufferSize);
    while (count > 0) {
        const std::size_t got =
            source.Read(buffer.get(), std::size_t(std::min<std::uint64_t>(count, BufferSize)));
        if (got == 0)
            throw EPayloadCorrupt("the setup file is shorter than its program image");
        target.Write(buffer.get(), got);
        count -= got;
    }
}

} // namespace kalvo
