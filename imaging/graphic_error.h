// The errors the picture readers raise. Their messages say what is wrong in words a user
// can act on.
#pragma once

#include <stdexcept>
#include <string>

namespace kalvo {

// Data a reader cannot decode.
class EInvalidGraphic : public std::runtime_error {
public:
    explicit EInvalidGraphic(const std::string& message) : std::runtime_error(message) {}
};

// The decompressor could not be set up or closed.
class EGraphicCompression : public std::runtime_error {
public:
    explicit EGraphicCompression(const std::string& message) : std::runtime_error(message) {}
};

// Pixels asked to be converted between formats no conversion method joins.
class EColorConversionError : public std::runtime_error {
public:
    explicit EColorConversionError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kalvo
