#include "skin/gradient_data.h"

#include "skin/skin_error.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvo {
namespace {

std::string Show(const TsGradArray& steps) {
    std::string out;
    for (const GradientStep& s : steps)
        out += "(" + std::to_string(s.Color1) + "," + std::to_string(s.Color2) + "," +
               std::to_string(s.Percent) + "," + std::to_string(s.Mode) + ")";
    return out;
}

TEST(GradientDataTest, ReadsStepsOfFiveWords) {
    struct Case {
        const char* text;
        const char* steps;
    };
    const Case cases[] = {
        // Eleven words: two steps, the eleventh word starts no step.
        {"16777215;16313565;51;0;0;16313565;16114894;1;0;0;16114894",
         "(16777215,16313565,51,0)(16313565,16114894,1,0)"},
        {"16777215;16313565;51;0;0;16313565;16114894;1;0;0",
         "(16777215,16313565,51,0)(16313565,16114894,1,0)"},
        {"1;2;3;2;9", "(1,2,3,2)"},
        // The fifth word of a step is never read, nor the words of an unfinished step.
        {"1;2;3;1;anything", "(1,2,3,1)"},
        {"1;2;3;1;0;x;y", "(1,2,3,1)"},
        // Runs of ";", blanks and separators at either end.
        {";;1;;2; 3 ;\t1\t;;0;;", "(1,2,3,1)"},
        {"1; ;2;3;1;0", "(1,2,3,1)"},
        // Percent above 100 is 100, below 0 is 0.
        {"1;2;101;0;0", "(1,2,100,0)"},
        {"1;2;255;0;0", "(1,2,100,0)"},
        {"1;2;100;0;0", "(1,2,100,0)"},
        {"1;2;-5;0;0", "(1,2,0,0)"},
        // Colours as lenient integers: hexadecimal, and -1 as its 32-bit pattern.
        {"$FF;0xFF00;0;2;0", "(255,65280,0,2)"},
        {"-1;0;0;0;0", "(4294967295,0,0,0)"},
        // Nothing to step through.
        {"", ""},
        {" ", ""},
        {"1;2;3;4", ""},
        {";;;", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(ParseGradientData(c.text)), c.steps) << "'" << c.text << "'";
}

TEST(GradientDataTest, AWordThatIsReadMustBeAnInteger) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1;abc;3;0;0", "'abc' is not a valid integer value"},
        {"1;2;3;0;0;4;5;6;1.5;0", "'1.5' is not a valid integer value"},
        {"1;2;3 4;0;0", "'3 4' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        try {
            ParseGradientData(c.text);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const EConvertError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

} // namespace
} // namespace kalvo
