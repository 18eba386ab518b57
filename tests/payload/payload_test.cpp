// The demo payload as Windows sees it: the client's and the library's version resources,
// the library's export, the client as a running program (with, without and with a broken
// kalvo.dll beside it), and the help and the video read through the system's own readers.
#include "app/framework/platform/version_info.h"
#include "platform_test_support.h"
#include "setup/file_version_win32.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <objbase.h>
#include <set>
#include <string>
#include <vector>
#include <vfw.h>

// The system's reader of compiled help (itss.dll) opens help files as storages. The
// toolchain's headers do not declare its interface; these are its first methods, in order.
// Declared outside an unnamed namespace: there the compiler would take it that no class in
// this file implements it, and drop the calls.
struct IItStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD,
                                                                   IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD,
                                                     IStorage**) = 0;
};

namespace kalvo {
namespace {

constexpr wchar_t kClientTitle[] = L"Kalvo.Net - peer-to-peer file sharing";
constexpr int kVersionLine = 101;
constexpr int kDescriptionLine = 102;
constexpr int kStatusLine = 103;

std::wstring PayloadFolder() {
    std::wstring folder = KALVO_PAYLOAD_DIR;
    for (wchar_t& c : folder)
        if (c == L'/')
            c = L'\\';
    return folder;
}

std::wstring PayloadFile(const std::wstring& name) {
    return PayloadFolder() + L"\\" + name;
}

std::wstring HelpSource(const std::wstring& name) {
    std::wstring path = std::wstring(KALVO_HELP_SOURCES) + L"\\" + name;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

void CopyInto(const std::wstring& from, const std::wstring& to) {
    ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE))
        << test::Utf8(from) << " -> " << test::Utf8(to) << ": " << GetLastError();
}

// The status line kalvo.dll gives, asked in this process.
std::wstring LibraryStatus() {
    const HMODULE library = LoadLibraryW(PayloadFile(L"kalvo.dll").c_str());
    if (!library)
        return L"(kalvo.dll not loaded: " + std::to_wstring(GetLastError()) + L")";
    using TStatus = const wchar_t*(WINAPI*)();
    const auto status = reinterpret_cast<TStatus>(
        reinterpret_cast<void*>(GetProcAddress(library, "KalvoNetworkStatus")));
    std::wstring text = status ? std::wstring(status()) : L"(no KalvoNetworkStatus)";
    FreeLibrary(library);
    return text;
}

struct TWindowSearch {
    DWORD process = 0;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectClientWindows(HWND window, LPARAM lparam) {
    auto& search = *reinterpret_cast<TWindowSearch*>(lparam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process && WindowText(window) == kClientTitle)
        search.found.push_back(window);
    return TRUE;
}

// The top-level windows of the process titled exactly as the client's.
std::vector<HWND> ClientWindowsOf(DWORD process) {
    TWindowSearch search;
    search.process = process;
    EnumWindows(CollectClientWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Starts the client from the folder, waits for its window and returns the window's lines;
// closes it with WM_CLOSE and checks that it ends with exit code 0.
struct TClientRun {
    std::wstring version_line;
    std::wstring description_line;
    std::wstring status_line;
};

void RunClient(const std::wstring& program, TClientRun& run) {
    test::TStartedProgram client(Quoted(program));
    ASSERT_TRUE(client.Started()) << test::Utf8(program) << ": " << GetLastError();

    std::vector<HWND> windows;
    test::PumpUntil(
        [&] {
            windows = ClientWindowsOf(client.Id());
            return !windows.empty() || client.Ended();
        },
        15000);
    ASSERT_EQ(windows.size(), 1u) << "no window titled \"" << test::Utf8(kClientTitle)
                                  << "\"; exit code " << client.ExitCode();
    const HWND window = windows.front();
    EXPECT_EQ(GetAncestor(window, GA_ROOT), window);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
    // The setup program finds a running client by this exact title.
    EXPECT_EQ(FindWindowW(nullptr, kClientTitle), window);

    const HWND version = GetDlgItem(window, kVersionLine);
    const HWND description = GetDlgItem(window, kDescriptionLine);
    const HWND status = GetDlgItem(window, kStatusLine);
    ASSERT_NE(version, nullptr);
    ASSERT_NE(description, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(IsWindowVisible(status));
    run.version_line = WindowText(version);
    run.description_line = WindowText(description);
    run.status_line = WindowText(status);

    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(test::PumpUntil([&] { return client.Ended(); }, 10000))
        << "the client goes on after WM_CLOSE";
    EXPECT_EQ(client.ExitCode(), 0u);
    EXPECT_FALSE(IsWindow(window));
}

TEST(PayloadClientTest, CarriesVersion1104InUsEnglish) {
    const std::wstring client = PayloadFile(L"kalvo.exe");
    ASSERT_TRUE(test::FileExists(client)) << test::Utf8(client);
    EXPECT_EQ(get_file_version(client), L"1.1.0.4");

    const auto info = TFileVersionInfo::Read(client);
    ASSERT_TRUE(info.has_value());
    const std::vector<TVersionTranslation> english{{0x0409, 1252}};
    EXPECT_EQ(info->Translations(), english);
    EXPECT_EQ(TranslationKey(english.front()), L"040904E4");
    EXPECT_EQ(info->StringValue(L"040904E4", L"FileVersion"), L"1.1.0.4");
    EXPECT_EQ(info->StringValue(L"040904E4", L"ProductName"), L"Kalvo.Net");
    for (const wchar_t* name : {L"FileDescription", L"CompanyName", L"LegalCopyright"}) {
        const auto value = info->StringValue(L"040904E4", name);
        ASSERT_TRUE(value.has_value()) << test::Utf8(name);
        EXPECT_FALSE(value->empty()) << test::Utf8(name);
    }
    const auto fixed = info->FixedInfo();
    ASSERT_TRUE(fixed.has_value());
    const std::array<std::uint16_t, 4> numbers{1, 1, 0, 4};
    EXPECT_EQ(fixed->file_version, numbers);
    EXPECT_EQ(fixed->product_version, numbers);
    EXPECT_EQ(fixed->file_type, std::uint32_t(VFT_APP));
}

TEST(PayloadLibraryTest, CarriesTheSameVersionAndExportsItsStatus) {
    const std::wstring library = PayloadFile(L"kalvo.dll");
    EXPECT_EQ(get_file_version(library), L"1.1.0.4");
    const auto info = TFileVersionInfo::Read(library);
    ASSERT_TRUE(info.has_value());
    const auto fixed = info->FixedInfo();
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->file_type, std::uint32_t(VFT_DLL));

    const std::wstring status = LibraryStatus();
    EXPECT_EQ(status, L"Network library 1.1.0.4: not connected (demo)");
}

// Every case starts the client: each in a folder of its own, named with a space and
// Cyrillic, as a user's folder may be.
class PayloadClientRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(FindWindowW(nullptr, kClientTitle), nullptr) << "a client window is open already";
        folder_ = folder_root_.File(L"Kalvo Net \u043a\u043b\u0438\u0435\u043d\u0442");
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        program_ = folder_ + L"\\kalvo.exe";
        CopyInto(PayloadFile(L"kalvo.exe"), program_);
    }

    test::TTempFolder folder_root_;
    std::wstring folder_;
    std::wstring program_;
};

TEST_F(PayloadClientRunTest, ShowsTheLibrarysStatusAndEndsOnClose) {
    CopyInto(PayloadFile(L"kalvo.dll"), folder_ + L"\\kalvo.dll");
    TClientRun run;
    RunClient(program_, run);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.version_line, L"Kalvo.Net 1.1.0.4");
    EXPECT_EQ(run.description_line, L"Demo client");
    EXPECT_EQ(run.status_line, LibraryStatus());
}

TEST_F(PayloadClientRunTest, StartsWithoutTheLibraryAndSaysItIsMissing) {
    TClientRun run;
    RunClient(program_, run);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.version_line, L"Kalvo.Net 1.1.0.4");
    EXPECT_EQ(run.status_line,
              L"The network library kalvo.dll is missing from the program's folder.");
}

