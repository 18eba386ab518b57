#include "platform_test_support.h"
#include "setup_file_bytes.h"
#include "setup/setup_file_win32.h"
#include "setup/setup_state.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kalvo {
namespace {

using test::Chunk;
using test::Content;
using test::WriteFile;

class SetupFileTest : public testing::Test {
protected:
    test::TTempFolder folder;
};

TEST_F(SetupFileTest, UnpacksThePayloadAndCopiesTheImage) {
    const std::string image = Content(std::size_t(SetupStubSize), 1);
    const std::string files[6] = {Content(300000, 2), Content(1024, 3), Content(0, 4),
                                  Content(77, 5),     Content(5000, 6), Content(2048, 7)};
    std::string setup = image;
    for (const std::string& file : files)
        setup += Chunk(file);
    const std::wstring setup_path = folder.File(L"kalvo_setup.exe");
    WriteFile(setup_path, setup);

    TSetupFile file(setup_path);
    file.Seek(SetupStubSize);
    for (int i = 0; i < 6; ++i) {
        const std::wstring target = folder.File(L"file" + std::to_wstring(i));
        unpack_chunk(file, target);
        EXPECT_EQ(test::ReadBytes(target), files[i]) << i;
    }
    std::uint8_t byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0u) << "the payload ends where the file does";

    const std::wstring copy = folder.File(L"uninstall.exe");
    make_uninstaller_copy(file, copy);
    EXPECT_TRUE(test::ReadBytes(copy) == image);
    // The copy of the copy is the same file.
    TSetupFile uninstaller(copy);
    const std::wstring again = folder.File(L"uninstall2.exe");
    make_uninstaller_copy(uninstaller, again);
    EXPECT_TRUE(test::ReadBytes(again) == image);
    // Without payload, every chunk comes out empty.
    uninstaller.Seek(SetupStubSize);
    const std::wstring empty = folder.File(L"empty.exe");
    WriteFile(empty, "not empty");
    unpack_chunk(uninstaller, empty);
    EXPECT_EQ(test::ReadBytes(empty), "");
}

TEST_F(SetupFileTest, ADamagedChunkKeepsWhatWasWrittenAndEndsWithAnError) {
    std::string chunk = Chunk(Content(200000, 8));
    chunk[chunk.size() / 2] ^= 0x55;
    const std::wstring setup_path = folder.File(L"damaged.bin");
    WriteFile(setup_path, chunk);
    TSetupFile file(setup_path);
    const std::wstring target = folder.File(L"kalvo.exe");
    EXPECT_THROW(unpack_chunk(file, target), EPayloadCorrupt);
    EXPECT_TRUE(test::FileExists(target));
}

TEST_F(SetupFileTest, ATargetThatCannotBeMadeNamesTheFile) {
    const std::wstring setup_path = folder.File(L"setup.bin");
    WriteFile(setup_path, Chunk("data"));
    TSetupFile file(setup_path);
    const std::wstring target = folder.File(L"missing folder\\kalvo.exe");
    try {
        unpack_chunk(file, target);
        FAIL() << "no error";
    } catch (const EFCreateError& error) {
        const std::string text = error.what();
        const std::string start = "Cannot create file \"" + test::Utf8(target) + "\". ";
        EXPECT_EQ(text.rfind(start, 0), 0u) << text;
        EXPECT_GT(text.size(), start.size()) << "the system's reason follows";
    }
    EXPECT_THROW(TSetupFile(folder.File(L"nothing.bin")), EFOpenError);
}

TEST_F(SetupFileTest, ReplacesATargetOnlyWithAWholeChunk) {
    const std::string client = Content(200000, 8);
    const std::string old_client = Content(150000, 9);
    std::string chunk = Chunk(client);
    const std::wstring target = folder.File(L"kalvo.exe");
    const std::wstring fresh = target + L".new";
    auto setup_with = [&](const std::string& payload) {
        const std::wstring path = folder.File(L"kalvo_setup.exe");
        WriteFile(path, payload);
        return path;
    };

    // Whole: the target holds the new client, nothing is left beside it.
    WriteFile(target, old_client);
    {
        TSetupFile setup(setup_with(chunk));
        int created = 0;
        replace_with_chunk(setup, target, [&] {
            ++created;
            EXPECT_TRUE(test::FileExists(fresh));
            EXPECT_EQ(test::ReadBytes(target), old_client) << "the target changed too early";
        });
        EXPECT_EQ(created, 1);
    }
    EXPECT_TRUE(test::ReadBytes(target) == client);
    EXPECT_FALSE(test::FileExists(fresh));

    // Damaged in the middle, or cut short: the old client stays as it was.
    std::string damaged = chunk;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x10);
    for (const std::string& payload : {damaged, chunk.substr(0, chunk.size() / 2)}) {
        WriteFile(target, old_client);
        TSetupFile setup(setup_with(payload));
        EXPECT_THROW(replace_with_chunk(setup, target, [] {}), EPayloadCorrupt);
        EXPECT_TRUE(test::ReadBytes(target) == old_client);
        EXPECT_FALSE(test::FileExists(fresh));
    }

    // A target held open without delete sharing (a running client): the error names it, and
    // it stays as it was.
    WriteFile(target, old_client);
    const HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        TSetupFile setup(setup_with(chunk));
        try {
            replace_with_chunk(setup, target, [] {});
            ADD_FAILURE() << "a file held open was replaced";
        } catch (const EFCreateError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"" +
                                                          test::Utf8(target) + "\". ", 0),
                      0u)
                << error.what();
        }
    }
    CloseHandle(held);
    EXPECT_TRUE(test::ReadBytes(target) == old_client);
    EXPECT_FALSE(test::FileExists(fresh));
}

} // namespace
} // namespace kalvo
