// Whole-file reads and writes for pictures and tools.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace kalvo {

// Throws std::runtime_error naming the file when it cannot be read or written.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace kalvo
