#include "app/framework/platform/dde_client.h"
#include "app/framework/platform/shell_link.h"
#include "app/framework/platform/shell_folders.h"
#include "platform_test_support.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <shlobj.h>
#include <sstream>
#include <thread>
#include <vector>

namespace kalvo {
namespace {

// A DDE server of the test's own on a second thread, which pumps its messages as DDEML
// needs: service "KALVOTEST", topic "Setup". It answers requests of a few items in
// CF_TEXT and records what it gets.
class TRecordingDdeServer {
public:
    TRecordingDdeServer() {
        current_ = this;
        thread_ = std::thread([this] { Run(); });
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return started_; });
    }
    ~TRecordingDdeServer() {
        PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        thread_.join();
        current_ = nullptr;
    }
    TRecordingDdeServer(const TRecordingDdeServer&) = delete;
    TRecordingDdeServer& operator=(const TRecordingDdeServer&) = delete;

    bool Registered() const { return registered_; }
    std::vector<std::string> Executes() const {
        std::lock_guard lock(mutex_);
        return executes_;
    }
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int Connects() const { return connects_; }
    int Disconnects() const { return disconnects_; }

private:
    void Run() {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, for WM_QUIT
        thread_id_ = GetCurrentThreadId();
        if (DdeInitializeA(&instance_, Callback,
                           APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                           0) == DMLERR_NO_ERROR) {
            service_ = DdeCreateStringHandleA(instance_, "KALVOTEST", CP_WINANSI);
            topic_ = DdeCreateStringHandleA(instance_, "Setup", CP_WINANSI);
            registered_ = DdeNameService(instance_, service_, nullptr, DNS_REGISTER) != nullptr;
        }
        {
            std::lock_guard lock(mutex_);
            started_ = true;
        }
        changed_.notify_all();
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (instance_) {
            DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
            DdeFreeStringHandle(instance_, service_);
            DdeFreeStringHandle(instance_, topic_);
            DdeUninitialize(instance_);
        }
    }

    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ hsz1, HSZ hsz2,
                                      HDDEDATA data, ULONG_PTR, ULONG_PTR) {
        return current_ ? current_->Handle(type, format, hsz1, hsz2, data) : nullptr;
    }

    std::string Name(HSZ handle) const {
        char text[256] = {};
        DdeQueryStringA(instance_, handle, text, sizeof text, CP_WINANSI);
        return text;
    }

    HDDEDATA Answer(HSZ item, const void* bytes, size_t size) const {
        return DdeCreateDataHandle(instance_, static_cast<BYTE*>(const_cast<void*>(bytes)),
                                   DWORD(size), 0, item, CF_TEXT, 0);
    }

    HDDEDATA Handle(UINT type, UINT format, HSZ hsz1, HSZ hsz2, HDDEDATA data) {
        switch (type) {
        case XTYP_CONNECT: {
            const bool ours = DdeCmpStringHandles(hsz1, topic_) == 0;
            connects_ += ours;
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(ours));
        }
        case XTYP_CONNECT_CONFIRM:
            return nullptr;
        case XTYP_DISCONNECT:
            ++disconnects_;
            return nullptr;
        case XTYP_REQUEST: {
            const std::string item = Name(hsz2);
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(item + (format == CF_TEXT ? " CF_TEXT" : " other format"));
            }
            if (format != CF_TEXT)
                return nullptr;
            if (item == "Items")
                return Answer(hsz2, "Alpha\r\nBeta\r\n", 14);
            if (item == "Ansi")
                return Answer(hsz2, "Caf\xE9 \xC0\r\n", 9);
            if (item == "Unterminated")
                return Answer(hsz2, "Gamma", 5);
            if (item == "Slow") {
                Sleep(1500);
                return Answer(hsz2, "Late\r\n", 7);
            }
            return nullptr;
        }
        case XTYP_EXECUTE: {
            const DWORD size = DdeGetData(data, nullptr, 0, 0);
            std::string bytes(size, '\0');
            DdeGetData(data, reinterpret_cast<BYTE*>(bytes.data()), size, 0);
            std::lock_guard lock(mutex_);
            executes_.push_back(bytes);
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
        }
        default:
            return nullptr;
        }
    }

    static inline TRecordingDdeServer* current_ = nullptr;
    std::thread thread_;
    std::atomic<DWORD> thread_id_{0};
    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    std::atomic<bool> registered_{false};
    std::atomic<int> connects_{0};
    std::atomic<int> disconnects_{0};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool started_ = false;
    std::vector<std::string> executes_;
    std::vector<std::string> requests_;
};

class DdeClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Registered());
        ASSERT_TRUE(client.Initialized());
        client.SetService("KALVOTEST");
        client.SetTopic("Setup");
    }
    TRecordingDdeServer server;
    TDdeConversation client;
};

// One request per conversation, as the setup program asks: open, request, close.
TEST_F(DdeClientTest, RequestsTextInTheAnsiCodePage) {
    struct Case {
        const char* item;
        std::string expected;
    };
    const Case cases[] = {
        {"Items", "Alpha\r\nBeta\r\n"},
        {"Ansi", "Caf\xE9 \xC0\r\n"}, // bytes as sent, no conversion
        {"Unterminated", "Gamma"},    // copied and closed by the client
        {"Nothing", ""},              // the server refuses
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(client.OpenLink()) << c.item;
        EXPECT_TRUE(client.IsOpen());
        EXPECT_EQ(client.RequestData(c.item), c.expected) << c.item;
        client.CloseLink();
        EXPECT_FALSE(client.IsOpen());
        EXPECT_EQ(client.RequestData(c.item), "") << "closed";
    }
    EXPECT_EQ(server.Requests(),
              (std::vector<std::string>{"Items CF_TEXT", "Ansi CF_TEXT", "Unterminated CF_TEXT",
                                        "Nothing CF_TEXT"}));
    EXPECT_EQ(server.Connects(), 4);
    EXPECT_TRUE(test::PumpUntil([&] { return server.Disconnects() == 4; }, 5000));
}

TEST_F(DdeClientTest, AnswersSeveralRequestsInOneConversation) {
    if (test::RunningUnderWine())
        GTEST_SKIP() << "Wine's DDEML server follows the WM_DDE_DATA that answers a request "
                        "with a positive WM_DDE_ACK; Wine's client takes that acknowledgement "
                        "as the answer to the next request of the conversation, which fails "
                        "(DMLERR_NOTPROCESSED), and later answers come one request late";
    ASSERT_TRUE(client.OpenLink());
    EXPECT_EQ(client.RequestData("Items"), "Alpha\r\nBeta\r\n");
    EXPECT_EQ(client.RequestData("Ansi"), "Caf\xE9 \xC0\r\n");
    EXPECT_EQ(client.RequestData("Nothing"), "");
    EXPECT_EQ(client.RequestData("Items"), "Alpha\r\nBeta\r\n");
    client.CloseLink();
}

TEST_F(DdeClientTest, ARequestGivesUpAtItsTimeout) {
    ASSERT_TRUE(client.OpenLink());
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(client.RequestData("Slow", 200), "");
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 150u);
    EXPECT_LT(waited, 1200u) << "the answer comes after 1500 ms";
    client.CloseLink();
}

TEST_F(DdeClientTest, ExecuteDeliversTheExactBlockOnce) {
    const std::string block =
        "[CreateGroup(\"Kalvo Net\",0)]\r\n[ShowGroup(\"Kalvo Net\",1,0)]\r\n"
        "[AddItem(\"C:\\Program Files\\kalvo\\kalvo.exe\",\"Kalvo Start\")]\r\n";
    ASSERT_TRUE(client.OpenLink());
    EXPECT_TRUE(client.ExecuteMacro(block));
    // The caller closes the conversation right after sending, without waiting for the answer.
    client.CloseLink();
    ASSERT_TRUE(test::PumpUntil([&] { return !server.Executes().empty(); }, 5000));
    test::PumpFor(300);
    const std::vector<std::string> executes = server.Executes();
    ASSERT_EQ(executes.size(), 1u);
    EXPECT_EQ(executes[0], block + '\0');
    EXPECT_EQ(server.Connects(), 1);
}

