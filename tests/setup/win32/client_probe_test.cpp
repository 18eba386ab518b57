// The client probe as a running program: the setup tests use it as a client whose window
// they find by title and close.
#include "platform_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kalvo {
namespace {

std::wstring ProbeProgram() {
    return test::ProgramFolder() + L"\\kalvo_probe_1104.exe";
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

TEST(ClientProbeTest, ShowsItsWindowAndEndsWhenTheWindowIsClosed) {
    test::TTempFolder folder;
    // A space and Cyrillic in the title and in the log's name.
    const std::wstring title =
        L"Kalvo.Net \u041a\u043b\u0438\u0435\u043d\u0442 " + std::to_wstring(GetCurrentProcessId());
    const std::wstring log = folder.File(L"probe \u0436\u0443\u0440\u043d\u0430\u043b.txt");
    ASSERT_EQ(FindWindowW(nullptr, title.c_str()), nullptr) << "a window has the title already";

    test::TStartedProgram probe(Quoted(ProbeProgram()) + L" --title " + Quoted(title) + L" --log " +
                          Quoted(log));
    ASSERT_TRUE(probe.Started()) << test::Utf8(ProbeProgram()) << ": " << GetLastError();

    HWND window = nullptr;
    // The window, or the probe's end if it fails to start properly.
    test::PumpUntil(
        [&] {
            window = FindWindowW(nullptr, title.c_str());
            return window != nullptr || probe.Ended();
        },
        10000);
    ASSERT_NE(window, nullptr) << "no window titled " << test::Utf8(title) << "; exit code "
                               << probe.ExitCode();
    EXPECT_EQ(WindowText(window), title);
    EXPECT_EQ(GetAncestor(window, GA_ROOT), window);
    DWORD owner_process = 0;
    GetWindowThreadProcessId(window, &owner_process);
    EXPECT_EQ(owner_process, probe.Id());

    // The window can be found as soon as it is made; the log says "started" once it is shown.
    EXPECT_TRUE(test::PumpUntil([&] { return test::ReadBytes(log) == "started\n"; }, 10000))
        << "log: \"" << test::ReadBytes(log) << "\"";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(probe.Ended());

    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(test::PumpUntil([&] { return probe.Ended(); }, 10000)) << "the probe goes on";
    EXPECT_EQ(probe.ExitCode(), 0u);
    EXPECT_EQ(test::ReadBytes(log), "started\nclosed\n");
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FindWindowW(nullptr, title.c_str()), nullptr);
}

TEST(ClientProbeTest, WithoutArgumentsEndsAtOnce) {
    test::TStartedProgram probe(Quoted(ProbeProgram()));
    ASSERT_TRUE(probe.Started());
    EXPECT_TRUE(test::PumpUntil([&] { return probe.Ended(); }, 10000));
    EXPECT_EQ(probe.ExitCode(), 0u);
}

TEST(ClientProbeTest, RefusesArgumentsItDoesNotKnow) {
    test::TTempFolder folder;
    const std::wstring log = folder.File(L"log.txt");
    const std::vector<std::wstring> refused{
        L"--title",
        L"--log " + Quoted(log),
        L"--title x --colour red",
        L"--title x --log " + Quoted(log) + L" extra",
    };
    for (const std::wstring& arguments : refused) {
        SCOPED_TRACE(test::Utf8(arguments));
        test::TStartedProgram probe(Quoted(ProbeProgram()) + L" " + arguments);
        ASSERT_TRUE(probe.Started());
        EXPECT_TRUE(test::PumpUntil([&] { return probe.Ended(); }, 10000));
        EXPECT_EQ(probe.ExitCode(), 2u);
        EXPECT_FALSE(test::FileExists(log));
    }
}

} // namespace
} // namespace kalvo
