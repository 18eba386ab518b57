#include "setup/program_manager.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(GroupNameTest, FollowsTheFieldAndTheGroupsThatExist) {
    struct Case {
        const wchar_t* field;
        const wchar_t* groups; // the "Groups" answer
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"", L"", L"Kalvo"},
        {L"", L"Accessories\r\nKalvo\r\n", L"Kalvo Client"},
        {L"", L"Kalvo\r\nKalvo Client\r\n", L"Kalvo Client 2"},
        {L"Tools", L"Tools\r\nTools Client\r\n", L"Tools Client 2"},
        // " 2" is appended without a further look: a group of that name may exist already.
        {L"Tools", L"Tools\r\nTools Client\r\nTools Client 2\r\n", L"Tools Client 2"},
        // Only " Client" is looked for once the field's name is free.
        {L"Tools", L"Tools Client\r\n", L"Tools"},
        // Names compare exactly: case and surrounding blanks count, parts of names do not.
        {L"Kalvo", L"kalvo\r\nKALVO\r\n", L"Kalvo"},
        {L"Kalvo", L" Kalvo\r\nKalvo \r\nKalvo.Net\r\nMy Kalvo\r\n", L"Kalvo"},
        // The last line needs no line break; a bare LF separates lines too.
        {L"My Files", L"Accessories\r\nMy Files", L"My Files Client"},
        {L"Kalvo", L"Startup\nKalvo\n", L"Kalvo Client"},
        // No server, no answer: the name as chosen.
        {L"Kalvo Net Tools", L"", L"Kalvo Net Tools"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "field \"" << c.field << "\"");
        EXPECT_EQ(choose_group_name(c.field, c.groups), c.expected);
    }
}

TEST(ProgramManagerCommandsTest, InstallSendsFiveLinesWithNamesAndPathsAsTheyAre) {
    const std::wstring block = CommandBlock(
        InstallCommands(L"Kalvo Net Tools", L"C:\\Program Files\\Kalvo Net\\"));
    EXPECT_EQ(block,
              L"[CreateGroup(\"Kalvo Net Tools\",0)]\r\n"
              L"[ShowGroup(\"Kalvo Net Tools\",1,0)]\r\n"
              L"[AddItem(\"C:\\Program Files\\Kalvo Net\\kalvo.exe\",\"Kalvo Start\")]\r\n"
              L"[AddItem(\"C:\\Program Files\\Kalvo Net\\Help.chm\",\"Kalvo Help\")]\r\n"
              L"[AddItem(\"C:\\Program Files\\Kalvo Net\\uninstall.exe\",\"Kalvo Uninstall\")]\r\n");
}

TEST(ProgramManagerCommandsTest, UninstallShowsTheGroupThenDeletesItsItemsAndIt) {
    EXPECT_EQ(CommandBlock(UninstallCommands(L"Tools Client 2")),
              L"[ShowGroup(\"Tools Client 2\",1,0)]\r\n"
              L"[DeleteItem(\"Kalvo Start\")]\r\n"
              L"[DeleteItem(\"Kalvo Help\")]\r\n"
              L"[DeleteItem(\"Kalvo Uninstall\")]\r\n"
              L"[DeleteGroup(\"Tools Client 2\")]\r\n");
}

TEST(ProgramManagerCommandsTest, ANameThatWouldEndItsCommandIsNotSafe) {
    for (const wchar_t* name : {L"Kalvo", L"Kalvo Net Tools", L"Tools Client 2", L"Kalvo (1)",
                                L"Kalvo, Net", L"\u041A\u0430\u043B\u0432\u043E"})
        EXPECT_TRUE(is_safe_group_name(name)) << name;
    // A record could otherwise hand Program Manager commands of its own choosing.
    for (const wchar_t* name : {L"My \"Kalvo\"", L"x\")][CreateGroup(\"Startup", L"[Kalvo]",
                                L"Kalvo]"})
        EXPECT_FALSE(is_safe_group_name(name)) << name;
    // A line break would split the block into lines of its own.
    for (const wchar_t* name : {L"Kalvo\r\n[DeleteGroup(\"Startup\")]", L"Kalvo\nNet", L"Kalvo\tNet"})
        EXPECT_FALSE(is_safe_group_name(name)) << name;
    EXPECT_EQ(CommandBlock({}), L"");
}

} // namespace
} // namespace kalvo