TEST_F(PayloadClientRunTest, StartsWithADamagedLibraryAndSaysSo) {
    {
        std::ofstream damaged(std::filesystem::path(folder_ + L"\\kalvo.dll"), std::ios::binary);
        damaged << "MZ, but nothing of a library follows.";
    }
    TClientRun run;
    RunClient(program_, run);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(
        run.status_line.rfind(L"The network library kalvo.dll could not be loaded (error ", 0), 0u)
        << test::Utf8(run.status_line);
}

TEST_F(PayloadClientRunTest, ShowsWhateverTextTheLibraryGives) {
    // Not the payload's library: the line is the library's answer, not a text the client
    // knows itself.
    CopyInto(test::ProgramFolder() + L"\\kalvo_stand_in_status.dll", folder_ + L"\\kalvo.dll");
    TClientRun run;
    RunClient(program_, run);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.status_line, L"Stand-in library: \u0441\u0435\u0442\u044c 42 users");
}

TEST_F(PayloadClientRunTest, SaysSoWhenTheLibraryGivesNoText) {
    CopyInto(test::ProgramFolder() + L"\\kalvo_stand_in_empty_status.dll",
             folder_ + L"\\kalvo.dll");
    TClientRun run;
    RunClient(program_, run);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.status_line, L"The network library kalvo.dll gave no network status.");
}

