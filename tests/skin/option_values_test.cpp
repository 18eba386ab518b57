#include "skin/option_values.h"

#include "skin/skin_error.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>

namespace kalvo {
namespace {

TEST(LenientIntegerTest, ReadsDecimalAndHexadecimal) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"16313565", 16313565},
        {"-1", -1},
        {"+5", 5},
        {" 42 ", 42},
        {"\t-7\t", -7},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$FF", 255},
        {"$ff", 255},
        {"0xFF", 255},
        {"0XfF", 255},
        {"-$10", -16},
        {"-0x10", -16},
        {"$00F8ECDD", 16313565},
        {"$FFFFFFFF", -1},              // a 32-bit pattern
        {"$FF000000", -16777216},
        {"$80000000", INT32_MIN},
        {"-$80000000", INT32_MIN},
        // Not integers, or outside 32 bits.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"N/A", std::nullopt},
        {"12a", std::nullopt},
        {"1 2", std::nullopt},
        {"1.5", std::nullopt},
        {"-", std::nullopt},
        {"--1", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"$G", std::nullopt},
        {"$-1", std::nullopt},
        {"x10", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLenientInteger(c.text), c.expected) << "'" << c.text << "'";
        EXPECT_EQ(ReadLenientInteger(c.text, 12345), c.expected.value_or(12345))
            << "'" << c.text << "'";
    }
}

TEST(StrictIntegerTest, ReadsSignedDecimalOnly) {
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"0", 0}, {"-1", -1}, {"+2", 2}, {"9", 9}, {"0009", 9},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrictInteger(c.text), c.expected) << c.text;
}

TEST(StrictIntegerTest, ThrowsNamingTheText) {
    const char* texts[] = {"", "12a", "$FF", "0xFF", " 1", "1 ", "1.0", "-", "2147483648",
                           "-2147483649", "N/A"};
    for (const char* text : texts) {
        try {
            StrictInteger(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const EConvertError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(BooleanTest, TrueOnlyForTrueInAnyCase) {
    for (const char* text : {"TRUE", "true", "True", "tRUE"})
        EXPECT_TRUE(ParseBoolean(text)) << text;
    for (const char* text : {"FALSE", "", "1", "YES", "TRUE ", " TRUE", "TRUEX", "TRU"})
        EXPECT_FALSE(ParseBoolean(text)) << text;
}

TEST(FractionTest, ReadsDecimalsWithAPoint) {
    struct Case {
        const char* text;
        double expected;  // -99 stands for the default
    };
    const Case cases[] = {
        {"6.14", 6.14},  {"6.29", 6.29}, {"0", 0},       {"-1", -1},  {"2.", 2},
        {".5", 0.5},     {"+3.5", 3.5},  {" 6.14 ", 6.14}, {"-0.25", -0.25},
        {"", -99},       {"abc", -99},   {"6,14", -99},  {".", -99},  {"-", -99},
        {"1.2.3", -99},  {"1e3", -99},   {"inf", -99},   {"nan", -99}, {"0x10", -99},
        {"6.14a", -99},  {"6 .14", -99},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFraction(c.text, -99), c.expected) << "'" << c.text << "'";
    // Exactly the nearest double, so that a comparison against a limit holds as written.
    EXPECT_FALSE(ParseFraction("6.29", 0) > 6.29);
    EXPECT_TRUE(ParseFraction("6.30", 0) > 6.29);
}

// A locale whose decimal separator is a comma, when the system has one.
class CommaLocale {
public:
    CommaLocale() {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        saved_ = current != nullptr ? current : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "ru_RU.UTF-8",
                                 "German_Germany.1252", "German", "Russian"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr &&
                std::string(std::localeconv()->decimal_point) == ",") {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_NUMERIC, saved_.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    bool Active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

TEST(FractionTest, IgnoresTheLocale) {
    const CommaLocale locale;
    if (!locale.Active())
        GTEST_SKIP() << "no locale with a decimal comma on this system";
    EXPECT_EQ(ParseFraction("6.14", -99), 6.14);
    EXPECT_EQ(ParseFraction("6,14", -99), -99);
}

} // namespace
} // namespace kalvo
