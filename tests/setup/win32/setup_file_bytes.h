// Setup files made by the tests: file contents that compress somewhat, like a program, and
// payload chunks (length prefix and zlib stream) made of them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <zlib.h>

namespace kalvo::test {

inline std::string Content(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = char(i % 5 < 3 ? i / 32 : state >> 24);
    }
    return bytes;
}

inline std::string Chunk(const std::string& data) {
    uLongf size = compressBound(uLong(data.size()));
    std::string stream(size, '\0');
    compress2(reinterpret_cast<Bytef*>(stream.data()), &size,
              reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), 9);
    stream.resize(size);
    const auto length = std::uint32_t(stream.size());
    std::string prefix;
    for (int shift = 0; shift < 32; shift += 8)
        prefix += char(length >> shift);
    return prefix + stream;
}

inline void WriteFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

} // namespace kalvo::test