TEST_F(DdeClientTest, OpeningAgainClosesTheOpenConversationFirst) {
    ASSERT_TRUE(client.OpenLink());
    ASSERT_TRUE(client.OpenLink());
    EXPECT_TRUE(test::PumpUntil([&] { return server.Disconnects() == 1; }, 5000));
    EXPECT_EQ(server.Connects(), 2);
    EXPECT_EQ(client.RequestData("Items"), "Alpha\r\nBeta\r\n");
    client.CloseLink();
    client.CloseLink(); // closing twice is harmless
    EXPECT_TRUE(test::PumpUntil([&] { return server.Disconnects() == 2; }, 5000));
}

TEST_F(DdeClientTest, DoesNothingWithoutAConversation) {
    EXPECT_FALSE(client.IsOpen());
    EXPECT_EQ(client.RequestData("Items"), "");
    EXPECT_FALSE(client.ExecuteMacro("[ShowGroup(\"Kalvo\",1,0)]\r\n"));
    test::PumpFor(100);
    EXPECT_EQ(server.Connects(), 0);
    EXPECT_TRUE(server.Executes().empty());
}

TEST_F(DdeClientTest, FailsPromptlyWhenNoServerAnswersAndNoProgramStarts) {
    struct Case {
        std::string service;
        std::string topic;
    };
    const Case cases[] = {
        {"KALVO_NO_SUCH_SERVICE_" + std::to_string(GetCurrentProcessId()), "PROGMAN"},
        {"KALVOTEST", "NoSuchTopic"}, // a server that refuses the topic
        {"", "Setup"},
        {"KALVOTEST", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.service + " / " + c.topic);
        client.SetService(c.service);
        client.SetTopic(c.topic);
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(client.OpenLink());
        EXPECT_FALSE(client.IsOpen());
        EXPECT_EQ(client.RequestData("Items", 10000), "");
        EXPECT_FALSE(client.ExecuteMacro("[ShowGroup(\"Kalvo\",1,0)]\r\n"));
        EXPECT_LT(GetTickCount64() - start, 5000u);
    }
    test::PumpFor(100);
    EXPECT_EQ(server.Connects(), 0);
}

// Whether a server answers service and topic now, asked through DDEML directly, so that
// nothing is started when none does.
HDDEDATA CALLBACK ProbeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

bool ServerAnswers(const char* service, const char* topic) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ProbeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ service_handle = DdeCreateStringHandleA(instance, service, CP_WINANSI);
    HSZ topic_handle = DdeCreateStringHandleA(instance, topic, CP_WINANSI);
    HCONV conversation = DdeConnect(instance, service_handle, topic_handle, nullptr);
    if (conversation)
        DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, service_handle);
    DdeFreeStringHandle(instance, topic_handle);
    DdeUninitialize(instance);
    return conversation != nullptr;
}

// No server answers, so the client starts "<service> <topic>": here the fixture program
// beside the test (WinExec looks in the test program's folder first), which registers the
// service before it first waits for input. The second attempt then connects.
TEST(DdeClientStartTest, StartsTheServersProgramAndConnectsOnceMore) {
    ASSERT_FALSE(ServerAnswers("kalvo_platform_fixture", "KALVOSTART"))
        << "a fixture server of an earlier run is still there";
    TDdeConversation client;
    client.SetService("kalvo_platform_fixture");
    client.SetTopic("KALVOSTART");
    ASSERT_TRUE(client.OpenLink()) << "the fixture program did not start or did not answer";
    EXPECT_EQ(client.RequestData("Items"), "Started\r\n");
    EXPECT_TRUE(client.ExecuteMacro("[Quit]"));
    client.CloseLink();
    EXPECT_TRUE(test::PumpUntil(
        [] { return !ServerAnswers("kalvo_platform_fixture", "KALVOSTART"); }, 10000))
        << "the fixture program did not end on [Quit]";
}

