#include "app/framework/platform/text_convert.h"
#include "platform_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace kalvo {
namespace {

using namespace std::string_literals;

TEST(TextConvert, Utf8BothWays) {
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"Kalvo.Net", L"Kalvo.Net"},
        // Cyrillic (two bytes each), the euro sign (three) and a character beyond the basic
        // plane (four bytes, a surrogate pair in UTF-16).
        {"\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB0",
         L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430"},
        {"5 \xE2\x82\xAC", L"5 \u20ac"},
        {"\xF0\x9F\x98\x80!", L"\xD83D\xDE00!"},
        // The whole text is converted, a zero character included.
        {"a\0b"s, L"a\0b"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf8ToWide(c.utf8), c.wide);
        EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
    }
}

TEST(TextConvert, InvalidUtf8IsReplacedNotDropped) {
    // A byte that starts no sequence and a sequence cut short: the text around them stays.
    const std::wstring wide = Utf8ToWide("a\xFF"
                                         "b\xD0");
    ASSERT_GE(wide.size(), 3u);
    EXPECT_EQ(wide.front(), L'a');
    EXPECT_NE(wide.find(L'b'), std::wstring::npos);
    EXPECT_NE(wide.find(L'\uFFFD'), std::wstring::npos) << test::Utf8(wide);
}

TEST(TextConvert, AnsiCodePage) {
    EXPECT_EQ(WideToAnsi(L""), "");
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(AnsiToWide(WideToAnsi(L"C:\\Program Files\\kalvo")), L"C:\\Program Files\\kalvo");

    // Text the code page holds comes back as it was, whatever the code page.
    int held = 0;
    for (const std::wstring text : {L"Caf\u00e9", L"\u0421\u0438\u043d\u0438\u0439",
                                    L"\u0393\u03b1\u03bb\u03ac", L"\u017dlut\u00fd"}) {
        if (!test::AnsiCanHold(text))
            continue;
        ++held;
        EXPECT_EQ(AnsiToWide(WideToAnsi(text)), text) << test::Utf8(text);
    }
    EXPECT_GT(held, 0) << "no sample fits the ANSI code page " << GetACP();

    // Full-width look-alikes of the characters that end a Program Manager command are no
    // such characters in the ANSI code page.
    if (GetACP() != CP_UTF8) {
        EXPECT_EQ(WideToAnsi(L"a\uFF02b\uFF3Bc\uFF3Dd"), "a?b?c?d");
    }

    // A character it cannot hold becomes the default character in its place; the rest
    // stays.
    for (const std::wstring text : {L"\u4e2d", L"\u05d0", L"\u0e01", L"\u0421"}) {
        if (test::AnsiCanHold(text) || GetACP() == CP_UTF8)
            continue;
        EXPECT_EQ(WideToAnsi(L"x" + text + L"y"), "x?y") << test::Utf8(text);
        return;
    }
    GTEST_SKIP() << "the ANSI code page " << GetACP() << " holds every sample";
}

} // namespace
} // namespace kalvo