TEST_F(PayloadClientRunTest, StartsWithALibraryWithoutTheExportAndSaysSo) {
    // A library of another kind under the same name: it loads, but exports no status.
    CopyInto(test::ProgramFolder() + L"\\kalvo_stand_in_no_status.dll", folder_ + L"\\kalvo.dll");
    TClientRun run;
    RunClient(program_, run);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(run.status_line, L"The network library kalvo.dll has no network status: it is "
                               L"damaged or of another version.");
}

// The reader's class and interface.
const CLSID kItStorageClass = {
    0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kItStorageInterface = {
    0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

// The help, read through the system's reader, not by the tools that made it: every page
// comes back as its source.
class PayloadHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        initialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        IItStorage* reader = nullptr;
        const HRESULT made =
            CoCreateInstance(kItStorageClass, nullptr, CLSCTX_INPROC_SERVER, kItStorageInterface,
                             reinterpret_cast<void**>(&reader));
        ASSERT_TRUE(SUCCEEDED(made) && reader) << "no reader of compiled help: " << made;
        const std::wstring path = PayloadFile(L"help.chm");
        const HRESULT opened = reader->StgOpenStorage(
            path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &help_);
        reader->Release();
        ASSERT_TRUE(SUCCEEDED(opened) && help_) << test::Utf8(path) << ": " << opened;
    }
    void TearDown() override {
        if (help_)
            help_->Release();
        if (initialized_)
            CoUninitialize();
    }

    // The bytes of a file inside help.chm; false when the reader cannot open it.
    bool ReadFromHelp(const std::wstring& name, std::string& bytes) {
        IStream* stream = nullptr;
        if (FAILED(help_->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                     &stream)) ||
            !stream)
            return false;
        bytes.clear();
        char buffer[4096];
        ULONG read = 0;
        bool ok = true;
        for (;;) {
            const HRESULT result = stream->Read(buffer, sizeof buffer, &read);
            if (FAILED(result)) {
                ok = false;
                break;
            }
            bytes.append(buffer, read);
            if (read == 0)
                break;
        }
        stream->Release();
        return ok;
    }

    IStorage* help_ = nullptr;
    bool initialized_ = false;
};

TEST_F(PayloadHelpTest, HoldsEveryPageAsWritten) {
    for (const wchar_t* name : {L"welcome.html", L"getting_started.html", L"sharing_folders.html",
                                L"downloads.html", L"toc.hhc", L"index.hhk", L"kalvo.css"}) {
        std::string bytes;
        ASSERT_TRUE(ReadFromHelp(name, bytes)) << test::Utf8(name);
        const std::string source = test::ReadBytes(HelpSource(name));
        ASSERT_FALSE(source.empty()) << test::Utf8(HelpSource(name));
        EXPECT_EQ(bytes, source) << test::Utf8(name);
    }
}

TEST_F(PayloadHelpTest, HasNoPageItWasNotGiven) {
    std::string bytes;
    EXPECT_FALSE(ReadFromHelp(L"no_such_page.html", bytes));
}

// The video, read through the system's own AVI reader (avifil32), not by the tool that
// wrote it.
class PayloadVideoTest : public ::testing::Test {
protected:
    void SetUp() override { AVIFileInit(); }
    void TearDown() override {
        if (stream_)
            AVIStreamRelease(stream_);
        if (file_)
            AVIFileRelease(file_);
        AVIFileExit();
    }

    PAVIFILE file_ = nullptr;
    PAVISTREAM stream_ = nullptr;
};