// Program Manager as the platform serves it: under Wine, the shell's DDE server in the
// desktop process (explorer). A group is a folder under Start Menu\Programs, an item a link
// in it.
class ProgramManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The desktop process starts with the first window of the session; give its server
        // a moment to register.
        GetDesktopWindow();
        if (!test::PumpUntil([] { return ServerAnswers("PROGMAN", "PROGMAN"); }, 10000))
            GTEST_SKIP() << "no Program Manager DDE server (service and topic PROGMAN) answers "
                            "in this session; under Wine it lives in the desktop process "
                            "(explorer), which did not serve it here";
        programs = SpecialFolderPath(nullptr, CSIDL_PROGRAMS);
        ASSERT_FALSE(programs.empty());
        group_folder = programs + L"\\" + test::FromAnsi(group);
        item_file = group_folder + L"\\Kalvo Start.lnk";
        ASSERT_FALSE(test::FolderExists(group_folder)) << "left over: " << test::Utf8(group_folder);
        client.SetService("PROGMAN");
        client.SetTopic("PROGMAN");
    }
    void TearDown() override {
        if (!group_folder.empty() && test::FolderExists(group_folder)) {
            DeleteFileW(item_file.c_str());
            RemoveDirectoryW(group_folder.c_str());
        }
    }

    // The group names, one per line, as the server lists them.
    std::vector<std::string> Groups() {
        std::vector<std::string> groups;
        if (!client.OpenLink())
            return groups;
        std::istringstream lines(client.RequestData("Groups", 10000));
        client.CloseLink();
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            groups.push_back(line);
        }
        return groups;
    }
    int GroupCount() {
        const std::vector<std::string> groups = Groups();
        return int(std::count(groups.begin(), groups.end(), group));
    }
    // Open, send one block, close: as the setup program does.
    bool Execute(const std::string& block) {
        if (!client.OpenLink())
            return false;
        const bool sent = client.ExecuteMacro(block);
        client.CloseLink();
        return sent;
    }

    const std::string group = "Kalvo Platform Test " + std::to_string(GetCurrentProcessId());
    const std::string target = test::ToAnsi(test::FixtureProgram());
    std::wstring programs;
    std::wstring group_folder;
    std::wstring item_file;
    TDdeConversation client;
};

TEST_F(ProgramManagerTest, CreatesAndDeletesAGroupWithAnItem) {
    EXPECT_EQ(GroupCount(), 0);

    ASSERT_TRUE(Execute("[CreateGroup(\"" + group + "\",0)]\r\n"));
    EXPECT_TRUE(test::PumpUntil([&] { return test::FolderExists(group_folder); }, 10000))
        << "no folder " << test::Utf8(group_folder);
    EXPECT_EQ(GroupCount(), 1);

    // An item lands in the group created last.
    ASSERT_TRUE(Execute("[AddItem(\"" + target + "\",\"Kalvo Start\")]\r\n"));
    ASSERT_TRUE(test::PumpUntil([&] { return test::FileExists(item_file); }, 10000))
        << "no " << test::Utf8(item_file);
    const std::optional<TShellLinkInfo> link = ReadShellLink(item_file);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->path, test::FixtureProgram());

    ASSERT_TRUE(Execute("[DeleteItem(\"Kalvo Start\")]\r\n"));
    EXPECT_TRUE(test::PumpUntil([&] { return !test::FileExists(item_file); }, 10000));

    ASSERT_TRUE(Execute("[DeleteGroup(\"" + group + "\")]\r\n"));
    EXPECT_TRUE(test::PumpUntil([&] { return !test::FolderExists(group_folder); }, 10000))
        << test::Utf8(group_folder) << " is still there";
    EXPECT_EQ(GroupCount(), 0);
}

TEST_F(ProgramManagerTest, CarriesOutEveryLineOfABlock) {
    if (test::RunningUnderWine())
        GTEST_SKIP() << "Wine's shell DDE server carries out only the first command of a block "
                        "whose commands are separated by line breaks (it carries out commands "
                        "written one after the other or separated by spaces)";
    ASSERT_TRUE(Execute("[CreateGroup(\"" + group + "\",0)]\r\n[ShowGroup(\"" + group +
                        "\",1,0)]\r\n[AddItem(\"" + target + "\",\"Kalvo Start\")]\r\n"));
    EXPECT_TRUE(test::PumpUntil([&] { return test::FileExists(item_file); }, 10000))
        << "no " << test::Utf8(item_file);
    ASSERT_TRUE(Execute("[ShowGroup(\"" + group +
                        "\",1,0)]\r\n[DeleteItem(\"Kalvo Start\")]\r\n"
                        "[DeleteGroup(\"" +
                        group + "\")]\r\n"));
    EXPECT_TRUE(test::PumpUntil([&] { return !test::FolderExists(group_folder); }, 10000))
        << test::Utf8(group_folder) << " is still there";
}

} // namespace
} // namespace kalvo
