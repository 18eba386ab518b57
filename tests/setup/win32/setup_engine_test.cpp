// The setup engine without a window: the three procedures and the start-up decision run on
// real folders and setup files, reporting to a recorder; Program Manager is a recorder too.
#include "platform_test_support.h"
#include "setup_file_bytes.h"
#include "setup/install_layout.h"
#include "setup/install_procedure_win32.h"
#include "setup/installation_guard_win32.h"
#include "setup/message_table.h"
#include "setup/program_manager.h"
#include "setup/setup_file_win32.h"
#include "setup/setup_report.h"
#include "setup/setup_state.h"
#include "setup/startup_win32.h"
#include "setup/uninstall_procedure_win32.h"
#include "setup/update_procedure_win32.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <vector>

namespace kalvo {
namespace {

namespace fs = std::filesystem;

// Everything a procedure told its window, in order, as text: "started", "progress 20",
// "status <text>", "tell <text>", "ask <text>".
class TRecordedReport : public TSetupReport {
public:
    void Started() override { events.push_back(L"started"); }
    void Progress(int percent) override { events.push_back(L"progress " + std::to_wstring(percent)); }
    void Status(const std::wstring& text) override { events.push_back(L"status " + text); }
    void Tell(const std::wstring& text, TNoticeKind) override { events.push_back(L"tell " + text); }
    bool Ask(const std::wstring& question) override {
        events.push_back(L"ask " + question);
        return answer;
    }
    std::vector<std::wstring> events;
    bool answer = false;
};

class TRecordedProgramManager : public TProgramManagerLink {
public:
    std::wstring Groups() override {
        ++requests;
        return groups;
    }
    void Execute(const std::vector<std::wstring>& lines) override { blocks.push_back(lines); }
    std::wstring groups;
    int requests = 0;
    std::vector<std::vector<std::wstring>> blocks;
};

using test::Chunk;
using test::Content;
using test::WriteFile;

// The six files a test setup file carries, in chunk order.
const std::string PayloadContents[6] = {Content(70000, 2), Content(1024, 3), Content(10, 4),
                                        Content(77, 5),    Content(5000, 6), Content(2048, 7)};

// The program image (made-up bytes of the stub's size) and the six chunks.
std::string SetupBytes() {
    std::string setup = Content(std::size_t(SetupStubSize), 1);
    for (const std::string& file : PayloadContents)
        setup += Chunk(file);
    return setup;
}

std::wstring Status(TMessageId id) {
    return L"status " + Message(id);
}

class SetupEngineTest : public testing::TestWithParam<std::int32_t> {
protected:
    void SetUp() override {
        fill_message_table();
        LanguageIndex = GetParam();
        setup_path = temp.File(L"download\\kalvo_setup.exe");
        fs::create_directories(fs::path(temp.File(L"download")));
        fs::create_directories(fs::path(temp.File(L"desktop")));
        WriteFile(setup_path, SetupBytes());
        request.Folder = temp.File(L"kalvo\\");
        request.GroupField = L"Kalvo";
        request.DesktopShortcut = true;
        request.DesktopFolder = temp.File(L"desktop");
        request.SetupFolder = temp.File(L"download\\");
        request.NeverSwept = folders_never_swept();
    }
    void TearDown() override { LanguageIndex = LanguageEnglish; }

    TInstallResult Install() {
        TSetupFile setup(setup_path);
        return run_install(request, setup, program_manager, report);
    }

