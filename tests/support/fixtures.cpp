#include "tests/support/fixtures.h"

#include "imaging/file_bytes.h"

namespace kalvo::test {

std::string FixturePath(const std::string& name) {
    return std::string(KALVO_TEST_FIXTURES) + "/" + name;
}

std::vector<std::uint8_t> FixtureBytes(const std::string& name) {
    return ReadFileBytes(FixturePath(name));
}

} // namespace kalvo::test
