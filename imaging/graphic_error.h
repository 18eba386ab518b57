// The error the picture readers raise for data they cannot decode. Its message says what is
// wrong in words a user can act on.
#pragma once

#include <stdexcept>
#include <string>

namespace kalvo {

class EInvalidGraphic : public std::runtime_error {
public:
    explicit EInvalidGraphic(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kalvo
