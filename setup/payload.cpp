#include "setup/payload.h"

#include <algorithm>
#include <memory>
#include <new>
#include <zlib.h>

namespace kalvo {

namespace {

// Large enough that reading and writing cost little next to inflating.
constexpr std::size_t BufferSize = 256 * 1024;

std::int32_t ReadLength(TByteSource& setup) {
    std::uint8_t bytes[4] = {0, 0, 0, 0};
    std::size_t have = 0;
    while (have < 4) {
        const std::size_t got = setup.Read(bytes + have, 4 - have);
        if (got == 0)
            break; // the missing bytes count as 0
        have += got;
    }
    const std::uint32_t length = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                 std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    return std::int32_t(length);
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

} // namespace

std::uint64_t UnpackChunk(TByteSource& setup, TByteSink& target) {
    const std::int32_t length = ReadLength(setup);
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