    test::TTempFolder temp;
    std::wstring setup_path;
    TInstallRequest request;
    TRecordedReport report;
    TRecordedProgramManager program_manager;
};

TEST_P(SetupEngineTest, InstallWritesEverythingInItsOrderAndReportsEachStep) {
    program_manager.groups = L"Accessories\r\nKalvo\r\n";
    const TInstallResult result = Install();
    ASSERT_EQ(result.Outcome, ioInstalled);

    const std::vector<std::wstring> expected = {
        L"progress 0", Status(miCreatingFolders),
        L"started", L"progress 20", Status(miCopyingFiles), L"progress 40", L"progress 50",
        L"progress 60", L"progress 70", L"progress 80", L"progress 80", L"progress 90",
        Status(miRegistering), L"progress 100", Status(miInstalled)};
    EXPECT_EQ(report.events, expected);

    const std::wstring folder = request.Folder;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(test::ReadBytes(folder + PayloadFiles[std::size_t(i)].Name), PayloadContents[i])
            << i;
    EXPECT_EQ(test::ReadBytes(folder + UninstallerFileName),
              SetupBytes().substr(0, std::size_t(SetupStubSize)));
    for (const wchar_t* working : WorkingFolders)
        EXPECT_TRUE(test::FolderExists(folder + working)) << working;

    // "Kalvo" exists, so the group is "Kalvo Client"; one request, one block.
    EXPECT_EQ(result.Installation.GroupName, L"Kalvo Client");
    EXPECT_EQ(program_manager.requests, 1);
    ASSERT_EQ(program_manager.blocks.size(), 1u);
    EXPECT_EQ(program_manager.blocks[0], InstallCommands(L"Kalvo Client", folder));

    const std::wstring shortcut = temp.File(L"desktop\\Kalvo.Net.lnk");
    EXPECT_EQ(result.Installation.ClientPath, folder + L"kalvo.exe");
    EXPECT_EQ(result.Installation.ShortcutPath, shortcut);
    EXPECT_TRUE(test::FileExists(shortcut));
    for (const std::wstring& record : {folder + L"uninstall.ini", temp.File(L"download\\uninstall.ini")}) {
        wchar_t value[MAX_PATH] = {};
        GetPrivateProfileStringW(L"main_section", L"u_group", L"", value, MAX_PATH, record.c_str());
        EXPECT_STREQ(value, L"Kalvo Client") << record;
        EXPECT_EQ(GetPrivateProfileIntW(L"main_section", L"u_ico", -1, record.c_str()), 1) << record;
    }
}

TEST_P(SetupEngineTest, InstallChecksRefuseBeforeAnythingIsWritten) {
    struct Case {
        const char* name;
        std::wstring folder;
        std::wstring group;
        TInstallOutcome outcome;
        std::wstring told;
    };
    wchar_t windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    wchar_t appdata[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appdata);
    wchar_t desktop[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    const std::wstring inside_windows = std::wstring(windows) + L"\\Kalvo\\";
    const Case cases[] = {
        {"group with a quote", request.Folder, L"My \"Kalvo\"", ioChangeGroup,
         Notice(niUnsafeGroupName)},
        {"group with brackets", request.Folder, L"Kalvo]", ioChangeGroup, Notice(niUnsafeGroupName)},
        {"group with a line break", request.Folder, L"Kalvo\r\nNet", ioChangeGroup,
         Notice(niUnsafeGroupName)},
        {"drive root", L"E:\\", L"Kalvo", ioChangeFolder, Notice(niRefusedInstallFolder, L"E:\\")},
        {"relative", L"kalvo\\", L"Kalvo", ioChangeFolder, Notice(niRefusedInstallFolder, L"kalvo")},
        {"the desktop", std::wstring(desktop) + L"\\", L"Kalvo", ioChangeFolder,
         Notice(niRefusedInstallFolder, desktop)},
        {"roaming application data", std::wstring(appdata) + L"\\", L"Kalvo", ioChangeFolder,
         Notice(niRefusedInstallFolder, appdata)},
        {"inside the Windows folder", inside_windows, L"Kalvo", ioChangeFolder,
         Notice(niRefusedInstallFolder, inside_windows.substr(0, inside_windows.size() - 1))},
    };
    for (const Case& c : cases) {
        report.events.clear();
        request.Folder = c.folder;
        request.GroupField = c.group;
        EXPECT_EQ(Install().Outcome, c.outcome) << c.name;
        EXPECT_EQ(report.events, std::vector<std::wstring>{L"tell " + c.told}) << c.name;
    }
    EXPECT_EQ(program_manager.requests, 0);
    EXPECT_FALSE(test::FolderExists(inside_windows));
}

TEST_P(SetupEngineTest, InstallAsksBeforeUsingAFolderThatHoldsFilesOfOthers) {
    const std::wstring folder = request.Folder;
    fs::create_directories(fs::path(folder + L"search"));
    WriteFile(folder + L"KALVO.URI", "mine"); // an earlier installation's: asks nothing
    // The check alone answers for an installation's own entries, whatever their case.
    EXPECT_FALSE(holds_files_of_others(folder));
    WriteFile(folder + L"letter.txt", "someone else's");
    EXPECT_TRUE(holds_files_of_others(folder));

    const std::wstring question = L"ask " + Notice(niFolderHoldsOtherFiles, folder.substr(0, folder.size() - 1));
    report.answer = false;
    EXPECT_EQ(Install().Outcome, ioChangeFolder);
    EXPECT_EQ(report.events, std::vector<std::wstring>{question});
    EXPECT_FALSE(test::FileExists(folder + L"kalvo.exe"));

    report.events.clear();
    report.answer = true;
    EXPECT_EQ(Install().Outcome, ioInstalled);
    ASSERT_FALSE(report.events.empty());
    EXPECT_EQ(report.events.front(), question);
    EXPECT_EQ(test::ReadBytes(folder + L"letter.txt"), "someone else's");
    EXPECT_EQ(test::ReadBytes(folder + L"kalvo.uri"), PayloadContents[3]);
}

TEST_P(SetupEngineTest, InstallStopsAtAFolderThatCannotBeMadeAndAtADamagedChunk) {
    // A file where a working folder belongs.
    fs::create_directories(fs::path(request.Folder + L"outputlocal"));
    WriteFile(request.Folder + L"outputlocal\\pools", "");
    EXPECT_EQ(Install().Outcome, ioChangeFolder);
    EXPECT_EQ(report.events.back(), L"tell " + Message(miFolderNotCreated));
    EXPECT_FALSE(test::FileExists(request.Folder + L"kalvo.exe"));
    fs::remove(fs::path(request.Folder + L"outputlocal\\pools"));

    // A bit flipped in the middle of chunk 2 (kalvo.lcf): chunks 0 and 1 are written.
    std::string setup = SetupBytes();
    const std::size_t chunk2 = std::size_t(SetupStubSize) + Chunk(PayloadContents[0]).size() +
                               Chunk(PayloadContents[1]).size();
    setup[chunk2 + 6] = char(setup[chunk2 + 6] ^ 0x10);
    WriteFile(setup_path, setup);
    report.events.clear();
    EXPECT_EQ(Install().Outcome, ioStopped);
    EXPECT_EQ(report.events.back(), L"tell " + Notice(niDamagedSetup));
    EXPECT_EQ(report.events[report.events.size() - 2], L"progress 50");
    EXPECT_TRUE(program_manager.blocks.empty());
    EXPECT_FALSE(test::FileExists(request.Folder + UninstallerFileName));
    EXPECT_FALSE(test::FileExists(request.Folder + RecordFileName));
}

TEST_P(SetupEngineTest, UninstallRemovesTheInstallationButTheUninstallerAndReportsEachStep) {
    request.GroupField = L"Kalvo Tools";
    ASSERT_EQ(Install().Outcome, ioInstalled);
    const std::wstring folder = request.Folder;
    WriteFile(folder + L"search\\sec3\\found.dat", "x");
    WriteFile(folder + L"Uninstall.EXE.bak", "x");
    fs::create_directories(fs::path(folder + L"plugins\\old"));
    WriteFile(folder + L"plugins\\old\\p.dll", "x");
    const std::wstring hidden = folder + L"settings.bak";
    WriteFile(hidden, "x");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

    report.events.clear();
    program_manager.blocks.clear();
    const TInstallationRecord installation{folder + L"kalvo.exe", L"Kalvo Tools",
                                           temp.File(L"desktop\\Kalvo.Net.lnk")};
    ASSERT_TRUE(run_uninstall(installation, request.NeverSwept, program_manager, report));

    const std::vector<std::wstring> expected = {
        L"started",     Status(miDeletingFiles), L"progress 10", L"progress 20",
        L"progress 30", L"progress 40",          L"progress 50", L"progress 60",
        L"progress 70", Status(miDeletingApplication), L"progress 80", Status(miUninstalled),
        L"progress 100"};
    EXPECT_EQ(report.events, expected);
    std::vector<std::wstring> left;
    for (const auto& entry : fs::directory_iterator(fs::path(folder)))
        left.push_back(entry.path().filename().wstring());
    EXPECT_EQ(left, std::vector<std::wstring>{L"uninstall.exe"});
    ASSERT_EQ(program_manager.blocks.size(), 1u);
    EXPECT_EQ(program_manager.blocks[0], UninstallCommands(L"Kalvo Tools"));
    EXPECT_FALSE(test::FileExists(installation.ShortcutPath));
    // The record beside the setup file stays.
    EXPECT_TRUE(test::FileExists(temp.File(L"download\\uninstall.ini")));
}

TEST_P(SetupEngineTest, UninstallRefusesARecordThatNamesAShellFolder) {
    wchar_t profile[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile);
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    wchar_t fonts[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_FONTS, nullptr, SHGFP_TYPE_CURRENT, fonts);
    wchar_t windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    for (const std::wstring& folder :
         {std::wstring(profile) + L"\\", std::wstring(local) + L"\\", std::wstring(fonts) + L"\\",
          std::wstring(windows) + L"\\Temp\\Kalvo\\", std::wstring(L"C:\\")}) {
        report.events.clear();
        EXPECT_FALSE(run_uninstall({folder + L"kalvo.exe", L"Kalvo", NoShortcut},
                                   request.NeverSwept, program_manager, report))
            << folder;
        EXPECT_EQ(report.events, std::vector<std::wstring>{L"tell " + Notice(niRefusedRecordFolder, folder)});
    }
    EXPECT_TRUE(program_manager.blocks.empty());
}

TEST_P(SetupEngineTest, UpdateReplacesTheClientOnlyWhenTheChunkCameOutWhole) {
    const std::wstring client = temp.File(L"kalvo\\kalvo.exe");
    fs::create_directories(fs::path(temp.File(L"kalvo")));
    WriteFile(client, "old client");
    {
        TSetupFile setup(setup_path);
        EXPECT_TRUE(run_update(client, setup, report));
    }
    EXPECT_EQ(report.events,
              (std::vector<std::wstring>{L"started", L"progress 20", L"progress 60", L"progress 100"}));
    EXPECT_EQ(test::ReadBytes(client), PayloadContents[0]);

    WriteFile(client, "old client");
    std::string damaged = SetupBytes();
    damaged[std::size_t(SetupStubSize) + 100] ^= 0x08;
    WriteFile(setup_path, damaged);
    report.events.clear();
    {
        TSetupFile setup(setup_path);
        EXPECT_FALSE(run_update(client, setup, report));
    }
    EXPECT_EQ(report.events.back(), L"tell " + Notice(niDamagedSetup));
    EXPECT_EQ(test::ReadBytes(client), "old client");
    EXPECT_FALSE(test::FileExists(client + L".new"));
}

TEST_P(SetupEngineTest, StartUpOffersNoInstallFromAFileWithoutOrWithADamagedPayload) {
    const std::wstring folder = temp.File(L"download\\");
    const std::string full = SetupBytes();
    // Past the full-setup size, as a real payload makes it.
    const std::string padded = full + std::string(std::size_t(FullSetupMinSize), '\0');
    std::string damaged = padded;
    damaged[std::size_t(SetupStubSize) + 100] ^= 0x08;
    std::string cut = full.substr(0, full.size() - 3);
    cut += std::string(std::size_t(FullSetupMinSize), '\0');
    const std::string uninstaller = full.substr(0, std::size_t(SetupStubSize));
    const std::string cut_small = full.substr(0, std::size_t(SetupStubSize) + 5000);
    const std::wstring record = folder + L"uninstall.ini";
    const std::wstring missing_client = temp.File(L"gone\\kalvo.exe");
    struct Case {
        const char* name;
        const std::string* file;
        bool record;
        TSetupMode mode;
        std::optional<TNoticeId> notice;
    };
    const Case cases[] = {
        {"whole, no record", &padded, false, smInstall, std::nullopt},
        {"damaged, no record", &damaged, false, smNoAction, niDamagedSetup},
        {"cut short, no record", &cut, false, smNoAction, niDamagedSetup},
        {"damaged, record without client", &damaged, true, smUninstall, niDamagedSetup},
        {"uninstaller copy, record without client", &uninstaller, true, smUninstall, niNoPayload},
        {"uninstaller copy, no record", &uninstaller, false, smUninstallFinished, std::nullopt},
        {"cut short below the full size", &cut_small, false, smNoAction, niDamagedSetup},
    };
    for (const Case& c : cases) {
        WriteFile(setup_path, *c.file);
        DeleteFileW(record.c_str());
        if (c.record)
            WritePrivateProfileStringW(L"main_section", L"u_path", missing_client.c_str(), record.c_str());
        const TStartupDecision decision = decide_startup(setup_path);
        EXPECT_STREQ(SetupModeName(decision.Mode), SetupModeName(c.mode)) << c.name;
        EXPECT_EQ(decision.PayloadNotice, c.notice) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, SetupEngineTest,
                         testing::Values(LanguageEnglish, LanguageRussian),
                         [](const testing::TestParamInfo<std::int32_t>& param) {
                             return param.param == LanguageEnglish ? "English" : "Russian";
                         });

} // namespace
} // namespace kalvo