TEST_F(PayloadVideoTest, IsTenFramesOf64By48At10FramesPerSecond) {
    const std::wstring path = PayloadFile(L"media\\media1.avi");
    ASSERT_EQ(AVIFileOpenW(&file_, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr), 0)
        << test::Utf8(path);
    AVIFILEINFOW file_info{};
    ASSERT_EQ(AVIFileInfoW(file_, &file_info, sizeof file_info), 0);
    EXPECT_EQ(file_info.dwStreams, 1u);
    EXPECT_EQ(file_info.dwWidth, 64u);
    EXPECT_EQ(file_info.dwHeight, 48u);
    EXPECT_EQ(file_info.dwLength, 10u);

    ASSERT_EQ(AVIFileGetStream(file_, &stream_, streamtypeVIDEO, 0), 0);
    AVISTREAMINFOW info{};
    ASSERT_EQ(AVIStreamInfoW(stream_, &info, sizeof info), 0);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.dwLength, 10u);
    ASSERT_NE(info.dwScale, 0u);
    EXPECT_EQ(info.dwRate / info.dwScale, 10u);
    EXPECT_EQ(info.dwRate % info.dwScale, 0u);
    EXPECT_EQ(AVIStreamLength(stream_), 10);

    BITMAPINFOHEADER format{};
    LONG format_size = sizeof format;
    ASSERT_EQ(AVIStreamReadFormat(stream_, 0, &format, &format_size), 0);
    EXPECT_EQ(format_size, LONG(sizeof format));
    EXPECT_EQ(format.biWidth, 64);
    EXPECT_EQ(format.biHeight, 48);
    EXPECT_EQ(format.biBitCount, 24);
    EXPECT_EQ(format.biCompression, DWORD(BI_RGB));
}

TEST_F(PayloadVideoTest, FramesAreKeyFramesInThePalette) {
    const std::wstring path = PayloadFile(L"media\\media1.avi");
    ASSERT_EQ(AVIFileOpenW(&file_, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr), 0);
    ASSERT_EQ(AVIFileGetStream(file_, &stream_, streamtypeVIDEO, 0), 0);
    constexpr size_t kRowBytes = 64 * 3;
    constexpr size_t kFrameBytes = kRowBytes * 48;
    // Pixels as stored: bottom-up rows of blue, green, red.
    auto pixel = [&](const std::vector<BYTE>& frame, int x, int y_from_top) {
        const size_t at = size_t(47 - y_from_top) * kRowBytes + size_t(x) * 3;
        return RGB(frame[at + 2], frame[at + 1], frame[at]);
    };
    std::set<std::vector<BYTE>> distinct;
    for (LONG index = 0; index < 10; ++index) {
        std::vector<BYTE> frame(kFrameBytes + 64);
        LONG bytes = 0;
        LONG samples = 0;
        ASSERT_EQ(
            AVIStreamRead(stream_, index, 1, frame.data(), LONG(frame.size()), &bytes, &samples), 0)
            << "frame " << index;
        EXPECT_EQ(samples, 1);
        ASSERT_EQ(size_t(bytes), kFrameBytes) << "frame " << index;
        frame.resize(kFrameBytes);
        EXPECT_EQ(AVIStreamFindSample(stream_, index, FIND_PREV | FIND_KEY), index)
            << "frame " << index << " is not a key frame";
        // The corner is the background; the progress bar starts in the accent colour.
        EXPECT_EQ(pixel(frame, 0, 0), RGB(221, 236, 248)) << "frame " << index;
        EXPECT_EQ(pixel(frame, 4, 37), RGB(52, 96, 150)) << "frame " << index;
        distinct.insert(frame);
    }
    // It moves: no two frames are the same.
    EXPECT_EQ(distinct.size(), 10u);
    // The square travels from left to right: its first frame's column is background in the
    // last frame and the other way round.
    std::vector<BYTE> first(kFrameBytes), last(kFrameBytes);
    ASSERT_EQ(AVIStreamRead(stream_, 0, 1, first.data(), LONG(first.size()), nullptr, nullptr), 0);
    ASSERT_EQ(AVIStreamRead(stream_, 9, 1, last.data(), LONG(last.size()), nullptr, nullptr), 0);
    EXPECT_EQ(pixel(first, 6, 18), RGB(52, 96, 150));
    EXPECT_EQ(pixel(last, 6, 18), RGB(221, 236, 248));
    EXPECT_EQ(pixel(first, 57, 18), RGB(221, 236, 248));
    EXPECT_EQ(pixel(last, 57, 18), RGB(52, 96, 150));
}

} // namespace
} // namespace kalvo
