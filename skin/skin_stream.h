// Seekable byte streams: what a skin package is read from, and the in-memory streams that
// hold a package's inflated entries and an internal skin's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kalvo {

class TSkinStream {
public:
    virtual ~TSkinStream() = default;
    // Reads up to `count` bytes at the position and advances it; returns how many were read
    // (fewer only at the end of the stream).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Positions are absolute; a position past the end is clamped to the end.
    virtual void Seek(std::int64_t position) = 0;
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Size() const = 0;
};

class TMemoryStream : public TSkinStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    void Seek(std::int64_t position) override;
    std::int64_t Position() const override { return std::int64_t(position_); }
    std::int64_t Size() const override { return std::int64_t(bytes_.size()); }

    // Writes at the position, growing the stream as needed.
    void Write(const void* buffer, std::size_t count);
    void Clear();

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::span<const std::uint8_t> View() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace kalvo
