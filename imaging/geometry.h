// Rectangles in pixels, Right and Bottom exclusive, as the painters and the skin model use them.
#pragma once

#include <cstdint>

namespace kalvo {

struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

} // namespace kalvo
