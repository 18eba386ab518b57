// Test pictures made by other tools (tests/fixtures, see make_fixtures.sh there).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kalvo::test {

std::string FixturePath(const std::string& name);
std::vector<std::uint8_t> FixtureBytes(const std::string& name);

} // namespace kalvo::test
