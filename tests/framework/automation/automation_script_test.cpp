#include "app/framework/automation/automation_script.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kalvo {
namespace {

TEST(AutomationScript, ReadsEveryCommandWithItsLineAndArguments) {
    const TAutomationScript script =
        ParseAutomationScript("\xEF\xBB\xBF# a comment\r\n"
                              "\n"
                              "   click Main.Ok\r\n"
                              "\t# an indented comment\n"
                              "type Name \"J\xC3\xBCrgen \\\"Q\\\" \\\\ x\\ny\"\n"
                              "key Shift+Tab\n"
                              "pick Choices 2\n"
                              "wait-idle\n"
                              "sleep 250\n"
                              "dump \"out dir/windows.json\"\n"
                              "screenshot shot.png\n"
                              "screenshot part.png Main.Logo\n"
                              "expect Main.Edit.Font.Name =   \"Tahoma, \\\"bold\\\"\"  \n"
                              "expect Button1.Anchors=[akLeft, akTop]\n"
                              "quit\n");
    ASSERT_EQ(script.Steps.size(), 12u);
    EXPECT_EQ(script.LineCount, 15);

    struct Expected {
        TScriptCommand command;
        int line;
        const char* target;
        const char* text;
        std::int64_t number;
    };
    const Expected expected[] = {
        {scClick, 3, "Main.Ok", "", 0},
        {scType, 5, "Name", "J\xC3\xBCrgen \"Q\" \\ x\ny", 0},
        {scKey, 6, "", "", 0},
        {scPick, 7, "Choices", "", 2},
        {scWaitIdle, 8, "", "", 0},
        {scSleep, 9, "", "", 250},
        {scDump, 10, "", "out dir/windows.json", 0},
        {scScreenshot, 11, "", "shot.png", 0},
        {scScreenshot, 12, "Main.Logo", "part.png", 0},
        {scExpect, 13, "Main.Edit.Font.Name", "\"Tahoma, \\\"bold\\\"\"", 0},
        {scExpect, 14, "Button1.Anchors", "[akLeft, akTop]", 0},
        {scQuit, 15, "", "", 0},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const TScriptStep& step = script.Steps[i];
        SCOPED_TRACE(step.Source);
        EXPECT_EQ(step.Command, expected[i].command);
        EXPECT_EQ(step.Line, expected[i].line);
        EXPECT_EQ(step.Target, expected[i].target);
        EXPECT_EQ(step.Text, expected[i].text);
        EXPECT_EQ(step.Number, expected[i].number);
    }
    EXPECT_EQ(script.Steps[0].Source, "click Main.Ok");
    EXPECT_EQ(script.Steps[2].Key.VirtualKey, VK_TAB);
    EXPECT_TRUE(script.Steps[2].Key.Shift);
    EXPECT_FALSE(script.Steps[2].Key.Alt);
}

TEST(AutomationScript, NamesKeysWithModifiers) {
    struct Case {
        const char* text;
        UINT virtual_key;
        bool extended, shift, ctrl, alt;
    };
    const Case cases[] = {
        {"Enter", VK_RETURN, false, false, false, false},
        {"escape", VK_ESCAPE, false, false, false, false},
        {"Alt+F4", VK_F4, false, false, false, true},
        {"ctrl+shift+End", VK_END, true, true, true, false},
        {"Up", VK_UP, true, false, false, false},
        {"Home", VK_HOME, true, false, false, false},
        {"Space", VK_SPACE, false, false, false, false},
        {"q", 'Q', false, false, false, false},
        {"Shift+Q", 'Q', false, true, false, false},
        {"7", '7', false, false, false, false},
        {"F12", VK_F12, false, false, false, false},
    };
    for (const Case& c : cases) {
        const TKeyStroke stroke = ParseKeyStroke(c.text);
        EXPECT_EQ(stroke.VirtualKey, c.virtual_key) << c.text;
        EXPECT_EQ(stroke.Extended, c.extended) << c.text;
        EXPECT_EQ(stroke.Shift, c.shift) << c.text;
        EXPECT_EQ(stroke.Ctrl, c.ctrl) << c.text;
        EXPECT_EQ(stroke.Alt, c.alt) << c.text;
    }
    for (const char* bad : {"", "Enterr", "F13", "F0", "F01", "Shift+", "Meta+A", "Alt+Alt+F4",
                            "AB", "+", "Shift+Shift"})
        EXPECT_THROW(ParseKeyStroke(bad), std::invalid_argument) << bad;
}

TEST(AutomationScript, ErrorsNameTheLine) {
    struct Case {
        const char* script;
        int line;
        const char* reason; // a part of the reason
    };
    const Case cases[] = {
        {"quit\nclik Ok\n", 2, "unknown command 'clik'"},
        {"# x\n\nclick\n", 3, "click takes NAME"},
        {"click A B\n", 1, "click takes NAME"},
        {"click 1abc\n", 1, "not a control name"},
        {"click A.B.C\n", 1, "not a control name"},
        {"type Edit\n", 1, "type takes NAME TEXT"},
        {"type Edit \"open\n", 1, "no closing quote"},
        {"type Edit \"a\\tb\"\n", 1, "unknown escape \\t"},
        {"type Edit \"a\"b\n", 1, "a blank must follow the closing quote"},
        {"type Edit a\"b\n", 1, "a quote inside an argument"},
        {"key\n", 1, "key takes KEY"},
        {"\n\nkey Ctrl+Entr\n", 3, "unknown key 'Entr'"},
        {"pick List -1\n", 1, "INDEX must be a whole number"},
        {"pick List 2x\n", 1, "INDEX must be a whole number"},
        {"sleep\n", 1, "sleep takes MS"},
        {"sleep 99999999\n", 1, "at most"},
        {"wait-idle now\n", 1, "wait-idle takes no arguments"},
        {"dump\n", 1, "dump takes FILE.json"},
        {"dump \"\"\n", 1, "needs a file name"},
        {"screenshot a.png B c\n", 1, "screenshot takes FILE.png [NAME]"},
        {"expect Button1.Caption\n", 1, "expect takes NAME.PROPERTY = VALUE"},
        {"expect Button1 = 1\n", 1, "is not NAME.PROPERTY"},
        {"expect Button1.Caption =\n", 1, "needs a value"},
        {"expect A B.C = 1\n", 1, "is not NAME.PROPERTY"},
        {"quit now\n", 1, "quit takes no arguments"},
        {"click A\ntype B \"\xC3\x28\"\n", 2, "not valid UTF-8"},
        {"click A\ntype B \"\xED\xA0\x80\"\n", 2, "not valid UTF-8"},
    };
    for (const Case& c : cases) {
        try {
            ParseAutomationScript(c.script);
            ADD_FAILURE() << "no error for: " << c.script;
        } catch (const EAutomationScriptError& error) {
            EXPECT_EQ(error.Line(), c.line) << c.script;
            EXPECT_NE(error.Reason().find(c.reason), std::string::npos)
                << c.script << " gave: " << error.Reason();
            EXPECT_EQ(std::string(error.what()), std::to_string(c.line) + ": " + error.Reason());
        }
    }
}

} // namespace
} // namespace kalvo
