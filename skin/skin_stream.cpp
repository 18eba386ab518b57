#include "skin/skin_stream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kalvo {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const std::size_t n = std::min(count, available);
    if (n) {
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
    }
    return n;
}

void TMemoryStream::Seek(std::int64_t position) {
    if (position <= 0)
        position_ = 0;
    else if (std::uint64_t(position) >= bytes_.size())
        position_ = bytes_.size();
    else
        position_ = std::size_t(position);
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return;
    if (count > bytes_.max_size() - position_)
        throw std::length_error("memory stream too large");
    const std::size_t end = position_ + count;
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = end;
}

void TMemoryStream::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    position_ = 0;
}

} // namespace kalvo
