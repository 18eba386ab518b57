// libFuzzer entry for the payload reader: the input is the part of a setup file behind the
// program image. Refusing a damaged chunk with EPayloadCorrupt is fine; any other exception,
// crash or sanitizer report is a finding. Every chunk that unpacks must leave the reader
// right after itself.
#include "setup/payload.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

class TInputSource : public kalvo::TByteSource {
public:
    TInputSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, size_ - position_);
        if (count)
            std::memcpy(buffer, data_ + position_, count);
        position_ += count;
        return count;
    }
    std::size_t Position() const { return position_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

class TCountingSink : public kalvo::TByteSink {
public:
    void Write(const std::uint8_t*, std::size_t size) override { written += size; }
    std::uint64_t written = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TInputSource source(data, size);
    for (int chunk = 0; chunk < 6; ++chunk) {
        const std::size_t start = source.Position();
        std::int32_t length = 0;
        if (size - start >= 4) {
            std::uint32_t raw = 0;
            for (int i = 3; i >= 0; --i)
                raw = raw << 8 | data[start + std::size_t(i)];
            length = std::int32_t(raw);
        }
        TCountingSink target;
        std::uint64_t written = 0;
        try {
            written = kalvo::UnpackChunk(source, target);
        } catch (const kalvo::EPayloadCorrupt&) {
            return 0;
        }
        const std::size_t expected_end =
            std::min(size, start + 4 + (length > 0 ? std::size_t(length) : 0));
        if (written != target.written || source.Position() != expected_end)
            std::abort();
    }
    return 0;
}
