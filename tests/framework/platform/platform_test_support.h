// Helpers shared by the platform tests.
#pragma once

#include <functional>
#include <string>
#include <windows.h>

namespace kalvo::test {

// A fresh folder under the user's temporary folder, removed with its contents at the end.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path() + "\" + name.
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// The folder of the running test program, without a closing backslash. The fixture
// program is built beside it.
std::wstring ProgramFolder();
std::wstring FixtureProgram();

// The platform's text conversion (text_convert.h) under the names the tests use: through the
// system ANSI code page, and to UTF-8.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);
std::string Utf8(const std::wstring& text);
// Whether every character of text has a form of its own in the ANSI code page (asked of the
// system directly, with no best-fit substitutes).
bool AnsiCanHold(const std::wstring& text);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);

// A started program (CreateProcessW with the command line as given), ended and released at the
// end if the test did not see it end.
class TStartedProgram {
public:
    explicit TStartedProgram(std::wstring command_line) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info_)) {
            started_ = true;
            CloseHandle(info_.hThread);
        }
    }
    ~TStartedProgram() {
        if (!started_)
            return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }
    TStartedProgram(const TStartedProgram&) = delete;
    TStartedProgram& operator=(const TStartedProgram&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
    // The exit code once ended; STILL_ACTIVE before.
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// Whether the test runs under Wine rather than Windows (ntdll exports wine_get_version). Only
// for tests that say where Wine differs from Windows.
bool RunningUnderWine();

// Dispatches this thread's messages until done() is true or timeout_ms have passed;
// returns done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms);
// Dispatches this thread's messages for duration_ms.
void PumpFor(DWORD duration_ms);

} // namespace kalvo::test
