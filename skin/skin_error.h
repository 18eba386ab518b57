// The errors raised while a skin is read and loaded. The skin manager catches them: the
// previous skin stays, and the skin counts as missing.
#pragma once

#include <stdexcept>
#include <string>

namespace kalvo {

// Text that should hold a number does not: "'12a' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

// A skin package that ends early or whose compressed data is damaged.
class ESkinPackageError : public std::runtime_error {
public:
    explicit ESkinPackageError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kalvo
